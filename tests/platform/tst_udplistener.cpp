#include "UdpListener.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

namespace {

const QHostAddress Group(QStringLiteral("239.255.0.1"));

QNetworkInterface loopback()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (interface.flags().testFlag(QNetworkInterface::IsLoopBack))
            return interface;
    }
    return {};
}

// Wine passes multicast on the loopback interface to nobody: such tests prove nothing there.
bool underWine()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariableIsSet("WINEPREFIX");
#else
    return false;
#endif
}

// Waits without turning the event loop, so nothing is handed on meanwhile.
bool waitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 500 && !done(); ++i)
        QThread::msleep(10);
    return done();
}

} // namespace

class TestUdpListener : public QObject {
    Q_OBJECT
private slots:
    void receivesEachDatagramWholeAtTheLoopbackAddress();
    void drainsABurstInArrivalOrder();
    void portInUseIsRefusedWithAReason();
    void portZeroIsRefused();
    void groupIsSharedWithAnotherListener();
    void groupTakesNothingFromOtherInterfaces();
    void queueIsBoundedInBytes();
};

void TestUdpListener::receivesEachDatagramWholeAtTheLoopbackAddress()
{
    UdpListener listener(nullptr);
    QCOMPARE(listener.state(), UdpListener::Closed);
    QVERIFY(listener.bind(45123, QHostAddress::LocalHost));
    QCOMPARE(listener.state(), UdpListener::Bound);
    QCOMPARE(listener.localAddress(), QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(listener.localPort(), 45123);
    QSignalSpy spy(&listener, &UdpListener::datagramArrived);
    QUdpSocket sender;
    const QByteArray big(60000, 'x');
    sender.writeDatagram("first", QHostAddress::LocalHost, 45123);
    sender.writeDatagram(big, QHostAddress::LocalHost, 45123);
    sender.writeDatagram(QByteArray(), QHostAddress::LocalHost, 45123);
    QTRY_COMPARE_WITH_TIMEOUT(spy.size(), 3, 5000);
    QCOMPARE(spy.at(0).at(0).toByteArray(), QByteArray("first"));
    QCOMPARE(spy.at(1).at(0).toByteArray(), big);
    QCOMPARE(spy.at(2).at(0).toByteArray(), QByteArray());
    listener.close();
    QCOMPARE(listener.state(), UdpListener::Closed);
}

void TestUdpListener::drainsABurstInArrivalOrder()
{
    UdpListener listener(nullptr);
    QVERIFY(listener.bind(45125, QHostAddress::LocalHost));
    int received = 0;
    bool inOrder = true;
    connect(&listener, &UdpListener::datagramArrived, this, [&](const QByteArray& datagram) {
        inOrder = inOrder && datagram.toInt() == received;
        ++received;
    });
    QUdpSocket sender;
    const int burst = 5000;
    for (int i = 0; i < burst; ++i)
        sender.writeDatagram(QByteArray::number(i), QHostAddress::LocalHost, 45125);
    QTRY_COMPARE_WITH_TIMEOUT(received, burst, 10000);
    QVERIFY(inOrder);
}

void TestUdpListener::portInUseIsRefusedWithAReason()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::LocalHost, 45126));
    UdpListener listener(nullptr);
    QVERIFY(!listener.bind(45126, QHostAddress::LocalHost));
    QVERIFY(!listener.errorString().isEmpty());
    QCOMPARE(listener.state(), UdpListener::Closed);
}

void TestUdpListener::portZeroIsRefused()
{
    UdpListener listener(nullptr);
    QVERIFY(!listener.bind(0, QHostAddress::LocalHost));
    QVERIFY(listener.errorString().contains("0"));
    QCOMPARE(listener.state(), UdpListener::Closed);
}

