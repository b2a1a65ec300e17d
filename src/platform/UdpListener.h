#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QUdpSocket;

// Receives datagrams on one local address and port and hands each one, whole, to a signal.
// Pending datagrams are drained in batches of a bounded time, with a turn of the event loop
// between batches, so a flood never starves the window of repaints.
class UdpListener : public QObject {
    Q_OBJECT
public:
    enum State { Closed = 0, Bound = 1 };
    static constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;
    static constexpr int BatchMilliseconds = 5;

    explicit UdpListener(QObject* parent);

    State state() const;
    void close();
    // Binds to address:port; on failure returns false and errorString() says why.
    bool bind(int port, const QString& address);
    QString errorString() const { return m_error; }
    quint16 localPort() const;

signals:
    void datagramArrived(const QByteArray& datagram);

private:
    void drain();

    QUdpSocket* m_socket;
    QByteArray m_buffer;
    QString m_error;
    bool m_drainScheduled = false;
};
