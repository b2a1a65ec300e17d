#pragma once

#include <QList>
#include <QNetworkInterface>
#include <QSet>
#include <QStringList>

#include <cstdint>

// This machine on the network: the interfaces a group can be sent on and heard by, and the
// addresses that are its own.
namespace ThisMachine {

// Loopback first, then every interface that is up and can send multicast.
QList<QNetworkInterface> groupInterfaces();
QStringList groupInterfaceNames();
// Its IPv4 addresses.
QSet<quint32> ownAddresses();
// Whether another program listens at 127.0.0.1 on the port, so that no other can.
bool portHeld(std::uint16_t port);

} // namespace ThisMachine
