#include "platform/UdpListener.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <QVariant>

#include <optional>

namespace {

std::optional<QNetworkInterface> loopbackInterface()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (flags.testFlag(QNetworkInterface::IsLoopBack) &&
            flags.testFlag(QNetworkInterface::IsUp))
            return interface;
    }
    return std::nullopt;
}

} // namespace

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
        std::optional<QNetworkInterface> loopback;
        if (group) {
            loopback = loopbackInterface();
            if (!loopback)
                return fail(UdpListener::tr("this machine has no loopback interface"));
        }
        // Windows refuses a bind to a group's address: a group is listened to on the wildcard
        // address, shared with the other programs in the group, and joined on loopback only.
        const QHostAddress local = group ? QHostAddress(QHostAddress::AnyIPv4) : address;
        const auto mode = group ? QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint
                                : QAbstractSocket::DefaultForPlatform;
        if (!m_socket->bind(local, port, mode))
            return fail(m_socket->errorString());
        if (group && !m_socket->joinMulticastGroup(address, *loopback))
            return fail(m_socket->errorString());
        // The wildcard address takes whatever reaches the port on any interface: only what
        // arrives on the loopback interface comes from this machine.
        m_loopbackIndex = group ? loopback->index() : 0;
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
            if (m_loopbackIndex == 0) {
                // The largest UDP payload; each datagram is copied out at its own size.
                const qint64 size = m_socket->readDatagram(m_buffer, sizeof m_buffer);
                if (size < 0)
                    return;
                m_listener.enqueue(QByteArray(m_buffer, size));
            } else {
                const QNetworkDatagram datagram = m_socket->receiveDatagram();
                if (!datagram.isValid())
                    return;
                if (datagram.interfaceIndex() == m_loopbackIndex)
                    m_listener.enqueue(datagram.data());
            }
        }
    }

    UdpListener& m_listener;
    std::unique_ptr<QUdpSocket> m_socket;
    uint m_loopbackIndex = 0;
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
