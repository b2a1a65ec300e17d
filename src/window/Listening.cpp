#include "window/Listening.h"

#include <QDir>

Listening::Listening(std::uint16_t port, const QString& group)
    : m_port(port)
    , m_group(group)
{
}

std::optional<QHostAddress> Listening::multicastGroup(const QString& text)
{
    const QHostAddress address(text);
    if (address.protocol() != QAbstractSocket::IPv4Protocol || !address.isMulticast())
        return std::nullopt;
    return address;
}

bool Listening::groupIsBad() const
{
    return !m_group.isEmpty() && !multicastGroup(m_group);
}

std::optional<QHostAddress> Listening::address() const
{
    if (m_group.isEmpty())
        return QHostAddress(QHostAddress::LocalHost);
    return multicastGroup(m_group);
}

QString Listening::badGroupError() const
{
    return QStringLiteral("\"%1\" is not a multicast group from %2")
        .arg(m_group, QLatin1String(GroupRange));
}

QString Listening::where() const
{
    return m_group.isEmpty() ? QStringLiteral("127.0.0.1 port %1").arg(m_port)
                             : QStringLiteral("group %1 port %2").arg(m_group).arg(m_port);
}

QString Listening::caption(const QString& error, std::uint64_t droppedDatagrams) const
{
    // The group as written can be of any length: the whole of it is in the message box.
    if (groupIsBad())
        return QStringLiteral("Cannot listen: \"Multicast group\" holds no multicast group");
    if (!error.isEmpty())
        return QStringLiteral("Cannot listen at port %1: %2").arg(m_port).arg(error);
    const QString group = m_group.isEmpty() ? QString() : QStringLiteral(" in group ") + m_group;
    QString caption =
        QStringLiteral("Looking for UDP message at port %1%2.....").arg(m_port).arg(group);
    if (droppedDatagrams > 0)
        caption += QStringLiteral(" %1 datagrams dropped: too many at once").arg(droppedDatagrams);
    return caption;
}

QString Listening::errorMessage(const QString& error, const QString& settingsPath) const
{
    if (groupIsBad()) {
        // "UDP port" cannot mend a group: only the settings file holds it.
        return QStringLiteral("Vantorel cannot listen for decodes: %1.\n\nClose Vantorel, then "
                              "correct the key \"Multicast group\" in the section [User] of "
                              "%2, or remove it to listen at 127.0.0.1.")
            .arg(error, QDir::toNativeSeparators(settingsPath));
    }
    const QString where =
        m_group.isEmpty() ? QStringLiteral("at 127.0.0.1") : QStringLiteral("in group ") + m_group;
    return QStringLiteral("Vantorel cannot listen for decodes %1 port %2: %3\n\nChoose another "
                          "port with \"UDP port\".")
        .arg(where)
        .arg(m_port)
        .arg(error);
}
