#include "UdpListener.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

class TestUdpListener : public QObject {
    Q_OBJECT
private slots:
    void receivesEachDatagramWhole();
    void drainsABurstInArrivalOrder();
    void portInUseIsRefusedWithAReason();
    void portOutOfRangeIsRefused();
};

void TestUdpListener::receivesEachDatagramWhole()
{
    UdpListener listener(nullptr);
    QCOMPARE(listener.state(), UdpListener::Closed);
    QVERIFY(listener.bind(45123, QStringLiteral("127.0.0.1")));
    QCOMPARE(listener.state(), UdpListener::Bound);
    QSignalSpy spy(&listener, &UdpListener::datagramArrived);
    QUdpSocket sender;
    const QByteArray big(60000, 'x');
    sender.writeDatagram("first", QHostAddress::LocalHost, listener.localPort());
    sender.writeDatagram(big, QHostAddress::LocalHost, listener.localPort());
    sender.writeDatagram(QByteArray(), QHostAddress::LocalHost, listener.localPort());
    QTRY_COMPARE_WITH_TIMEOUT(spy.size(), 3, 5000);
    QCOMPARE(spy.at(0).at(0).toByteArray(), QByteArray("first"));
    QCOMPARE(spy.at(1).at(0).toByteArray(), big);
    QCOMPARE(spy.at(2).at(0).toByteArray(), QByteArray());
}

void TestUdpListener::drainsABurstInArrivalOrder()
{
    UdpListener listener(nullptr);
    QVERIFY(listener.bind(45125, QStringLiteral("127.0.0.1")));
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
    QVERIFY(!listener.bind(45126, QStringLiteral("127.0.0.1")));
    QVERIFY(!listener.errorString().isEmpty());
    QCOMPARE(listener.state(), UdpListener::Closed);
}

void TestUdpListener::portOutOfRangeIsRefused()
{
    UdpListener listener(nullptr);
    for (const int port : {0, -5, 70000}) {
        QVERIFY(!listener.bind(port, QStringLiteral("127.0.0.1")));
        QVERIFY(listener.errorString().contains(QString::number(port)));
    }
}

QTEST_GUILESS_MAIN(TestUdpListener)
#include "tst_udplistener.moc"
