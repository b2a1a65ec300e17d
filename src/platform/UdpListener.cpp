#include "UdpListener.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>
#include <QVariant>

UdpListener::UdpListener(QObject* parent)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpListener::drain);
}

UdpListener::State UdpListener::state() const
{
    return m_socket->state() == QAbstractSocket::UnconnectedState ? Closed : Bound;
}

void UdpListener::close() { m_socket->close(); }

bool UdpListener::bind(int port, const QString& address)
{
    if (port < 1 || port > 65535) {
        m_error = tr("%1 is not a port number from 1 to 65535").arg(port);
        return false;
    }
    if (!m_socket->bind(QHostAddress(address), static_cast<quint16>(port))) {
        m_error = m_socket->errorString();
        return false;
    }
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                               QVariant(ReceiveBufferBytes));
    m_error.clear();
    return true;
}

quint16 UdpListener::localPort() const { return m_socket->localPort(); }

void UdpListener::drain()
{
    m_drainScheduled = false;
    QElapsedTimer batch;
    batch.start();
    while (m_socket->hasPendingDatagrams()) {
        const qint64 size = m_socket->pendingDatagramSize();
        m_buffer.resize(qMax<qint64>(size, 0));
        const qint64 read = m_socket->readDatagram(m_buffer.data(), m_buffer.size());
        if (read >= 0) {
            m_buffer.resize(read);
            emit datagramArrived(m_buffer);
        }
        if (batch.elapsed() >= BatchMilliseconds && m_socket->hasPendingDatagrams()) {
            // Let the window repaint, then carry on where this batch stopped.
            if (!m_drainScheduled) {
                m_drainScheduled = true;
                QMetaObject::invokeMethod(this, &UdpListener::drain, Qt::QueuedConnection);
            }
            return;
        }
    }
}
