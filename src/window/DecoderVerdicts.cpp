#include "window/DecoderVerdicts.h"

#include "platform/ThisMachine.h"

#include <QHostAddress>

MachineFacts MachineFacts::now()
{
    return {ThisMachine::groupInterfaceNames(), ThisMachine::ownAddresses(),
            &ThisMachine::portHeld};
}

namespace {

QString interfacesText(const QStringList& interfaces)
{
    return interfaces.isEmpty() ? QStringLiteral("loopback")
                                : interfaces.join(QStringLiteral(", "));
}

// A group is heard when the decoder sends it on loopback (no interface chosen) or on an
// interface of this machine: its copies come back to this machine's listeners.
bool groupHeardHere(const DecoderConfig& config, const MachineFacts& machine)
{
    if (config.interfaces.isEmpty())
        return true;
    for (const QString& interface : config.interfaces) {
        if (machine.groupInterfaces.contains(interface))
            return true;
    }
    return false;
}

DecoderVerdict judgeGroup(const DecoderConfig& config, const QHostAddress& group,
                          const Listening& listening, const MachineFacts& machine)
{
    DecoderVerdict verdict;
    verdict.sendsTo = QStringLiteral("group %1 port %2 on %3")
                          .arg(config.server)
                          .arg(config.port)
                          .arg(interfacesText(config.interfaces));
    if (!groupHeardHere(config, machine)) {
        verdict.verdict =
            QStringLiteral("This machine has no interface %1: in the decoder, choose %2 among "
                           "its outgoing interfaces.")
                .arg(config.interfaces.join(QStringLiteral(" or ")),
                     machine.groupInterfaces.value(0, QStringLiteral("the loopback interface")));
        return verdict;
    }
    const std::optional<QHostAddress> current = Listening::multicastGroup(listening.group());
    if (current && *current == group && listening.port() == config.port) {
        verdict.heard = true;
        verdict.verdict = QStringLiteral("Vantorel hears it here.");
        return verdict;
    }
    verdict.take = Listening(config.port, group.toString());
    verdict.verdict = QStringLiteral("Vantorel can hear it here: take it to listen in group %1 "
                                     "at port %2, beside every other program in the group.")
                          .arg(group.toString())
                          .arg(config.port);
    return verdict;
}

DecoderVerdict judgeLoopback(const DecoderConfig& config, const Listening& listening,
                             const MachineFacts& machine)
{
    DecoderVerdict verdict;
    verdict.sendsTo = QStringLiteral("%1 port %2").arg(config.server).arg(config.port);
    if (listening.group().isEmpty() && listening.port() == config.port) {
        verdict.heard = true;
        verdict.verdict = QStringLiteral("Vantorel hears it here.");
        return verdict;
    }
    if (machine.portHeld && machine.portHeld(config.port)) {
        verdict.verdict =
            QStringLiteral("Another program listens at port %1, and only one program can hear "
                           "a decoder that sends to one address: in the decoder, send to a "
                           "group such as 239.255.0.1 instead, then take it here (the other "
                           "program listens in that group too).")
                .arg(config.port);
        return verdict;
    }
    verdict.take = Listening(config.port, QString());
    verdict.verdict = QStringLiteral("Vantorel listens at port %1: take it to listen at "
                                     "127.0.0.1 port %2.")
                          .arg(listening.port())
                          .arg(config.port);
    return verdict;
}

} // namespace

namespace DecoderVerdicts {

DecoderVerdict judge(const DecoderConfig& config, const Listening& listening,
                     const MachineFacts& machine)
{
    if (config.port == 0) {
        DecoderVerdict verdict;
        verdict.sendsTo = QStringLiteral("nowhere");
        verdict.verdict = QStringLiteral("It sends nothing: its UDP Server port number is 0.");
        return verdict;
    }
    const bool localhost =
        config.server.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0;
    const QHostAddress address(localhost ? QStringLiteral("127.0.0.1") : config.server);
    if (address.protocol() == QAbstractSocket::IPv4Protocol && address.isMulticast())
        return judgeGroup(config, address, listening, machine);
    if (address.protocol() == QAbstractSocket::IPv4Protocol && address.isLoopback())
        return judgeLoopback(config, listening, machine);

    DecoderVerdict verdict;
    verdict.sendsTo = QStringLiteral("%1 port %2").arg(config.server).arg(config.port);
    if (address.isNull()) {
        verdict.verdict = QStringLiteral("It sends to a host by its name, which Vantorel does "
                                         "not look up: in the decoder, set the UDP Server to "
                                         "127.0.0.1, or to a group such as 239.255.0.1.");
    } else if (address.protocol() == QAbstractSocket::IPv4Protocol &&
               machine.ownAddresses.contains(address.toIPv4Address())) {
        verdict.verdict = QStringLiteral("It sends to this machine's network address, where "
                                         "Vantorel does not listen: in the decoder, set the "
                                         "UDP Server to 127.0.0.1, or to a group such as "
                                         "239.255.0.1.");
    } else {
        verdict.verdict = QStringLiteral("It sends to another host, which Vantorel never "
                                         "hears: run Vantorel there, or send to a group such "
                                         "as 239.255.0.1 on this machine's interface.");
    }
    return verdict;
}

std::optional<Listening> firstStart(const QList<DecoderConfig>& configs,
                                    const MachineFacts& machine)
{
    std::optional<Listening> choice;
    int groups = 0;
    const Listening none(0, QString());
    for (const DecoderConfig& config : configs) {
        const DecoderVerdict verdict = judge(config, none, machine);
        if (verdict.take && !verdict.take->group().isEmpty()) {
            choice = verdict.take;
            ++groups;
        }
    }
    return groups == 1 ? choice : std::nullopt;
}

} // namespace DecoderVerdicts
