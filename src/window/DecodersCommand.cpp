#include "window/DecodersCommand.h"

#include "platform/DecoderSettings.h"
#include "window/DecoderVerdicts.h"
#include "window/UserDialogs.h"

#include <QDir>

namespace DecodersCommand {

std::optional<Listening> choose(UserDialogs& dialogs, QWidget* parent, const QString& decoderDir,
                                const Listening& current)
{
    // Read afresh: a running decoder rewrites its file.
    const QList<DecoderConfig> configs = DecoderSettings::find(decoderDir);
    const MachineFacts machine = MachineFacts::now();
    QList<DecoderVerdict> verdicts;
    QList<DecoderListing> listings;
    for (const DecoderConfig& config : configs) {
        const DecoderVerdict& verdict =
            verdicts.emplace_back(DecoderVerdicts::judge(config, current, machine));
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
    const std::optional<QString> typed = dialogs.askText(
        parent,
        QStringLiteral("Type a multicast group from 224.0.0.0 to 239.255.255.255, or nothing to "
                       "listen at 127.0.0.1"),
        current.group());
    if (!typed)
        return std::nullopt;
    const QString group = typed->trimmed();
    if (!group.isEmpty() && !Listening::multicastGroup(group)) {
        dialogs.showMessage(parent, QStringLiteral("\"%1\" is not a multicast group from "
                                                   "224.0.0.0 to 239.255.255.255: nothing was "
                                                   "changed.")
                                        .arg(group));
        return std::nullopt;
    }
    return Listening(current.port(), group);
}

} // namespace DecodersCommand
