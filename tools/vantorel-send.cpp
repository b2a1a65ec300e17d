// Sends Decode reports to a listener on 127.0.0.1, or to a multicast group on the loopback
// interface, from an ALL.TXT-style file or made-up traffic, paced or in bursts.
#include "AllTxt.h"
#include "Traffic.h"
#include "intake/DecodeDatagramWriter.h"
#include "intake/Protocol.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QTextStream>
#include <QThread>
#include <QUdpSocket>
#include <QVariant>

#include <clocale>
#include <cstdio>
#include <vector>

namespace {

struct Options {
    quint16 port = Protocol::DefaultPort;
    QString file;
    QString id = QStringLiteral("WSJT-X");
    qint64 count = -1;
    double rate = 0;
    qint64 burst = 1;
    quint32 callsigns = 500;
    double period = 0;
    qint64 start = 0;
    qint64 size = 0;
    QHostAddress target{QHostAddress::LocalHost};
    bool freePort = false;
};

bool readOptions(const QCoreApplication& app, Options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Sends WSJT-X Decode reports (message type 2) to 127.0.0.1:PORT.\n"
                       "Reads ALL.TXT-style lines from --file, or makes up traffic without it."));
    parser.addHelpOption();
    const QCommandLineOption port(
        {QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("UDP port to send to (default %1).").arg(Protocol::DefaultPort),
        QStringLiteral("PORT"), QString::number(Protocol::DefaultPort));
    const QCommandLineOption file(
        {QStringLiteral("f"), QStringLiteral("file")},
        QStringLiteral("ALL.TXT-style file; its lines are sent in order, "
                       "from the start again when --count asks for more."),
        QStringLiteral("FILE"));
    const QCommandLineOption id(QStringLiteral("id"),
                                QStringLiteral("Id of the sending instance (default WSJT-X)."),
                                QStringLiteral("ID"), QStringLiteral("WSJT-X"));
    const QCommandLineOption count({QStringLiteral("n"), QStringLiteral("count")},
                                   QStringLiteral("Datagrams to send (default: the file once, or "
                                                  "100 made-up decodes)."),
                                   QStringLiteral("N"));
    const QCommandLineOption rate({QStringLiteral("r"), QStringLiteral("rate")},
                                  QStringLiteral("Datagrams per second; 0 sends as fast as "
                                                 "possible (default 0)."),
                                  QStringLiteral("R"), QStringLiteral("0"));
    const QCommandLineOption burst({QStringLiteral("b"), QStringLiteral("burst")},
                                   QStringLiteral("Datagrams sent back to back per step of the "
                                                  "rate (default 1)."),
                                   QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption callsigns(QStringLiteral("callsigns"),
                                       QStringLiteral("Distinct callsigns in made-up traffic "
                                                      "(default 500)."),
                                       QStringLiteral("N"), QStringLiteral("500"));
    const QCommandLineOption period(QStringLiteral("period"),
                                    QStringLiteral("Seconds between FT8-like batches: the file is "
                                                   "sent one time stamp at a time (default 0: no "
                                                   "batches)."),
                                    QStringLiteral("S"), QStringLiteral("0"));
    const QCommandLineOption start(QStringLiteral("start"),
                                   QStringLiteral("Index of the first made-up decode (default 0)."),
                                   QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Pad each message so that every datagram is "
                                                 "BYTES long (at most %1).")
                                      .arg(Protocol::MaxDatagramBytes),
                                  QStringLiteral("BYTES"), QStringLiteral("0"));
    const QCommandLineOption group(QStringLiteral("group"),
                                   QStringLiteral("Send to this multicast group on the loopback "
                                                  "interface instead of 127.0.0.1."),
                                   QStringLiteral("ADDRESS"));
    const QCommandLineOption freePort(QStringLiteral("free-port"),
                                      QStringLiteral("Print a UDP port that is free on 127.0.0.1 "
                                                     "and send nothing."));
    parser.addOptions(
        {port, file, id, count, rate, burst, callsigns, period, start, size, group, freePort});
    parser.process(app);
    options.freePort = parser.isSet(freePort);

    bool ok = true;
    const auto number = [&parser, &ok](const QCommandLineOption& option) {
        bool good = false;
        const double value = parser.value(option).toDouble(&good);
        if (!good || value < 0) {
            std::fprintf(stderr, "vantorel-send: --%s wants a number of zero or more\n",
                         qPrintable(option.names().last()));
            ok = false;
        }
        return value;
    };
    const double portValue = number(port);
    if (ok && (portValue < 1 || portValue > 65535)) {
        std::fprintf(stderr, "vantorel-send: --port wants 1 to 65535\n");
        return false;
    }
    options.port = static_cast<quint16>(portValue);
    options.file = parser.value(file);
    options.id = parser.value(id);
    if (parser.isSet(count))
        options.count = static_cast<qint64>(number(count));
    options.rate = number(rate);
    options.burst = qMax<qint64>(1, static_cast<qint64>(number(burst)));
    options.callsigns = static_cast<quint32>(qMax(1.0, number(callsigns)));
    options.period = number(period);
    options.start = static_cast<qint64>(number(start));
    options.size = static_cast<qint64>(number(size));
    if (ok && options.size > Protocol::MaxDatagramBytes) {
        std::fprintf(stderr, "vantorel-send: --size wants at most %d\n",
                     Protocol::MaxDatagramBytes);
        return false;
    }
    if (parser.isSet(group)) {
        options.target = QHostAddress(parser.value(group));
        if (!options.target.isMulticast()) {
            std::fprintf(stderr, "vantorel-send: --group wants a multicast address\n");
            return false;
        }
    }
    return ok;
}

