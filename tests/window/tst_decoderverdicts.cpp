#include "window/DecoderVerdicts.h"

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

// A machine with loopback and one network card at 192.168.1.20, where a logger holds 2237.
MachineFacts machine()
{
    return {{"lo", "eth0"}, {QHostAddress("192.168.1.20").toIPv4Address()}, [](std::uint16_t port) {
                return port == 2237;
            }};
}

} // namespace

// What Vantorel says of each decoder configuration, and what it can take from it.
class TestDecoderVerdicts : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data();
    void verdicts();
    void firstStartTakesOnlyTheOneGroupHeardHere_data();
    void firstStartTakesOnlyTheOneGroupHeardHere();
};

void TestDecoderVerdicts::verdicts_data()
{
    QTest::addColumn<DecoderConfig>("config");
    QTest::addColumn<QString>("listening"); // "port" or "port group"
    QTest::addColumn<QString>("sendsTo");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("take"); // what taking it listens to, "" when it cannot
    QTest::newRow("group heard") << decoder("224.0.0.1", 2237) << "2237 224.0.0.1"
                                 << "group 224.0.0.1 port 2237 on loopback"
                                 << "Vantorel hears it here."
                                 << "";
    QTest::newRow("group on the card, to take") << decoder("239.255.0.1", 2240, {"eth0"}) << "2238"
                                                << "group 239.255.0.1 port 2240 on eth0"
                                                << "Vantorel can hear it here"
                                                << "2240 239.255.0.1";
    QTest::newRow("group on no interface here")
        << decoder("239.255.0.1", 2240, {"wlan7"}) << "2238"
        << "group 239.255.0.1 port 2240 on wlan7"
        << "This machine has no interface wlan7: in the decoder, choose lo"
        << "";
    QTest::newRow("unicast heard") << decoder("127.0.0.1", 2238) << "2238"
                                   << "127.0.0.1 port 2238"
                                   << "Vantorel hears it here."
                                   << "";
    QTest::newRow("localhost at another port") << decoder("localhost", 2239) << "2238"
                                               << "localhost port 2239"
                                               << "Vantorel listens at port 2238: take it"
                                               << "2239";
    QTest::newRow("unicast to a port another program holds")
        << decoder("127.0.0.1", 2237) << "2238"
        << "127.0.0.1 port 2237"
        << "Another program listens at port 2237"
        << "";
    QTest::newRow("this machine's card address") << decoder("192.168.1.20", 2238) << "2238"
                                                 << "192.168.1.20 port 2238"
                                                 << "It sends to this machine's network address"
                                                 << "";
    QTest::newRow("another host") << decoder("192.168.1.30", 2238) << "2238"
                                  << "192.168.1.30 port 2238"
                                  << "It sends to another host"
                                  << "";
    QTest::newRow("a host name") << decoder("shack-pc", 2238) << "2238"
                                 << "shack-pc port 2238"
                                 << "It sends to a host by its name"
                                 << "";
    QTest::newRow("port 0") << decoder("127.0.0.1", 0) << "2238"
                            << "nowhere"
                            << "It sends nothing"
                            << "";
}

void TestDecoderVerdicts::verdicts()
{
    QFETCH(DecoderConfig, config);
    QFETCH(QString, listening);
    QFETCH(QString, sendsTo);
    QFETCH(QString, verdict);
    QFETCH(QString, take);
    const QStringList where = listening.split(' ');
    const DecoderVerdict judged =
        DecoderVerdicts::judge(config, Listening(where[0].toUShort(), where.value(1)), machine());
    QCOMPARE(judged.sendsTo, sendsTo);
    QVERIFY2(judged.verdict.startsWith(verdict), qPrintable(judged.verdict));
    QCOMPARE(judged.heard, verdict == "Vantorel hears it here.");
    const QString taken =
        judged.take
            ? QStringLiteral("%1 %2").arg(judged.take->port()).arg(judged.take->group()).trimmed()
            : QString();
    QCOMPARE(taken, take);
}

void TestDecoderVerdicts::firstStartTakesOnlyTheOneGroupHeardHere_data()
{
    QTest::addColumn<QList<DecoderConfig>>("configs");
    QTest::addColumn<QString>("group");
    QTest::newRow("none") << QList<DecoderConfig>{} << "";
    QTest::newRow("one group") << QList<DecoderConfig>{decoder("224.0.0.1", 2237)}
                               << "224.0.0.1 2237";
    QTest::newRow("one group beside a unicast decoder")
        << QList<DecoderConfig>{decoder("127.0.0.1", 2239), decoder("224.0.0.1", 2241, {"eth0"})}
        << "224.0.0.1 2241";
    QTest::newRow("two groups") << QList<DecoderConfig>{decoder("224.0.0.1", 2237),
                                                        decoder("239.255.0.1", 2237)}
                                << "";
    QTest::newRow("a group on no interface here")
        << QList<DecoderConfig>{decoder("224.0.0.1", 2237, {"wlan7"})} << "";
    QTest::newRow("unicast only") << QList<DecoderConfig>{decoder("127.0.0.1", 2239)} << "";
}

void TestDecoderVerdicts::firstStartTakesOnlyTheOneGroupHeardHere()
{
    QFETCH(QList<DecoderConfig>, configs);
    QFETCH(QString, group);
    const std::optional<Listening> chosen = DecoderVerdicts::firstStart(configs, machine());
    QCOMPARE(chosen ? QStringLiteral("%1 %2").arg(chosen->group()).arg(chosen->port()) : QString(),
             group);
}

QTEST_APPLESS_MAIN(TestDecoderVerdicts)
#include "tst_decoderverdicts.moc"
