#include "window/Decoders.h"

#include "window/UserDialogs.h"

#include <QDir>
#include <QHostAddress>

namespace {

const QString HeardHere = QStringLiteral("Vantorel hears it here.");
const QString SuggestedGroup = QStringLiteral("a group such as 239.255.0.1");
const QString SetTheServer = QStringLiteral("in the decoder, set the UDP Server to 127.0.0.1, or "
                                            "to ") +
                             SuggestedGroup + QStringLiteral(".");

// The interfaces the decoder sends a group on, as it chooses them: the ones ticked, or with
// none ticked, loopback when the decoder offers it, which it does only for an interface that
// can multicast.
QStringList sendingInterfaces(const DecoderConfig& config, const MachineFacts& machine)
{
    QStringList sending;
    for (const ThisMachine::InterfaceFacts& interface : machine.interfaces) {
        if (config.interfaces.isEmpty() ? interface.loopback && interface.multicast
                                        : config.interfaces.contains(interface.name))
            sending << interface.name;
    }
    return sending;
}

// The interfaces the decoder offers to tick: up and able to multicast, the network cards first.
QString offeredText(const MachineFacts& machine)
{
    QStringList cards;
    QStringList loopback;
    for (const ThisMachine::InterfaceFacts& interface : machine.interfaces) {
        if (interface.multicast)
            (interface.loopback ? loopback : cards) << interface.name;
    }
    const QStringList offered = cards + loopback;
    return offered.isEmpty() ? QStringLiteral("none: this machine has no interface that can "
                                              "send a group")
                             : offered.join(QStringLiteral(", "));
}

DecoderVerdict judgeGroup(const DecoderConfig& config, const QHostAddress& group,
                          const Listening& listening, const MachineFacts& machine)
{
    DecoderVerdict verdict;
    verdict.sendsTo = QStringLiteral("group %1 port %2").arg(config.server).arg(config.port) +
                      (config.interfaces.isEmpty()
                           ? QStringLiteral(", no interface ticked")
                           : QStringLiteral(" on ") + config.interfaces.join(QStringLiteral(", ")));
    if (sendingInterfaces(config, machine).isEmpty()) {
        // A group sent on no interface of this machine goes nowhere; a copy sent on a network
        // card comes back to this machine's listeners.
        verdict.verdict =
            config.interfaces.isEmpty()
                ? QStringLiteral("It sends nothing: no interface is ticked and loopback cannot "
                                 "multicast here. In its Reporting settings tick the network card "
                                 "(its copies come back here), or make loopback multicast (Linux: "
                                 "sudo ip link set lo multicast on).")
                : QStringLiteral("It sends nothing: this machine has no interface %1 up. In its "
                                 "Reporting settings tick one it offers: %2.")
                      .arg(config.interfaces.join(QStringLiteral(" or ")), offeredText(machine));
        return verdict;
    }
    const std::optional<QHostAddress> current = Listening::multicastGroup(listening.group());
    if (current && *current == group && listening.port() == config.port) {
        verdict.heard = true;
        verdict.verdict = HeardHere;
        return verdict;
    }
    verdict.take = Listening(config.port, group.toString());
    verdict.verdict = QStringLiteral("Vantorel can hear it here: take it to listen in %1, beside "
                                     "every other program in the group.")
                          .arg(verdict.take->where());
    return verdict;
}

DecoderVerdict judgeLoopback(const DecoderConfig& config, const Listening& listening,
                             const MachineFacts& machine)
{
    DecoderVerdict verdict;
    verdict.sendsTo = QStringLiteral("%1 port %2").arg(config.server).arg(config.port);
    if (listening.group().isEmpty() && listening.port() == config.port) {
        verdict.heard = true;
        verdict.verdict = HeardHere;
        return verdict;
    }
    if (machine.portHeld && machine.portHeld(config.port)) {
        verdict.verdict =
            QStringLiteral("Another program listens at port %1, and only one program can hear "
                           "a decoder that sends to one address: in the decoder, send to %2 "
                           "instead, then take it here (the other program listens in that group "
                           "too).")
                .arg(config.port)
                .arg(SuggestedGroup);
        return verdict;
    }
    verdict.take = Listening(config.port, QString());
    verdict.verdict = QStringLiteral("Vantorel listens at port %1: take it to listen at %2.")
                          .arg(listening.port())
                          .arg(verdict.take->where());
    return verdict;
}

} // namespace

MachineFacts MachineFacts::now()
{
    return {ThisMachine::upInterfaces(), ThisMachine::ownAddresses(), &ThisMachine::portHeld};
}