void TestUdpListener::groupIsSharedWithAnotherListener()
{
    if (underWine())
        QSKIP("no multicast on the loopback interface under Wine");
    // A logger that joined the group first, the way such programs do.
    QUdpSocket logger;
    QVERIFY(logger.bind(Group, 45127,
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
    QVERIFY(logger.joinMulticastGroup(Group, loopback()));
    UdpListener listener(nullptr);
    QVERIFY2(listener.bind(45127, Group), qPrintable(listener.errorString()));
    // Windows binds a group's socket to the wildcard address; the group is joined all the same.
#ifdef Q_OS_WIN
    QCOMPARE(listener.localAddress(), QHostAddress(QHostAddress::AnyIPv4));
#else
    QCOMPARE(listener.localAddress(), Group);
#endif
    int received = 0;
    connect(&listener, &UdpListener::datagramArrived, this, [&] { ++received; });

    QUdpSocket decoder;
    decoder.bind(QHostAddress::LocalHost, 0);
    decoder.setMulticastInterface(loopback());
    const int count = 200;
    for (int i = 0; i < count; ++i) {
        const QByteArray payload = QByteArray::number(i);
        QCOMPARE(decoder.writeDatagram(payload, Group, 45127), qint64(payload.size()));
    }
    QTRY_COMPARE_WITH_TIMEOUT(received, count, 5000);
    int loggerReceived = 0;
    const auto drainLogger = [&] {
        while (logger.hasPendingDatagrams() && logger.receiveDatagram().isValid())
            ++loggerReceived;
        return loggerReceived;
    };
    QTRY_COMPARE_WITH_TIMEOUT(drainLogger(), count, 5000);
}

void TestUdpListener::groupTakesNothingFromOtherInterfaces()
{
    // Every host is in the all-hosts group on every interface, so a datagram that a network
    // interface loops back reaches a socket bound to the group unless the listener refuses it.
    QNetworkInterface network;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsLoopBack) &&
            flags.testFlag(QNetworkInterface::IsUp) &&
            flags.testFlag(QNetworkInterface::CanMulticast) &&
            !interface.addressEntries().isEmpty())
            network = interface;
    }
    if (!network.isValid())
        QSKIP("no network interface to send from");
    if (underWine())
        QSKIP("no multicast on the loopback interface under Wine");
    const QHostAddress allHosts(QStringLiteral("224.0.0.1"));
    UdpListener listener(nullptr);
    QVERIFY2(listener.bind(45129, allHosts), qPrintable(listener.errorString()));
    QSignalSpy spy(&listener, &UdpListener::datagramArrived);
    QUdpSocket fromNetwork;
    fromNetwork.bind(QHostAddress::AnyIPv4, 0);
    fromNetwork.setMulticastInterface(network);
    fromNetwork.writeDatagram("network", allHosts, 45129);
    QTest::qWait(100);
    QUdpSocket local;
    local.bind(QHostAddress::LocalHost, 0);
    local.setMulticastInterface(loopback());
    local.writeDatagram("local", allHosts, 45129);
    QTRY_COMPARE(spy.size(), 1);
    QTest::qWait(100);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toByteArray(), QByteArray("local"));
}

void TestUdpListener::queueIsBoundedInBytes()
{
    const qint64 cost = 1000 + UdpListener::DatagramOverheadBytes;
    UdpListener listener(nullptr, 4 * cost);
    QVERIFY(listener.bind(45128, QHostAddress::LocalHost));
    QSignalSpy arrived(&listener, &UdpListener::datagramArrived);
    QSignalSpy dropped(&listener, &UdpListener::datagramsDropped);
    QUdpSocket sender;
    for (int i = 0; i < 20; ++i)
        sender.writeDatagram(QByteArray(1000, 'x'), QHostAddress::LocalHost, 45128);
    QVERIFY(waitUntil([&] { return listener.droppedDatagrams() == 16; }));
    QTRY_COMPARE(arrived.size(), 4);
    QCOMPARE(dropped.size(), 1);
    QCOMPARE(dropped.first().first().value<std::uint64_t>(), 16u);

    // Once handed on, the whole room is free again, round after round, while the window
    // turns no event loop as each round arrives.
    for (int round = 1; round <= 3; ++round) {
        for (int i = 0; i < 6; ++i)
            sender.writeDatagram(QByteArray(1000, 'y'), QHostAddress::LocalHost, 45128);
        const std::uint64_t total = 16u + 2u * round;
        QVERIFY(waitUntil([&] { return listener.droppedDatagrams() == total; }));
        QTRY_COMPARE(arrived.size(), 4 + 4 * round);
        QCOMPARE(dropped.size(), 1 + round);
        QCOMPARE(dropped.last().first().value<std::uint64_t>(), total);
    }
    // A drain that drops nothing new says nothing.
    sender.writeDatagram(QByteArray(1000, 'z'), QHostAddress::LocalHost, 45128);
    QTRY_COMPARE(arrived.size(), 17);
    QCOMPARE(dropped.size(), 4);
}

QTEST_GUILESS_MAIN(TestUdpListener)
#include "tst_udplistener.moc"
