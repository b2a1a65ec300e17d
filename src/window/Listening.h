#pragma once

#include <QHostAddress>
#include <QString>

#include <cstdint>
#include <optional>

// Where the window listens, at 127.0.0.1 or in a multicast group, and what it says about it:
// the port caption and, when it cannot listen, the message that tells the user what to do. A
// value: the window opens its listener where this says.
class Listening {
public:
    // The multicast range, as every text that asks for a group names it.
    static constexpr const char* GroupRange = "224.0.0.0 to 239.255.255.255";

    // An empty group listens at 127.0.0.1; a group is kept as written, to be shown as it is.
    Listening(std::uint16_t port, const QString& group);

    std::uint16_t port() const { return m_port; }
    const QString& group() const { return m_group; }
    bool operator==(const Listening& other) const = default;

    // The address to bind: 127.0.0.1 or the group; none when the group is none.
    std::optional<QHostAddress> address() const;
    // Why address() gives none.
    QString badGroupError() const;
    // "127.0.0.1 port 2237", "group 239.255.0.1 port 2237".
    QString where() const;

    // The caption of the received-message view, with the datagrams dropped so far; error is
    // why the listener could not be opened, empty while it listens.
    QString caption(const QString& error, std::uint64_t droppedDatagrams) const;
    // The message box for a listener that could not be opened; settingsPath is the file
    // that holds the group.
    QString errorMessage(const QString& error, const QString& settingsPath) const;

    // An IPv4 address from 224.0.0.0 to 239.255.255.255.
    static std::optional<QHostAddress> multicastGroup(const QString& text);

private:
    // The settings name a multicast group that is none.
    bool groupIsBad() const;

    std::uint16_t m_port;
    QString m_group;
};
