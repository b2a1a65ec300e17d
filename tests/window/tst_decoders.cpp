#include "Captures.h"
#include "window/Decoders.h"

#include <QHostAddress>
#include <QTest>

Q_DECLARE_METATYPE(DecoderConfig)

namespace {

DecoderConfig decoder(const QString& server, std::uint16_t port, const QStringList& interfaces = {})
{
    DecoderConfig config;
    config.name = QStringLiteral("WSJT-X");
    config.server = server;
    config.port = port;
    config.interfaces = interfaces;
    return config;
}

// A settings file the decoder itself wrote.
DecoderConfig captured(const char* file)
{
    return DecoderSettings::read(QStringLiteral("WSJT-X"),
                                 QStringLiteral(CAPTURES_DIR "/wsjtx-2.6.1-ini/") + file);
}

// A machine with loopback and one network card at 192.168.1.20, where a logger holds 2236;
// loopback can multicast only where root turned its flag on.
MachineFacts machine(bool loopbackMulticast = false)
{
    return {{{"lo", true, loopbackMulticast}, {"eth0", false, true}},
            {QHostAddress("192.168.1.20").toIPv4Address()},
            [](std::uint16_t port) { return port == 2236; }};
}

Listening listeningAt(const QString& where)
{
    const QStringList parts = where.split(' ');
    return Listening(parts[0].toUShort(), parts.value(1));
}

QString described(const std::optional<Listening>& listening)
{
    return listening
               ? QStringLiteral("%1 %2").arg(listening->port()).arg(listening->group()).trimmed()
               : QString();
}

} // namespace

// What Vantorel says of each decoder configuration, and what a first start makes of them.
class TestDecoders : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void verdicts_data();
    void verdicts();
    void firstStart_data();
    void firstStart();
};

void TestDecoders::initTestCase()
{
    if (captured("defaults.ini").unreadable.size() > 0)
        QSKIP("no decoder captures in " CAPTURES_DIR);
}

void TestDecoders::verdicts_data()
{
    QTest::addColumn<DecoderConfig>("config");
    QTest::addColumn<bool>("loopbackMulticast");
    QTest::addColumn<QString>("listening"); // "port" or "port group"
    QTest::addColumn<QString>("sendsTo");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("take"); // what taking it listens to, "" when it cannot
    QTest::newRow("its defaults") << captured("defaults.ini") << false << "2238"
                                  << "127.0.0.1 port 2237"
                                  << "Vantorel listens at port 2238: take it to listen at "
                                     "127.0.0.1 port 2237."
                                  << "2237";
    QTest::newRow("group on lo") << captured("group-on-lo.ini") << false << "2238"
                                 << "group 224.0.0.1 port 47501 on lo"
                                 << "Vantorel can hear it here"
                                 << "47501 224.0.0.1";
    QTest::newRow("group on two interfaces, heard")
        << captured("group-on-two-interfaces.ini") << false << "47502 239.255.0.1"
        << "group 239.255.0.1 port 47502 on lo, vt6a"
        << "Vantorel hears it here."
        << "";
    QTest::newRow("group on no interface, loopback without multicast")
        << captured("group-on-no-interface.ini") << false << "2238"
        << "group 224.0.0.1 port 47501, no interface ticked"
        << "It sends nothing: no interface is ticked and loopback cannot multicast here"
        << "";
    QTest::newRow("group on no interface, loopback with multicast")
        << captured("group-on-no-interface.ini") << true << "2238"
        << "group 224.0.0.1 port 47501, no interface ticked"
        << "Vantorel can hear it here"
        << "47501 224.0.0.1";
    QTest::newRow("what it wrote after a start with loopback multicast")
        << captured("group-on-no-interface-loopback-multicast.ini") << true << "47501 224.0.0.1"
        << "group 224.0.0.1 port 47501 on lo"
        << "Vantorel hears it here."
        << "";
    QTest::newRow("in its group at another port")
        << decoder("239.255.0.1", 2240, {"eth0"}) << false << "2241 239.255.0.1"
        << "group 239.255.0.1 port 2240 on eth0"
        << "Vantorel can hear it here"
        << "2240 239.255.0.1";
    QTest::newRow("group on no interface here")
        << decoder("239.255.0.1", 2240, {"wlan7"}) << false << "2238"
        << "group 239.255.0.1 port 2240 on wlan7"
        << "It sends nothing: this machine has no interface wlan7 up. In its Reporting settings "
           "tick one it offers: eth0."
        << "";
    QTest::newRow("unicast heard") << decoder("127.0.0.1", 2238) << false << "2238"
                                   << "127.0.0.1 port 2238"
                                   << "Vantorel hears it here."
                                   << "";
    QTest::newRow("localhost at another port") << decoder("localhost", 2239) << false << "2238"
                                               << "localhost port 2239"
                                               << "Vantorel listens at port 2238: take it"
                                               << "2239";
    QTest::newRow("unicast to a port another program holds")
        << decoder("127.0.0.1", 2236) << false << "2238"
        << "127.0.0.1 port 2236"
        << "Another program listens at port 2236"
        << "";
    QTest::newRow("another loopback address") << decoder("127.0.0.2", 2238) << false << "2238"
                                              << "127.0.0.2 port 2238"
                                              << "It sends to this machine at 127.0.0.2, where "
                                                 "Vantorel does not listen"
                                              << "";
    QTest::newRow("IPv6 loopback") << decoder("::1", 2238) << false << "2238"
                                   << "::1 port 2238"
                                   << "It sends to this machine at ::1, where Vantorel does not "
                                      "listen: in the decoder, set the UDP Server to 127.0.0.1"
                                   << "";
    QTest::newRow("this machine's card address") << decoder("192.168.1.20", 2238) << false << "2238"
                                                 << "192.168.1.20 port 2238"
                                                 << "It sends to this machine's network address"
                                                 << "";
    QTest::newRow("another host") << decoder("192.168.1.30", 2238) << false << "2238"
                                  << "192.168.1.30 port 2238"
                                  << "It sends to another host"
                                  << "";
    QTest::newRow("a host name") << decoder("shack-pc", 2238) << false << "2238"
                                 << "shack-pc port 2238"
                                 << "It sends to a host by its name"
                                 << "";
    QTest::newRow("port 0") << decoder("127.0.0.1", 0) << false << "2238"
                            << "nowhere"
                            << "It sends nothing"
                            << "";
    DecoderConfig unreadable = decoder("127.0.0.1", 2237);
    unreadable.unreadable = "it cannot be read as text";
    QTest::newRow("unreadable") << unreadable << false << "2238"
                                << "unknown"
                                << "Its settings file"
                                << "";
}

