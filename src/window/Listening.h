#pragma once

#include <QHostAddress>
#include <QString>

#include <cstdint>
#include <optional>

class UdpListener;

// Where the window listens, at 127.0.0.1 or in a multicast group, and what it says about it:
// the port caption and, when it cannot listen, the message that tells the user what to do.
class Listening {
public:
    // An empty group listens at 127.0.0.1; a group is kept as written, to be shown as it is.
    Listening(std::uint16_t port, const QString& group);

    std::uint16_t port() const { return m_port; }
    const QString& group() const { return m_group; }

    // Binds the listener; on failure error() says why.
    void open(UdpListener& listener);
    // Empty while listening; else why it cannot.
    const QString& error() const { return m_error; }

    // The caption of the received-message view, with the datagrams dropped so far.
    QString caption(std::uint64_t droppedDatagrams) const;
    // The message box for a listener that could not be opened; settingsPath is the file
    // that holds the group.
    QString errorMessage(const QString& settingsPath) const;

    // An IPv4 address from 224.0.0.0 to 239.255.255.255.
    static std::optional<QHostAddress> multicastGroup(const QString& text);

private:
    // The settings name a multicast group that is none.
    bool groupIsBad() const;

    std::uint16_t m_port;
    QString m_group;
    QString m_error;
};
