#include "UdpListener.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

UdpListener::UdpListener(QObject* parent)
    : QObject(parent)
{
}

UdpListener::~UdpListener()
{
    close();
}

void UdpListener::close()
{
    if (m_fd < 0)
        return;
    // Wakes the receiving thread from its blocking read.
    m_closing = true;
    ::shutdown(m_fd, SHUT_RDWR);
    if (m_receiver.joinable())
        m_receiver.join();
    m_closing = false;
    ::close(m_fd);
    m_fd = -1;
    m_port = 0;
}

bool UdpListener::bind(int port, const QString& address)
{
    if (port < 1 || port > 65535) {
        m_error = tr("%1 is not a port number from 1 to 65535").arg(port);
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &local.sin_addr) != 1) {
        m_error = tr("%1 is not an IPv4 address").arg(address);
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const int size = ReceiveBufferBytes;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_port = static_cast<quint16>(port);
    m_error.clear();
    m_receiver = std::thread([this, fd] { receiveLoop(fd); });
    return true;
}

void UdpListener::receiveLoop(int fd)
{
    // The largest UDP payload; each datagram is copied out at its own size.
    std::vector<char> buffer(65536);
    for (;;) {
        const ssize_t size = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        // After close() a read returns 0 at once; before, 0 is an empty datagram.
        if (size == 0 && m_closing.load())
            return;
        bool schedule = false;
        {
            const std::lock_guard lock(m_mutex);
            if (m_incoming.size() >= QueueLimit) {
                ++m_dropped;
                continue;
            }
            m_incoming.emplace_back(buffer.data(), static_cast<qsizetype>(size));
            schedule = !m_drainScheduled;
            m_drainScheduled = true;
        }
        if (schedule)
            QMetaObject::invokeMethod(this, &UdpListener::drain, Qt::QueuedConnection);
    }
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
    QElapsedTimer batch;
    batch.start();
    while (!m_ready.empty()) {
        const QByteArray datagram = std::move(m_ready.front());
        m_ready.pop_front();
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