namespace Decoders {

DecoderVerdict judge(const DecoderConfig& config, const Listening& listening,
                     const MachineFacts& machine)
{
    DecoderVerdict verdict;
    if (!config.unreadable.isEmpty()) {
        verdict.sendsTo = QStringLiteral("unknown");
        verdict.verdict = QStringLiteral("Its settings file %1 tells nothing: %2.")
                              .arg(QDir::toNativeSeparators(config.path), config.unreadable);
        return verdict;
    }
    if (config.port == 0) {
        verdict.sendsTo = QStringLiteral("nowhere");
        verdict.verdict = QStringLiteral("It sends nothing: its UDP Server port number is 0.");
        return verdict;
    }
    const bool localhost =
        config.server.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0;
    const QHostAddress address(localhost ? QStringLiteral("127.0.0.1") : config.server);
    const bool ipv4 = address.protocol() == QAbstractSocket::IPv4Protocol;
    if (ipv4 && address.isMulticast())
        return judgeGroup(config, address, listening, machine);
    if (ipv4 && address == QHostAddress(QHostAddress::LocalHost))
        return judgeLoopback(config, listening, machine);

    verdict.sendsTo = QStringLiteral("%1 port %2").arg(config.server).arg(config.port);
    if (address.isNull()) {
        verdict.verdict =
            QStringLiteral("It sends to a host by its name, which Vantorel does not look up: ") +
            SetTheServer;
    } else if (address.isLoopback()) {
        // Vantorel listens at 127.0.0.1 and on IPv4 only.
        verdict.verdict =
            QStringLiteral("It sends to this machine at %1, where Vantorel does not listen: ")
                .arg(address.toString()) +
            SetTheServer;
    } else if (ipv4 && machine.ownAddresses.contains(address.toIPv4Address())) {
        verdict.verdict = QStringLiteral("It sends to this machine's network address, where "
                                         "Vantorel does not listen: ") +
                          SetTheServer;
    } else {
        verdict.verdict = QStringLiteral("It sends to another host, which Vantorel never hears: "
                                         "run Vantorel there, or send to %1 on this machine's "
                                         "interface.")
                              .arg(SuggestedGroup);
    }
    return verdict;
}

FirstStart firstStart(const QList<DecoderConfig>& configs, const Listening& listening,
                      const MachineFacts& machine)
{
    FirstStart start;
    QList<std::optional<Listening>> groups;
    QList<std::pair<const DecoderConfig*, DecoderVerdict>> unheard;
    for (const DecoderConfig& config : configs) {
        DecoderVerdict verdict = judge(config, listening, machine);
        if (verdict.heard)
            return start;
        if (verdict.take && !verdict.take->group().isEmpty())
            groups << verdict.take;
        unheard.emplace_back(&config, std::move(verdict));
    }
    if (groups.size() == 1) {
        start.listen = groups.first();
        return start;
    }
    QList<qsizetype> takeable;
    for (qsizetype i = 0; i < unheard.size(); ++i) {
        if (unheard[i].second.take)
            takeable << i;
    }
    if (unheard.size() == 1 || takeable.size() == 1) {
        const auto& [config, verdict] = unheard[takeable.size() == 1 ? takeable.first() : 0];
        start.offer = verdict.take;
        start.notice = verdict.take ? QStringLiteral("%1 sends to %2; Vantorel listens at %3.")
                                          .arg(config->name, verdict.sendsTo, listening.where())
                                    : QStringLiteral("%1 sends to %2. %3")
                                          .arg(config->name, verdict.sendsTo, verdict.verdict);
    } else if (!unheard.isEmpty()) {
        start.notice = QStringLiteral("%1 decoders were found, none sending to %2: see "
                                      "\"Decoders\" for each.")
                           .arg(unheard.size())
                           .arg(listening.where());
    }
    return start;
}

std::optional<Listening> command(UserDialogs& dialogs, QWidget* parent, const QString& decoderDir,
                                 const Listening& current)
{
    // Read afresh: a running decoder rewrites its file.
    const QList<DecoderConfig> configs = DecoderSettings::find(decoderDir);
    const MachineFacts machine = MachineFacts::now();
    QList<DecoderVerdict> verdicts;
    QList<DecoderListing> listings;
    for (const DecoderConfig& config : configs) {
        const DecoderVerdict& verdict = verdicts.emplace_back(judge(config, current, machine));
        listings << DecoderListing{config.name + QStringLiteral("\nSends to ") + verdict.sendsTo +
                                       QStringLiteral("\n") + verdict.verdict,
                                   verdict.take.has_value()};
    }
    const QString folder = QDir::toNativeSeparators(decoderDir);
    const std::optional<DecoderAnswer> answer = dialogs.chooseDecoder(
        parent,
        configs.isEmpty() ? QStringLiteral("No decoder settings were found in %1.").arg(folder)
                          : QStringLiteral("Decoders whose settings are in %1:").arg(folder),
        listings);
    if (!answer)
        return std::nullopt;
    if (answer->kind == DecoderAnswer::Kind::Take) {
        if (answer->index < 0 || answer->index >= verdicts.size())
            return std::nullopt;
        return verdicts[answer->index].take;
    }
    const std::optional<QString> typed =
        dialogs.askText(parent,
                        QStringLiteral("Type a multicast group from %1, or nothing to listen at "
                                       "127.0.0.1")
                            .arg(QLatin1String(Listening::GroupRange)),
                        current.group());
    if (!typed)
        return std::nullopt;
    const Listening chosen(current.port(), typed->trimmed());
    if (!chosen.address()) {
        dialogs.showMessage(parent, chosen.badGroupError() + QStringLiteral(": nothing was "
                                                                            "changed."));
        return std::nullopt;
    }
    return chosen;
}

} // namespace Decoders
