#include "TestNetwork.h"
#include "platform/UdpListener.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

namespace {

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
    void groupIsSharedWithAnotherListener_data();
    void groupIsSharedWithAnotherListener();
    void queueIsBoundedInBytes();
};

void TestUdpListener::receivesEachDatagramWholeAtTheLoopbackAddress()
{
    UdpListener listener(nullptr);
    QCOMPARE(listener.state(), UdpListener::Closed);
    const quint16 port = freeUdpPort();
    QVERIFY(listener.bind(port, QHostAddress::LocalHost));
    QCOMPARE(listener.state(), UdpListener::Bound);
    QCOMPARE(listener.localAddress(), QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(listener.localPort(), port);
    QSignalSpy spy(&listener, &UdpListener::datagramArrived);
    QUdpSocket sender;
    const QByteArray big(60000, 'x');
    sender.writeDatagram("first", QHostAddress::LocalHost, port);
    sender.writeDatagram(big, QHostAddress::LocalHost, port);
    sender.writeDatagram(QByteArray(), QHostAddress::LocalHost, port);
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
    const quint16 port = freeUdpPort();
    QVERIFY(listener.bind(port, QHostAddress::LocalHost));
    int received = 0;
    bool inOrder = true;
    connect(&listener, &UdpListener::datagramArrived, this, [&](const QByteArray& datagram) {
        inOrder = inOrder && datagram.toInt() == received;
        ++received;
    });
    QUdpSocket sender;
    const int burst = 5000;
    for (int i = 0; i < burst; ++i)
        sender.writeDatagram(QByteArray::number(i), QHostAddress::LocalHost, port);
    QTRY_COMPARE_WITH_TIMEOUT(received, burst, 10000);
    QVERIFY(inOrder);
}

void TestUdpListener::portInUseIsRefusedWithAReason()
{
    // Also a holder that would share: its datagrams are never taken from it.
    for (const QAbstractSocket::BindMode mode :
         {QAbstractSocket::BindMode(QAbstractSocket::DefaultForPlatform),
          QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint}) {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::LocalHost, 0, mode));
        UdpListener listener(nullptr);
        QVERIFY(!listener.bind(holder.localPort(), QHostAddress::LocalHost));
        QVERIFY(!listener.errorString().isEmpty());
        QCOMPARE(listener.state(), UdpListener::Closed);
    }
}

void TestUdpListener::portZeroIsRefused()
{
    UdpListener listener(nullptr);
    QVERIFY(!listener.bind(0, QHostAddress::LocalHost));
    QVERIFY(listener.errorString().contains("0"));
    QCOMPARE(listener.state(), UdpListener::Closed);
}

void TestUdpListener::groupIsSharedWithAnotherListener_data()
{
    QTest::addColumn<QString>("group");
    QTest::newRow("all hosts") << "224.0.0.1";
    QTest::newRow("organisation") << "239.255.0.1";
}

void TestUdpListener::groupIsSharedWithAnotherListener()
{
    QFETCH(QString, group);
    const quint16 port = freeUdpPort();
    // A logger that joined the group first, the way such programs do.
    QUdpSocket logger;
    QVERIFY(logger.bind(QHostAddress::AnyIPv4, port,
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
    QVERIFY(logger.joinMulticastGroup(QHostAddress(group), loopbackInterface()));
    UdpListener listener(nullptr);
    QVERIFY2(listener.bind(port, QHostAddress(group)), qPrintable(listener.errorString()));
    // The wildcard address, which every platform lets a group's listeners share.
    QCOMPARE(listener.localAddress(), QHostAddress(QHostAddress::AnyIPv4));
    int received = 0;
    connect(&listener, &UdpListener::datagramArrived, this, [&] { ++received; });

    QUdpSocket decoder;
    decoder.bind(QHostAddress::LocalHost, 0);
    decoder.setMulticastInterface(loopbackInterface());
    const int count = 200;
    for (int i = 0; i < count; ++i) {
        const QByteArray payload = QByteArray::number(i);
        QCOMPARE(decoder.writeDatagram(payload, QHostAddress(group), port), qint64(payload.size()));
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

void TestUdpListener::queueIsBoundedInBytes()
{
    const qint64 cost = 1000 + UdpListener::DatagramOverheadBytes;
    UdpListener listener(nullptr, 4 * cost);
    const quint16 port = freeUdpPort();
    QVERIFY(listener.bind(port, QHostAddress::LocalHost));
    QSignalSpy arrived(&listener, &UdpListener::datagramArrived);
    QSignalSpy dropped(&listener, &UdpListener::datagramsDropped);
    QUdpSocket sender;
    for (int i = 0; i < 20; ++i)
        sender.writeDatagram(QByteArray(1000, 'x'), QHostAddress::LocalHost, port);
    QVERIFY(waitUntil([&] { return listener.droppedDatagrams() == 16; }));
    QTRY_COMPARE(arrived.size(), 4);
    QCOMPARE(dropped.size(), 1);
    QCOMPARE(dropped.first().first().value<std::uint64_t>(), 16u);

    // Once handed on, the whole room is free again, round after round, while the window
    // turns no event loop as each round arrives.
    for (int round = 1; round <= 3; ++round) {
        for (int i = 0; i < 6; ++i)
            sender.writeDatagram(QByteArray(1000, 'y'), QHostAddress::LocalHost, port);
        const std::uint64_t total = 16u + 2u * round;
        QVERIFY(waitUntil([&] { return listener.droppedDatagrams() == total; }));
        QTRY_COMPARE(arrived.size(), 4 + 4 * round);
        QCOMPARE(dropped.size(), 1 + round);
        QCOMPARE(dropped.last().first().value<std::uint64_t>(), total);
    }
    // A drain that drops nothing new says nothing.
    sender.writeDatagram(QByteArray(1000, 'z'), QHostAddress::LocalHost, port);
    QTRY_COMPARE(arrived.size(), 17);
    QCOMPARE(dropped.size(), 4);
}

QTEST_GUILESS_MAIN(TestUdpListener)
#include "tst_udplistener.moc"
