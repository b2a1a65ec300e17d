// libFuzzer target: every input is one datagram handed to the real window, through the intake
// and all per-decode steps; a fixed tracked callsign makes the history steps run too.
#include "FormHarness.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>

namespace {

struct Harness {
    int argc = 1;
    char name[8] = "fuzz";
    char* argv[2] = {name, nullptr};
    QApplication app{argc, argv};
    FormHarness window;
};

Harness* harness = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    harness = new Harness; // lives for the whole fuzzing run
    harness->window.controls().Text1->setText(QStringLiteral("K1ABC"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    harness->window.form->UDPSocket_DataArrival(datagram);
    return 0;
}