void TestDecoders::verdicts()
{
    QFETCH(DecoderConfig, config);
    QFETCH(bool, loopbackMulticast);
    QFETCH(QString, listening);
    QFETCH(QString, sendsTo);
    QFETCH(QString, verdict);
    QFETCH(QString, take);
    const DecoderVerdict judged =
        Decoders::judge(config, listeningAt(listening), machine(loopbackMulticast));
    QCOMPARE(judged.sendsTo, sendsTo);
    QVERIFY2(judged.verdict.startsWith(verdict), qPrintable(judged.verdict));
    QCOMPARE(judged.heard, verdict == "Vantorel hears it here.");
    QCOMPARE(described(judged.take), take);
}

void TestDecoders::firstStart_data()
{
    QTest::addColumn<QList<DecoderConfig>>("configs");
    QTest::addColumn<QString>("listen");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("offer");
    QTest::newRow("none") << QList<DecoderConfig>{} << ""
                          << ""
                          << "";
    QTest::newRow("one group") << QList<DecoderConfig>{captured("group-on-lo.ini")}
                               << "47501 224.0.0.1"
                               << ""
                               << "";
    QTest::newRow("one group beside a unicast decoder")
        << QList<DecoderConfig>{decoder("127.0.0.1", 2239), decoder("224.0.0.1", 2241, {"eth0"})}
        << "2241 224.0.0.1"
        << ""
        << "";
    QTest::newRow("a group sent on no interface")
        << QList<DecoderConfig>{captured("group-on-no-interface.ini")} << ""
        << "WSJT-X sends to group 224.0.0.1 port 47501, no interface ticked. It sends nothing"
        << "";
    QTest::newRow("both on their defaults")
        << QList<DecoderConfig>{captured("defaults.ini")} << ""
        << "WSJT-X sends to 127.0.0.1 port 2237; Vantorel listens at 127.0.0.1 port 2238."
        << "2237";
    QTest::newRow("a logger on the decoder's port")
        << QList<DecoderConfig>{decoder("127.0.0.1", 2236)} << ""
        << "WSJT-X sends to 127.0.0.1 port 2236. Another program listens"
        << "";
    QTest::newRow("heard already")
        << QList<DecoderConfig>{decoder("127.0.0.1", 2238), decoder("239.255.0.1", 2240, {"eth0"})}
        << ""
        << ""
        << "";
    QTest::newRow("two groups") << QList<DecoderConfig>{decoder("224.0.0.1", 2237, {"eth0"}),
                                                        decoder("239.255.0.1", 2237, {"eth0"})}
                                << ""
                                << "2 decoders were found, none sending to 127.0.0.1 port 2238"
                                << "";
}

void TestDecoders::firstStart()
{
    QFETCH(QList<DecoderConfig>, configs);
    QFETCH(QString, listen);
    QFETCH(QString, notice);
    QFETCH(QString, offer);
    const FirstStart start = Decoders::firstStart(configs, Listening(2238, QString()), machine());
    QCOMPARE(described(start.listen), listen);
    QVERIFY2(notice.isEmpty() ? start.notice.isEmpty() : start.notice.startsWith(notice),
             qPrintable(start.notice));
    QCOMPARE(described(start.offer), offer);
}

QTEST_APPLESS_MAIN(TestDecoders)
#include "tst_decoders.moc"
