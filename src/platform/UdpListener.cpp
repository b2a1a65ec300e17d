#include "platform/UdpListener.h"

#include "platform/CopyFilter.h"
#include "platform/ThisMachine.h"

#include <QElapsedTimer>
#include <QHash>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QSet>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

// Lives in the receiving thread, with the socket it owns.
class UdpListener::Receiver : public QObject {
public:
    explicit Receiver(UdpListener& listener)
        : m_listener(listener)
    {
    }

    // Runs in the receiving thread; on failure returns the reason.
    QString open(quint16 port, const QHostAddress& address, QHostAddress& boundAddress)
    {
        m_socket = std::make_unique<QUdpSocket>();
        const bool group = address.isMulticast();
        const auto fail = [this](const QString& reason) {
            m_socket.reset();
            return reason;
        };
        // Windows refuses a bind to a group's address: a group is listened to on the wildcard
        // address, shared with the other programs in the group, and joined on every interface
        // a decoder on this machine may send it on.
        const QHostAddress local = group ? QHostAddress(QHostAddress::AnyIPv4) : address;
        // One address, one listener: never shared with, nor taken from, another program (a
        // logger that holds it).
        const auto mode = group ? QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint
                                : QAbstractSocket::DontShareAddress;
        if (!m_socket->bind(local, port, mode))
            return fail(m_socket->errorString());
        if (group) {
            m_groupAddress = address;
            if (!joinNewInterfaces())
                return fail(m_joinRefusal);
            m_own = ThisMachine::ownAddresses();
            // An interface that comes up later (a USB adapter, a VPN) is joined as it appears.
            m_joinTimer = new QTimer(this);
            connect(m_joinTimer, &QTimer::timeout, this, &Receiver::joinNewInterfaces);
            m_joinTimer->start(RejoinMilliseconds);
        }
        m_clock.start();
        m_group = group;
        m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                  QVariant(ReceiveBufferBytes));
        boundAddress = m_socket->localAddress();
        connect(m_socket.get(), &QUdpSocket::readyRead, this, &Receiver::readAll);
        return {};
    }

    void shut()
    {
        if (m_joinTimer)
            m_joinTimer->stop();
        m_socket.reset();
    }

    // Joins the group on each interface not joined yet; false when none is joined at all.
    bool joinNewInterfaces()
    {
        QSet<QString> present;
        for (const QNetworkInterface& interface : ThisMachine::groupInterfaces()) {
            // By name and index: an interface made anew has a new index and no membership.
            const QString key =
                interface.name() + QLatin1Char('#') + QString::number(interface.index());
            present.insert(key);
            if (m_joined.contains(key))
                continue;
            if (m_socket->joinMulticastGroup(m_groupAddress, interface))
                m_joined.insert(key);
            else
                m_joinRefusal = m_socket->errorString();
        }
        // One gone is joined again should it come back.
        m_joined.intersect(present);
        return !m_joined.isEmpty();
    }

private:
    void readAll()
    {
        while (m_socket->hasPendingDatagrams()) {
            if (!m_group) {
                // The largest UDP payload; each datagram is copied out at its own size.
                const qint64 size = m_socket->readDatagram(m_buffer, sizeof m_buffer);
                if (size < 0)
                    return;
                m_listener.enqueue(QByteArray(m_buffer, size));
            } else {
                const QNetworkDatagram datagram = m_socket->receiveDatagram();
                if (!datagram.isValid())
                    return;
                // The wildcard address takes whatever reaches the port from any host: only
                // what this machine sent is taken, whichever interface it came by.
                if (fromThisMachine(datagram.senderAddress()) &&
                    !m_copies.isCopy(static_cast<quint16>(datagram.senderPort()), datagram.data(),
                                     m_clock.elapsed()))
                    m_listener.enqueue(datagram.data());
            }
        }
    }

    bool fromThisMachine(const QHostAddress& sender)
    {
        if (sender.isLoopback())
            return true;
        bool isIPv4 = false;
        const quint32 address = sender.toIPv4Address(&isIPv4);
        if (!isIPv4)
            return false;
        // An address given to this machine since the last look; looked up again at most
        // every two seconds, however many datagrams other hosts send.
        if (!m_own.contains(address) && m_clock.elapsed() - m_ownReadMs > 2000) {
            m_own = ThisMachine::ownAddresses();
            m_ownReadMs = m_clock.elapsed();
        }
        return m_own.contains(address);
    }

    static constexpr int RejoinMilliseconds = 2000;

    UdpListener& m_listener;
    std::unique_ptr<QUdpSocket> m_socket;
    bool m_group = false;
    QHostAddress m_groupAddress;
    QSet<QString> m_joined;
    QString m_joinRefusal = UdpListener::tr("this machine has no interface to listen on");
    QTimer* m_joinTimer = nullptr;
    // A decoder told to send on several interfaces sends each datagram once on each.
    CopyFilter m_copies;
    QSet<quint32> m_own;
    QElapsedTimer m_clock;
    qint64 m_ownReadMs = 0;
    char m_buffer[65536];
};

