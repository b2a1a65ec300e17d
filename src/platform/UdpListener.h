#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

// Receives datagrams on one local address and port and hands each one, whole, to a signal on
// the thread that owns the listener, in arrival order.
//
// A receiving thread does nothing but move datagrams out of the kernel's socket buffer into a
// queue: an unprivileged program cannot raise that buffer beyond a few hundred datagrams, and a
// burst from a decoder replaying its log must not be lost while the window is busy. The queue
// is handed on in batches of a bounded time, with a turn of the event loop between batches, so a
// flood never starves the window of repaints.
class UdpListener : public QObject {
    Q_OBJECT
public:
    enum State { Closed = 0, Bound = 1 };
    static constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;
    static constexpr int BatchMilliseconds = 5;
    // Beyond this many datagrams waiting, new ones are counted as dropped instead of queued.
    static constexpr std::size_t QueueLimit = 2'000'000;

    explicit UdpListener(QObject* parent);
    ~UdpListener() override;

    State state() const { return m_fd >= 0 ? Bound : Closed; }
    void close();
    // Binds to address:port; on failure returns false and errorString() says why.
    bool bind(int port, const QString& address);
    QString errorString() const { return m_error; }
    quint16 localPort() const { return m_port; }
    // Datagrams dropped because the queue was full.
    std::uint64_t droppedDatagrams() const { return m_dropped.load(); }

signals:
    void datagramArrived(const QByteArray& datagram);

private:
    void receiveLoop(int fd);
    void drain();

    int m_fd = -1;
    quint16 m_port = 0;
    QString m_error;
    std::thread m_receiver;

    std::mutex m_mutex;
    std::deque<QByteArray> m_incoming; // guarded by m_mutex
    bool m_drainScheduled = false;     // guarded by m_mutex
    std::atomic<std::uint64_t> m_dropped{0};
    std::atomic<bool> m_closing{false};

    std::deque<QByteArray> m_ready; // owner's thread only
};
