#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

// Receives datagrams on one local address and port, or in one multicast group, and hands each
// one, whole, to a signal on the thread that owns the listener, in arrival order. In a group
// only what this machine sends is taken (its sender a loopback address or one of this
// machine's own), by whatever interface it came.
//
// A receiving thread with an event loop of its own does nothing but move datagrams out of the
// kernel's socket buffer into a queue: an unprivileged program cannot raise that buffer beyond a
// few hundred datagrams, and a burst from a decoder replaying its log must not be lost while
// the window is busy. The queue is bounded in bytes, so a flood of large datagrams cannot eat
// the machine's memory; beyond the bound new datagrams are dropped and counted. The queue is
// handed on in batches of a bounded time, with a turn of the event loop between batches, so a
// flood never starves the window of repaints.
class UdpListener : public QObject {
    Q_OBJECT
public:
    enum State { Closed = 0, Bound = 1 };
    static constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;
    static constexpr int BatchMilliseconds = 5;
    static constexpr qint64 DefaultQueueBytes = 64 * 1024 * 1024;
    // What a queued datagram costs beyond its bytes, so that empty ones are bounded too.
    static constexpr qint64 DatagramOverheadBytes = 64;

    explicit UdpListener(QObject* parent, qint64 queueBytes = DefaultQueueBytes);
    ~UdpListener() override;

    State state() const { return m_state; }
    void close();
    // Binds to address:port. For a multicast address the wildcard address is bound, shared with
    // the other programs that listen to the group, and the group is joined on loopback and on
    // every interface that can carry it. On failure returns false and errorString() says why.
    bool bind(quint16 port, const QHostAddress& address);
    QString errorString() const { return m_error; }
    quint16 localPort() const { return m_localPort; }
    // The address the socket is bound to, as the socket reports it.
    QHostAddress localAddress() const { return m_localAddress; }
    // Datagrams dropped because the queue was full.
    std::uint64_t droppedDatagrams() const { return m_dropped.load(); }

signals:
    void datagramArrived(const QByteArray& datagram);
    // The count of dropped datagrams grew; emitted on the owner's thread.
    void datagramsDropped(std::uint64_t total);

private:
    class Receiver;
    friend class Receiver;

    // Receiving thread: queues one datagram, or counts it as dropped when the queue is full.
    void enqueue(QByteArray datagram);
    // Owner's thread: hands on the queued datagrams for at most one batch time.
    void drain();

    const qint64 m_queueBytes;
    State m_state = Closed;
    QString m_error;
    quint16 m_localPort = 0;
    QHostAddress m_localAddress;
    QThread m_thread;
    std::unique_ptr<Receiver> m_receiver;

    std::mutex m_mutex;
    std::deque<QByteArray> m_incoming; // guarded by m_mutex
    bool m_drainScheduled = false;     // guarded by m_mutex
    // Bytes queued and not yet handed on; only the receiving thread adds to it.
    std::atomic<qint64> m_queuedBytes{0};
    std::atomic<std::uint64_t> m_dropped{0};

    // Owner's thread only.
    std::deque<QByteArray> m_ready;
    std::uint64_t m_droppedReported = 0;
};
