// Measures the whole pipeline: the real window (offscreen), datagrams over loopback from
// vantorel-send, and the per-decode cost over a long run. Prints figures; asserts nothing.
#include "CallsignTally.h"
#include "DecodeDatagramWriter.h"
#include "Form1.h"
#include "FormHarness.h"
#include "Traffic.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int Port = 31299;

struct StartedClock : QElapsedTimer {
    StartedClock() { start(); }
};

// The real window from a folder of its own, timed from construction to its first shown frame.
struct Window {
    StartedClock clock; // declared first: it starts before the window is made
    FormHarness harness{FormHarness::portIni(Port)};
    double startMs = 0;

    Window()
    {
        harness.form->show();
        QCoreApplication::processEvents();
        startMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        for (const QString& message : harness.dialogs.messages)
            std::fprintf(stderr, "message: %s\n", qPrintable(message));
    }
};

struct Delivery {
    std::int64_t received = 0;
    double seconds = 0;
    double worstGapMs = 0;
};

// Sends count datagrams with vantorel-send and runs the event loop until they are all
// processed or nothing has arrived for two seconds.
Delivery deliver(Form1& form, std::int64_t count, std::int64_t start)
{
    const std::int64_t before = form.tally().totalRecords();
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer gap;
    gap.start();
    double worstGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        worstGap = std::max(worstGap, static_cast<double>(gap.nsecsElapsed()) / 1e6);
        gap.restart();
    });
    ticker.start(10);

    QProcess sender;
    sender.start(QStringLiteral(VANTOREL_SEND_BINARY),
                 {QStringLiteral("--port"), QString::number(Port), QStringLiteral("--count"),
                  QString::number(count), QStringLiteral("--start"), QString::number(start),
                  QStringLiteral("--callsigns"), QStringLiteral("500")});
    std::int64_t last = 0;
    QElapsedTimer idle;
    idle.start();
    double lastArrival = 0;
    while (idle.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const std::int64_t now = form.tally().totalRecords() - before;
        if (now != last) {
            last = now;
            idle.restart();
            lastArrival = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        }
        if (now >= count && sender.state() == QProcess::NotRunning)
            break;
    }
    sender.waitForFinished(5000);
    return {last, lastArrival, worstGap};
}

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Hostile datagrams straight into the intake: lengths that point far beyond the datagram, the
// largest datagram UDP carries, and a flood of other message types.
void hostileInput(Form1& form)
{
    const long before = peakRssMb();
    const QByteArray good = DecodeDatagramWriter::encode(Traffic::report(1, 10));
    for (const quint32 length : {0x7FFFFFFFu, 0xFFFFFFFEu}) {
        QByteArray datagram = good;
        for (int b = 0; b < 4; ++b)
            datagram[12 + b] = static_cast<char>(length >> (24 - 8 * b));
        for (int i = 0; i < 100'000; ++i)
            form.UDPSocket_DataArrival(datagram);
    }
    QByteArray largest = DecodeDatagramWriter::header(2);
    largest.append(65'507 - largest.size(), '\x41');
    for (int i = 0; i < 10'000; ++i)
        form.UDPSocket_DataArrival(largest);
    QByteArray other = DecodeDatagramWriter::header(1);
    other.append(100, '\x11');
    for (int i = 0; i < 1'000'000; ++i)
        form.UDPSocket_DataArrival(other);
    QCoreApplication::processEvents();
    std::printf("hostile input (200,000 bad lengths, 10,000 of 65,507 bytes, 1,000,000 other "
                "types): peak RSS %ld MB before, %ld MB after\n",
                before, peakRssMb());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Window window;
    std::printf("start-up to a shown window: %.1f ms\n", window.startMs);
    Form1& form = *window.harness.form;
    hostileInput(form);

    const Delivery sustained = deliver(form, 200'000, 0);
    std::printf("sustained, log view visible: %lld of 200000 decodes in %.2f s = %.0f decodes/s, "
                "lost %lld, worst event-loop gap %.1f ms\n",
                static_cast<long long>(sustained.received), sustained.seconds,
                sustained.received / sustained.seconds,
                static_cast<long long>(200'000 - sustained.received), sustained.worstGapMs);

    for (const std::int64_t burst : {10'000, 100'000}) {
        const Delivery result = deliver(form, burst, 1'000'000);
        std::printf("burst of %lld at once: lost %lld\n", static_cast<long long>(burst),
                    static_cast<long long>(burst - result.received));
    }

    // Cost per decode over a long run, without the socket: 1,000,000 decodes among 100,000
    // distinct callsigns, first tenth against last tenth.
    window.harness.form.reset();
    Window fresh;
    constexpr int Total = 1'000'000;
    constexpr int Tenth = Total / 10;
    double tenthSeconds[10] = {};
    for (int part = 0; part < 10; ++part) {
        std::vector<QByteArray> datagrams;
        datagrams.reserve(Tenth);
        for (int i = 0; i < Tenth; ++i)
            datagrams.push_back(DecodeDatagramWriter::encode(
                Traffic::report(static_cast<std::uint64_t>(part) * Tenth + i, 100'000)));
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < Tenth; ++i) {
            fresh.harness.form->UDPSocket_DataArrival(datagrams[static_cast<std::size_t>(i)]);
            if (i % 1000 == 0)
                QCoreApplication::processEvents();
        }
        tenthSeconds[part] = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
    std::printf("1,000,000 decodes, 100,000 callsigns: first tenth %.0f decodes/s, last tenth "
                "%.0f decodes/s, last/first time %.2fx; unique callsigns %d\n",
                Tenth / tenthSeconds[0], Tenth / tenthSeconds[9], tenthSeconds[9] / tenthSeconds[0],
                fresh.harness.form->tally().uniqueCount());
    std::printf("peak RSS: %ld MB\n", peakRssMb());
    return 0;
}
