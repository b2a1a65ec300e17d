// Measures the whole pipeline: the real window, datagrams over loopback from vantorel-send, and
// the per-decode cost over a long run. Prints figures; asserts nothing.
//
// On the offscreen platform it measures everything; on a display server (xcb) only what a
// display server changes: the sustained rate with the log visible and the lag behind a paced
// sender.
#include "FormHarness.h"
#include "Traffic.h"
#include "intake/DecodeDatagramWriter.h"
#include "platform/UdpListener.h"
#include "tallies/CallsignTally.h"
#include "tallies/ReplayFilter.h"
#include "widgets/CallsignBox.h"
#include "widgets/ChartControl.h"
#include "window/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <sys/resource.h>

namespace {

struct StartedClock : QElapsedTimer {
    StartedClock() { start(); }
};

// The real window from a folder of its own, timed from construction to its first shown frame.
struct Window {
    StartedClock clock; // declared first: it starts before the window is made
    FormHarness harness;
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
    std::uint64_t dropped = 0;
    double seconds = 0;
    double worstGapMs = 0;
    // From the moment the sender was seen to end until the last datagram was handed on.
    double lagSeconds = 0;
};

// Sends count datagrams with vantorel-send and runs the event loop until they are all handed
// on or nothing has arrived for two seconds. A stalled window turns no event loop until the
// sender has ended, as a window busy elsewhere would.
enum class Loop { Running, Stalled };
Delivery deliver(FormHarness& harness, std::int64_t count, std::int64_t start,
                 const QStringList& senderOptions = {}, Loop loop = Loop::Running)
{
    const std::uint64_t droppedBefore = harness.controls().UDPSocket->droppedDatagrams();
    QElapsedTimer clock;
    clock.start();
    Delivery result;
    double lastArrival = 0;
    const QMetaObject::Connection counter =
        QObject::connect(harness.controls().UDPSocket, &UdpListener::datagramArrived, [&] {
            ++result.received;
            lastArrival = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        });
    QElapsedTimer gap;
    gap.start();
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        result.worstGapMs =
            std::max(result.worstGapMs, static_cast<double>(gap.nsecsElapsed()) / 1e6);
        gap.restart();
    });
    ticker.start(10);

    QProcess sender;
    double sentAt = -1;
    QObject::connect(&sender, &QProcess::finished,
                     [&] { sentAt = static_cast<double>(clock.nsecsElapsed()) / 1e9; });
    sender.start(QStringLiteral(VANTOREL_SEND_BINARY),
                 QStringList{QStringLiteral("--port"), QString::number(harness.port),
                             QStringLiteral("--count"), QString::number(count),
                             QStringLiteral("--start"), QString::number(start),
                             QStringLiteral("--callsigns"), QStringLiteral("500")} +
                     senderOptions);
    if (loop == Loop::Stalled)
        sender.waitForFinished(120'000);
    std::int64_t seen = 0;
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 2000 && !(result.received >= count && sentAt >= 0)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (result.received != seen) {
            seen = result.received;
            idle.restart();
        }
    }
    sender.waitForFinished(5000);
    QObject::disconnect(counter);
    result.dropped = harness.controls().UDPSocket->droppedDatagrams() - droppedBefore;
    result.seconds = lastArrival;
    result.lagSeconds = sentAt < 0 ? -1 : std::max(0.0, lastArrival - sentAt);
    return result;
}

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The memory in use now, from the kernel's page count.
double currentRssMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1024 * 1024) : -1;
}

// The made-up decodes from index from on, among distinctCallsigns callsigns, as datagrams.
std::vector<QByteArray> madeUpDatagrams(std::uint64_t from, int count,
                                        std::uint32_t distinctCallsigns)
{
    std::vector<QByteArray> result;
    result.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        result.push_back(DecodeDatagramWriter::encode(
            Traffic::report(from + static_cast<std::uint64_t>(i), distinctCallsigns)));
    return result;
}

