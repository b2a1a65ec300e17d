// A listener in a multicast group takes nothing that another host sends: the other host is a
// network namespace of the test's own, joined to this one by a veth pair, and every datagram
// stays inside that pair.
#include "TestNetwork.h"
#include "platform/ThisMachine.h"
#include "platform/UdpListener.h"

#include <QCoreApplication>
#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace {

// The network namespace and the veth pair, made by the constructor and removed with the object.
class SecondHost {
public:
    SecondHost()
    {
        const qint64 pid = QCoreApplication::applicationPid();
        m_name = QStringLiteral("vantorel-test-%1").arg(pid);
        const QString here = QStringLiteral("vtl%1h").arg(pid % 1000000);
        const QString there = QStringLiteral("vtl%1p").arg(pid % 1000000);
        // A link-local /30 of this process's own, so that two runs side by side do not meet.
        const int net = static_cast<int>(pid % 16000);
        const auto address = [&net](int host) {
            return QStringLiteral("169.254.%1.%2").arg(net / 64 + 1).arg(net % 64 * 4 + host);
        };
        m_hereName = here;
        m_here = QHostAddress(address(1));
        m_there = QHostAddress(address(2));
        if (!run({"netns", "add", m_name}))
            return;
        m_made = true;
        m_ready =
            run({"link", "add", here, "type", "veth", "peer", "name", there, "netns", m_name}) &&
            run({"addr", "add", address(1) + "/30", "dev", here}) &&
            run({"link", "set", here, "up"}) &&
            run({"-n", m_name, "addr", "add", address(2) + "/30", "dev", there}) &&
            run({"-n", m_name, "link", "set", there, "up"});
    }

    ~SecondHost()
    {
        // The namespace takes its end of the pair with it, and that end the other.
        if (m_made)
            run({"netns", "delete", m_name});
    }

    bool ready() const { return m_ready; }
    const QString& why() const { return m_why; }
    // This host's address on the pair, and the second host's.
    const QHostAddress& here() const { return m_here; }
    const QHostAddress& there() const { return m_there; }
    // This host's end of the pair.
    QNetworkInterface hereInterface() const
    {
        return QNetworkInterface::interfaceFromName(m_hereName);
    }

    // The second host takes this host's address on its end too, to send as if it were this one.
    bool claimHere()
    {
        return run({"-n", m_name, "addr", "add", m_here.toString() + "/32", "dev",
                    QStringLiteral("vtl%1p").arg(QCoreApplication::applicationPid() % 1000000)});
    }

    // The second host's loopback, up, with its multicast flag on or off.
    bool setLoopback(bool multicast)
    {
        return run(
            {"-n", m_name, "link", "set", "lo", "up", "multicast", multicast ? "on" : "off"});
    }

    // Runs the call in a thread inside the second host.
    template <typename Call> void inside(Call call) const
    {
        std::thread thread([&] {
            const QByteArray path = "/run/netns/" + m_name.toLatin1();
            const int ns = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (ns < 0)
                return;
            if (::setns(ns, CLONE_NEWNET) == 0)
                call();
            ::close(ns);
        });
        thread.join();
    }

    // Sends from the second host, through its end of the pair, from its own address or from
    // the one given.
    bool send(const QByteArray& payload, const QHostAddress& to, quint16 port,
              const QHostAddress& from = QHostAddress()) const
    {
        bool sent = false;
        std::thread sender([&] {
            // setns moves this thread alone into the namespace.
            const QByteArray path = "/run/netns/" + m_name.toLatin1();
            const int ns = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (ns < 0)
                return;
            const bool entered = ::setns(ns, CLONE_NEWNET) == 0;
            ::close(ns);
            if (!entered)
                return;
            const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            if (fd < 0)
                return;
            in_addr out{};
            out.s_addr = htonl(m_there.toIPv4Address());
            ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &out, sizeof out);
            if (!from.isNull()) {
                sockaddr_in source{};
                source.sin_family = AF_INET;
                source.sin_addr.s_addr = htonl(from.toIPv4Address());
                if (::bind(fd, reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0) {
                    ::close(fd);
                    return;
                }
            }
            sockaddr_in target{};
            target.sin_family = AF_INET;
            target.sin_port = htons(port);
            target.sin_addr.s_addr = htonl(to.toIPv4Address());
            sent = ::sendto(fd, payload.constData(), static_cast<size_t>(payload.size()), 0,
                            reinterpret_cast<const sockaddr*>(&target),
                            sizeof target) == payload.size();
            ::close(fd);
        });
        sender.join();
        return sent;
    }

private:
    bool run(const QStringList& arguments)
    {
        QProcess ip;
        ip.start(QStringLiteral("ip"), arguments);
        if (ip.waitForFinished(10000) && ip.exitStatus() == QProcess::NormalExit &&
            ip.exitCode() == 0)
            return true;
        m_why = QStringLiteral("ip %1: %2")
                    .arg(arguments.join(' '),
                         ip.error() == QProcess::FailedToStart
                             ? QStringLiteral("not found")
                             : QString::fromLocal8Bit(ip.readAllStandardError()).trimmed());
        return false;
    }

    QString m_name;
    QString m_hereName;
    QHostAddress m_here;
    QHostAddress m_there;
    bool m_made = false;
    bool m_ready = false;
    QString m_why;
};

} // namespace

