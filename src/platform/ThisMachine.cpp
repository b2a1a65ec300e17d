#include "platform/ThisMachine.h"

#include <QUdpSocket>

namespace ThisMachine {

QList<QNetworkInterface> groupInterfaces()
{
    QList<QNetworkInterface> interfaces;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp))
            continue;
        if (flags.testFlag(QNetworkInterface::IsLoopBack))
            interfaces.prepend(interface);
        else if (flags.testFlag(QNetworkInterface::CanMulticast))
            interfaces.append(interface);
    }
    return interfaces;
}

QList<InterfaceFacts> upInterfaces()
{
    QList<InterfaceFacts> up;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (flags.testFlag(QNetworkInterface::IsUp))
            up << InterfaceFacts{interface.name(), flags.testFlag(QNetworkInterface::IsLoopBack),
                                 flags.testFlag(QNetworkInterface::CanMulticast)};
    }
    return up;
}

QSet<quint32> ownAddresses()
{
    QSet<quint32> own;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            own.insert(address.toIPv4Address());
    }
    return own;
}

bool portHeld(std::uint16_t port)
{
    // Not shared: a socket of another program that allows sharing must still count.
    QUdpSocket probe;
    return !probe.bind(QHostAddress::LocalHost, port, QAbstractSocket::DontShareAddress) &&
           probe.error() == QAbstractSocket::AddressInUseError;
}

} // namespace ThisMachine