// Hands the datagrams to the window as fast as it takes them, letting it paint now and then;
// the seconds it took.
double feed(Window& window, const std::vector<QByteArray>& datagrams)
{
    QElapsedTimer clock;
    clock.start();
    for (std::size_t i = 0; i < datagrams.size(); ++i) {
        window.harness.form->UDPSocket_DataArrival(datagrams[i]);
        if (i % 1000 == 0)
            QCoreApplication::processEvents();
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// A run long enough that the replay filter forgets, then the decoder replaying the newest
// decodes: what the filter costs per decode and in memory, and that a replay changes nothing.
void replays()
{
    Window fresh;
    constexpr int Total = 600'000;
    const std::vector<QByteArray> decodes = madeUpDatagrams(0, Total, 500);
    const double before = currentRssMb();
    const double newSeconds = feed(fresh, decodes);
    const double after = currentRssMb();
    // A decoder's band activity holds far fewer than this; the oldest decodes are forgotten.
    const auto replay = [&fresh](int from, int count) {
        const std::int32_t total = fresh.harness.steps().tally().totalRecords();
        QElapsedTimer clock;
        clock.start();
        for (int i = from; i < from + count; ++i) {
            DecodeReport report = Traffic::report(static_cast<std::uint64_t>(i), 500);
            report.isNew = false;
            fresh.harness.form->UDPSocket_DataArrival(DecodeDatagramWriter::encode(report));
        }
        return std::pair(count / (static_cast<double>(clock.nsecsElapsed()) / 1e9),
                         fresh.harness.steps().tally().totalRecords() - total);
    };
    constexpr int Replayed = 10'000;
    const auto [newestRate, newestTaken] = replay(Total - Replayed, Replayed);
    const std::int32_t oldestTaken = replay(0, Replayed).second;
    std::printf("replays: %d new decodes at %.0f decodes/s, memory in use %.1f MB before, %.1f MB "
                "after; a replay of the newest %d at %.0f decodes/s took %d of them, one of the "
                "oldest (beyond the %zu remembered) took %d\n",
                Total, Total / newSeconds, before, after, Replayed, newestRate, newestTaken,
                ReplayFilter::Capacity, oldestTaken);
}

// Hostile datagrams straight into the intake: lengths that point far beyond the datagram, the
// largest datagram UDP carries, and a flood of other message types.
void hostileInput(FormHarness& harness)
{
    const long before = peakRssMb();
    const QByteArray good = DecodeDatagramWriter::encode(Traffic::report(1, 10));
    for (const quint32 length : {0x7FFFFFFFu, 0xFFFFFFFEu}) {
        QByteArray datagram = good;
        for (int b = 0; b < 4; ++b)
            datagram[12 + b] = static_cast<char>(length >> (24 - 8 * b));
        for (int i = 0; i < 100'000; ++i)
            harness.form->UDPSocket_DataArrival(datagram);
    }
    QByteArray largest = DecodeDatagramWriter::header(Protocol::MessageType::Decode);
    largest.append(Protocol::MaxDatagramBytes - largest.size(), '\x41');
    for (int i = 0; i < 10'000; ++i)
        harness.form->UDPSocket_DataArrival(largest);
    QByteArray other = DecodeDatagramWriter::header(Protocol::MessageType::Status);
    other.append(100, '\x11');
    for (int i = 0; i < 1'000'000; ++i)
        harness.form->UDPSocket_DataArrival(other);
    QCoreApplication::processEvents();
    std::printf("hostile input (200,000 bad lengths, 10,000 of 65,507 bytes, 1,000,000 other "
                "types): peak RSS %ld MB before, %ld MB after\n",
                before, peakRssMb());
}

// Large Decode datagrams sent as fast as possible, over the socket, once to a window that keeps
// up and once to a window that turns no event loop meanwhile: the queue's byte bound keeps
// memory flat, and what does not fit is dropped and counted.
void flood(FormHarness& harness)
{
    constexpr std::int64_t Count = 100'000;
    for (const Loop loop : {Loop::Running, Loop::Stalled}) {
        const long before = peakRssMb();
        const Delivery result = deliver(harness, Count, 5'000'000, {"--size", "32000"}, loop);
        const std::int64_t dropped = static_cast<std::int64_t>(result.dropped);
        std::printf("flood of %lld Decode datagrams of 32,000 bytes, window %s: handed on %lld, "
                    "dropped by the queue %lld, lost before it %lld; peak RSS %ld MB before, "
                    "%ld MB after\n",
                    static_cast<long long>(Count),
                    loop == Loop::Running ? "running" : "stalled until the last was sent",
                    static_cast<long long>(result.received), static_cast<long long>(dropped),
                    static_cast<long long>(Count - result.received - dropped), before, peakRssMb());
    }
}

void sustained(FormHarness& harness, const QString& platform)
{
    constexpr std::int64_t Count = 200'000;
    const Delivery result = deliver(harness, Count, 0);
    std::printf("%s, sustained, log view visible: %lld of %lld decodes in %.2f s = %.0f "
                "decodes/s, lost %lld, worst event-loop gap %.1f ms\n",
                qPrintable(platform), static_cast<long long>(result.received),
                static_cast<long long>(Count), result.seconds,
                static_cast<double>(result.received) / result.seconds,
                static_cast<long long>(Count - result.received), result.worstGapMs);
}

// Every decode tracked, with its chart on screen: the chart is drawn at most once per turn of
// the event loop, however many points arrive in that turn.
void chartShown(FormHarness& harness, const QString& platform)
{
    constexpr std::int64_t Count = 200'000;
    harness.controls().Text1->setText(Traffic::callsign(0));
    harness.form->mnuShowDB_Click();
    int replots = 0;
    const QMetaObject::Connection counter = QObject::connect(
        harness.controls().MSChart2, &QCustomPlot::afterReplot, [&] { ++replots; });
    const Delivery result = deliver(harness, Count, 0, {"--callsigns", "1"});
    QObject::disconnect(counter);
    std::printf("%s, sustained, dB chart visible, every decode tracked: %lld of %lld decodes in "
                "%.2f s = %.0f decodes/s, lost %lld, %d chart redraws, worst event-loop gap "
                "%.1f ms\n",
                qPrintable(platform), static_cast<long long>(result.received),
                static_cast<long long>(Count), result.seconds,
                static_cast<double>(result.received) / result.seconds,
                static_cast<long long>(Count - result.received), replots, result.worstGapMs);
    harness.form->mnuShowMessage_Click();
    harness.controls().Text1->setText(QString());
}

void paced(FormHarness& harness, const QString& platform)
{
    constexpr std::int64_t Count = 200'000;
    const Delivery result =
        deliver(harness, Count, 2'000'000, {"--rate", "50000", "--burst", "50"});
    std::printf("%s, %lld decodes paced at 50,000/s: all handed on %.3f s after the last was "
                "sent, lost %lld, worst event-loop gap %.1f ms\n",
                qPrintable(platform), static_cast<long long>(Count), result.lagSeconds,
                static_cast<long long>(Count - result.received), result.worstGapMs);
}

void bursts(FormHarness& harness)
{
    for (const std::int64_t burst : {10'000, 100'000}) {
        const Delivery result = deliver(harness, burst, 1'000'000);
        std::printf("burst of %lld at once: lost %lld\n", static_cast<long long>(burst),
                    static_cast<long long>(burst - result.received));
    }
}

// Cost per decode over a long run, without the socket: 1,000,000 decodes among 100,000
// distinct callsigns, first tenth against last tenth.
void longRun()
{
    Window fresh;
    constexpr int Total = 1'000'000;
    constexpr int Tenth = Total / 10;
    double tenthSeconds[10] = {};
    for (int part = 0; part < 10; ++part)
        tenthSeconds[part] =
            feed(fresh, madeUpDatagrams(static_cast<std::uint64_t>(part) * Tenth, Tenth, 100'000));
    std::printf("1,000,000 decodes, 100,000 callsigns: first tenth %.0f decodes/s, last tenth "
                "%.0f decodes/s, last/first time %.2fx; unique callsigns %d\n",
                Tenth / tenthSeconds[0], Tenth / tenthSeconds[9], tenthSeconds[9] / tenthSeconds[0],
                fresh.harness.steps().tally().uniqueCount());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Figures are printed with "." in every locale, as scripts read them.
    std::setlocale(LC_NUMERIC, "C");
    const QString platform = QGuiApplication::platformName();
    const bool everything = platform == QLatin1String("offscreen");
    auto window = std::make_unique<Window>();
    FormHarness& harness = window->harness;
    if (everything) {
        std::printf("start-up to a shown window: %.1f ms\n", window->startMs);
        hostileInput(harness);
        flood(harness);
    }
    sustained(harness, platform);
    chartShown(harness, platform);
    paced(harness, platform);
    if (everything) {
        bursts(harness);
        window.reset();
        longRun();
        replays();
        std::printf("peak RSS: %ld MB\n", peakRssMb());
    }
    return 0;
}
