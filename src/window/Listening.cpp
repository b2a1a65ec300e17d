#include "window/Listening.h"

#include "platform/UdpListener.h"

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

void Listening::open(UdpListener& listener)
{
    m_error.clear();
    QHostAddress address(QHostAddress::LocalHost);
    if (!m_group.isEmpty()) {
        const std::optional<QHostAddress> group = multicastGroup(m_group);
        if (!group) {
            m_error = QStringLiteral("\"%1\" is not a multicast group from 224.0.0.0 "
                                     "to 239.255.255.255")
                          .arg(m_group);
            return;
        }
        address = *group;
    }
    if (!listener.bind(m_port, address))
        m_error = listener.errorString();
}

QString Listening::caption(std::uint64_t droppedDatagrams) const
{
    // The group as written can be of any length: the whole of it is in the message box.
    if (groupIsBad())
        return QStringLiteral("Cannot listen: \"Multicast group\" holds no multicast group");
    if (!m_error.isEmpty())
        return QStringLiteral("Cannot listen at port %1: %2").arg(m_port).arg(m_error);
    const QString group = m_group.isEmpty() ? QString() : QStringLiteral(" in group ") + m_group;
    QString caption =
        QStringLiteral("Looking for UDP message at port %1%2.....").arg(m_port).arg(group);
    if (droppedDatagrams > 0)
        caption += QStringLiteral(" %1 datagrams dropped: too many at once").arg(droppedDatagrams);
    return caption;
}

QString Listening::errorMessage(const QString& settingsPath) const
{
    if (groupIsBad()) {
        // "UDP port" cannot mend a group: only the settings file holds it.
        return QStringLiteral("Vantorel cannot listen for decodes: %1.\n\nClose Vantorel, then "
                              "correct the key \"Multicast group\" in the section [User] of "
                              "%2, or remove it to listen at 127.0.0.1.")
            .arg(m_error, QDir::toNativeSeparators(settingsPath));
    }
    const QString where =
        m_group.isEmpty() ? QStringLiteral("at 127.0.0.1") : QStringLiteral("in group ") + m_group;
    return QStringLiteral("Vantorel cannot listen for decodes %1 port %2: %3\n\nChoose another "
                          "port with \"UDP port\".")
        .arg(where)
        .arg(m_port)
        .arg(m_error);
}