bool loadFile(const QString& path, std::vector<DecodeReport>& reports)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "vantorel-send: cannot read %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        if (const auto report = AllTxt::parseLine(in.readLine()))
            reports.push_back(*report);
    }
    if (reports.empty()) {
        std::fprintf(stderr, "vantorel-send: no decode lines in %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The datagram of a report, its message padded to make the datagram size bytes long.
QByteArray encode(DecodeReport report, qint64 size)
{
    const qint64 plain = DecodeDatagramWriter::encode(report).size();
    if (size > plain + 1)
        report.message += QLatin1Char(' ') + QString(size - plain - 1, QLatin1Char('A'));
    return DecodeDatagramWriter::encode(report);
}

bool aimAtLoopback(QUdpSocket& socket)
{
    if (!socket.bind(QHostAddress::AnyIPv4, 0))
        return false;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (interface.flags().testFlag(QNetworkInterface::IsLoopBack)) {
            socket.setMulticastInterface(interface);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantorel-send"));
    // Figures are printed with "." in every locale, as scripts read them.
    std::setlocale(LC_NUMERIC, "C");
    Options options;
    if (!readOptions(app, options))
        return 2;
    if (options.freePort) {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress::LocalHost, 0))
            return 1;
        std::printf("%u\n", probe.localPort());
        return 0;
    }

    std::vector<DecodeReport> fileReports;
    if (!options.file.isEmpty() && !loadFile(options.file, fileReports))
        return 1;
    const qint64 total =
        options.count >= 0 ? options.count
                           : (fileReports.empty() ? 100 : static_cast<qint64>(fileReports.size()));

    QUdpSocket socket;
    socket.setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, QVariant(4 * 1024 * 1024));
    if (options.target.isMulticast() && !aimAtLoopback(socket)) {
        std::fprintf(stderr, "vantorel-send: cannot send on the loopback interface\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    qint64 sent = 0;
    qint64 failed = 0;
    for (qint64 i = 0; i < total; ++i) {
        DecodeReport report =
            fileReports.empty()
                ? Traffic::report(static_cast<std::uint64_t>(options.start + i), options.callsigns)
                : fileReports[static_cast<std::size_t>(i) % fileReports.size()];
        report.id = options.id;
        // A new time stamp in the file starts the next FT8-like period.
        if (options.period > 0 && i > 0 && !fileReports.empty() &&
            report.timeMs !=
                fileReports[static_cast<std::size_t>(i - 1) % fileReports.size()].timeMs)
            QThread::msleep(static_cast<unsigned long>(options.period * 1000));
        if (options.rate > 0 && i % options.burst == 0) {
            const qint64 due = static_cast<qint64>(static_cast<double>(i) / options.rate * 1e9);
            const qint64 wait = due - clock.nsecsElapsed();
            if (wait > 0)
                QThread::usleep(static_cast<unsigned long>(wait / 1000));
        }
        const QByteArray datagram = encode(report, options.size);
        if (socket.writeDatagram(datagram, options.target, options.port) == datagram.size())
            ++sent;
        else
            ++failed;
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    std::printf("sent %lld datagrams to %s:%u in %.3f s", static_cast<long long>(sent),
                qPrintable(options.target.toString()), options.port, seconds);
    if (failed > 0)
        std::printf(", %lld failed", static_cast<long long>(failed));
    std::printf("\n");
    return failed > 0 ? 1 : 0;
}
