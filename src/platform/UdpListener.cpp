#include "platform/UdpListener.h"

#include "platform/ThisMachine.h"

#include <QElapsedTimer>
#include <QHash>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QSet>
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
        const auto mode = group ? QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint
                                : QAbstractSocket::DefaultForPlatform;
        if (!m_socket->bind(local, port, mode))
            return fail(m_socket->errorString());
        if (group) {
            bool joined = false;
            QString refusal = UdpListener::tr("this machine has no interface to listen on");
            for (const QNetworkInterface& interface : ThisMachine::groupInterfaces()) {
                if (m_socket->joinMulticastGroup(address, interface))
                    joined = true;
                else
                    refusal = m_socket->errorString();
            }
            if (!joined)
                return fail(refusal);
            m_own = ThisMachine::ownAddresses();
            m_ownRead.start();
        }
        m_group = group;
        m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                  QVariant(ReceiveBufferBytes));
        boundAddress = m_socket->localAddress();
        connect(m_socket.get(), &QUdpSocket::readyRead, this, &Receiver::readAll);
        return {};
    }

    void shut() { m_socket.reset(); }

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
                    firstCopy(datagram.senderAddress(), datagram.senderPort()))
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
        if (!m_own.contains(address) && m_ownRead.elapsed() > 2000) {
            m_own = ThisMachine::ownAddresses();
            m_ownRead.restart();
        }
        return m_own.contains(address);
    }

    // A decoder told to send on several interfaces sends each datagram once on each, from one
    // socket: the copies come from one port and different addresses of this machine. The
    // first address heard from a port is the one taken, until it has been silent for a while
    // (the decoder's interfaces changed, or another program has the port now).
    bool firstCopy(const QHostAddress& sender, int port)
    {
        const qint64 now = m_ownRead.elapsed();
        if (m_routes.size() > 1024)
            m_routes.clear();
        auto route = m_routes.find(port);
        if (route == m_routes.end() || now - route->lastMs > 10'000) {
            m_routes.insert(port, {sender, now});
            return true;
        }
        if (route->address != sender)
            return false;
        route->lastMs = now;
        return true;
    }

    struct Route {
        QHostAddress address;
        qint64 lastMs;
    };

    UdpListener& m_listener;
    std::unique_ptr<QUdpSocket> m_socket;
    bool m_group = false;
    QHash<int, Route> m_routes;
    QSet<quint32> m_own;
    QElapsedTimer m_ownRead;
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