UdpListener::UdpListener(QObject* parent, qint64 queueBytes)
    : QObject(parent)
    , m_queueBytes(queueBytes)
{
    m_thread.setObjectName(QStringLiteral("UDP receiver"));
}

UdpListener::~UdpListener()
{
    close();
}

void UdpListener::close()
{
    if (m_receiver) {
        QMetaObject::invokeMethod(
            m_receiver.get(), [this] { m_receiver->shut(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
        m_receiver.reset();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_incoming.clear();
    }
    m_ready.clear();
    m_queuedBytes = 0;
    m_state = Closed;
    m_localPort = 0;
    m_localAddress.clear();
}

bool UdpListener::bind(quint16 port, const QHostAddress& address)
{
    close();
    if (port == 0) {
        m_error = tr("0 is not a port number from 1 to 65535");
        return false;
    }
    m_receiver = std::make_unique<Receiver>(*this);
    m_receiver->moveToThread(&m_thread);
    m_thread.start();
    QString error;
    QHostAddress boundAddress;
    QMetaObject::invokeMethod(
        m_receiver.get(), [&] { error = m_receiver->open(port, address, boundAddress); },
        Qt::BlockingQueuedConnection);
    if (!error.isEmpty()) {
        close();
        m_error = error;
        return false;
    }
    m_error.clear();
    m_state = Bound;
    m_localPort = port;
    m_localAddress = boundAddress;
    return true;
}

void UdpListener::enqueue(QByteArray datagram)
{
    const qint64 cost = datagram.size() + DatagramOverheadBytes;
    // Only this thread adds to the count, so the test and the addition cannot be overtaken.
    if (m_queuedBytes.load() + cost > m_queueBytes) {
        ++m_dropped;
        return;
    }
    m_queuedBytes += cost;
    bool schedule = false;
    {
        const std::lock_guard lock(m_mutex);
        m_incoming.push_back(std::move(datagram));
        schedule = !m_drainScheduled;
        m_drainScheduled = true;
    }
    if (schedule)
        QMetaObject::invokeMethod(this, &UdpListener::drain, Qt::QueuedConnection);
}

void UdpListener::drain()
{
    {
        const std::lock_guard lock(m_mutex);
        m_drainScheduled = false;
        for (QByteArray& datagram : m_incoming)
            m_ready.push_back(std::move(datagram));
        m_incoming.clear();
    }
    if (const std::uint64_t dropped = m_dropped.load(); dropped != m_droppedReported) {
        m_droppedReported = dropped;
        emit datagramsDropped(dropped);
    }
    QElapsedTimer batch;
    batch.start();
    while (!m_ready.empty()) {
        const QByteArray datagram = std::move(m_ready.front());
        m_ready.pop_front();
        m_queuedBytes -= datagram.size() + DatagramOverheadBytes;
        emit datagramArrived(datagram);
        if (batch.elapsed() >= BatchMilliseconds && !m_ready.empty()) {
            // Let the window repaint, then carry on where this batch stopped.
            const std::lock_guard lock(m_mutex);
            if (!m_drainScheduled) {
                m_drainScheduled = true;
                QMetaObject::invokeMethod(this, &UdpListener::drain, Qt::QueuedConnection);
            }
            return;
        }
    }
}
