#pragma once

#include <QHostAddress>
#include <QNetworkInterface>
#include <QUdpSocket>

// A UDP port that no program holds now, as the system hands them out: tests never count on a
// fixed number that another program, or a second run of the suite, may hold first.
inline quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

// This machine's loopback interface, where a decoder shares its reports through a group.
inline QNetworkInterface loopbackInterface()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (interface.flags().testFlag(QNetworkInterface::IsLoopBack))
            return interface;
    }
    return {};
}
