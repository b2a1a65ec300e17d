#pragma once

#include <QList>
#include <QNetworkInterface>
#include <QSet>
#include <QStringList>

#include <cstdint>

// This machine on the network: the interfaces a group can be sent on and heard by, and the
// addresses that are its own.
namespace ThisMachine {

// Loopback first, then every interface that is up and can send multicast: where a listener
// joins a group.
QList<QNetworkInterface> groupInterfaces();

// An interface that is up, as a decoder sees it when it offers where to send a group.
struct InterfaceFacts {
    QString name;
    bool loopback = false;
    // Its multicast flag: a decoder offers only such interfaces. Linux's loopback has it only
    // when root turns it on.
    bool multicast = false;
};
QList<InterfaceFacts> upInterfaces();
// Its IPv4 addresses.
QSet<quint32> ownAddresses();
// Whether another program listens at 127.0.0.1 on the port, so that no other can.
bool portHeld(std::uint16_t port);

} // namespace ThisMachine