class TestSecondHost : public QObject {
    Q_OBJECT
private slots:
    void groupTakesOnlyWhatThisHostSends_data();
    void groupTakesOnlyWhatThisHostSends();
    void interfaceThatComesUpLaterIsHeard();
    void loopbackMulticastFlagIsSeen();
};

void TestSecondHost::groupTakesOnlyWhatThisHostSends_data()
{
    QTest::addColumn<QString>("group");
    // Every interface is in the all-hosts group: its datagrams reach this host from the pair.
    QTest::newRow("all hosts") << "224.0.0.1";
    QTest::newRow("organisation") << "239.255.0.1";
}

void TestSecondHost::groupTakesOnlyWhatThisHostSends()
{
    QFETCH(QString, group);
    SecondHost host;
    if (!host.ready())
        QSKIP(qPrintable("no second host can be made here (as root it can): " + host.why()));
    const quint16 port = freeUdpPort();
    UdpListener listener(nullptr);
    QVERIFY2(listener.bind(port, QHostAddress(group)), qPrintable(listener.errorString()));
    QSignalSpy taken(&listener, &UdpListener::datagramArrived);
    // A witness on this host's end of the pair shows that the second host's datagrams arrive.
    QUdpSocket witness;
    QVERIFY(witness.bind(host.here(), 0));

    QVERIFY(host.send("to this host", host.here(), port));
    QVERIFY(host.send("to the group", QHostAddress(group), port));
    QVERIFY(host.send("witness", host.here(), witness.localPort()));
    QTRY_VERIFY_WITH_TIMEOUT(witness.hasPendingDatagrams(), 5000);
    // Claiming this host's address as its own.
    QVERIFY2(host.claimHere(), qPrintable(host.why()));
    QVERIFY(host.send("spoofed to the group", QHostAddress(group), port, host.here()));

    // A decoder on this machine whose outgoing interface is the network card, not loopback,
    // and one that sends each datagram on both: each datagram is taken once.
    QUdpSocket onCard;
    QVERIFY(onCard.bind(host.here(), 0));
    onCard.setMulticastInterface(host.hereInterface());
    onCard.writeDatagram("from this machine's card", QHostAddress(group), port);
    QUdpSocket onBoth;
    QVERIFY(onBoth.bind(QHostAddress::AnyIPv4, 0));
    onBoth.setMulticastInterface(loopbackInterface());
    onBoth.writeDatagram("on both", QHostAddress(group), port);
    onBoth.setMulticastInterface(host.hereInterface());
    onBoth.writeDatagram("on both", QHostAddress(group), port);
    QUdpSocket local;
    QVERIFY(local.bind(QHostAddress::LocalHost, 0));
    local.setMulticastInterface(loopbackInterface());
    local.writeDatagram("from this machine", QHostAddress(group), port);
    QTRY_COMPARE_WITH_TIMEOUT(taken.size(), 3, 5000);
    QTest::qWait(200);
    QStringList texts;
    for (const QList<QVariant>& arguments : taken)
        texts << QString::fromLatin1(arguments.first().toByteArray());
    QCOMPARE(texts, (QStringList{"from this machine's card", "on both", "from this machine"}));
}

void TestSecondHost::interfaceThatComesUpLaterIsHeard()
{
    // No other member of this group on the new card: only the listener's own join lets the
    // copies of a decoder that sends there come back to this machine.
    const QHostAddress group("239.255.0.1");
    const quint16 port = freeUdpPort();
    UdpListener listener(nullptr);
    QVERIFY2(listener.bind(port, group), qPrintable(listener.errorString()));
    QSignalSpy taken(&listener, &UdpListener::datagramArrived);
    SecondHost host;
    if (!host.ready())
        QSKIP(qPrintable("no second host can be made here (as root it can): " + host.why()));
    QUdpSocket onCard;
    QVERIFY(onCard.bind(host.here(), 0));
    onCard.setMulticastInterface(host.hereInterface());
    int sent = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        (onCard.writeDatagram(QByteArray::number(++sent), group, port), !taken.isEmpty()), 10000);
}

void TestSecondHost::loopbackMulticastFlagIsSeen()
{
    SecondHost host;
    if (!host.ready())
        QSKIP(qPrintable("no second host can be made here (as root it can): " + host.why()));
    for (const bool multicast : {false, true}) {
        QVERIFY2(host.setLoopback(multicast), qPrintable(host.why()));
        QList<ThisMachine::InterfaceFacts> seen;
        host.inside([&seen] { seen = ThisMachine::upInterfaces(); });
        const auto loopback = std::find_if(seen.cbegin(), seen.cend(),
                                           [](const auto& facts) { return facts.loopback; });
        QVERIFY(loopback != seen.cend());
        QCOMPARE(loopback->name, QString("lo"));
        QCOMPARE(loopback->multicast, multicast);
        // The card of the pair can multicast whatever loopback can.
        QVERIFY(std::any_of(seen.cbegin(), seen.cend(),
                            [](const auto& facts) { return !facts.loopback && facts.multicast; }));
    }
}

QTEST_GUILESS_MAIN(TestSecondHost)
#include "tst_secondhost.moc"
