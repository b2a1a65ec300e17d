#pragma once

#include "platform/DecoderSettings.h"
#include "window/Listening.h"

#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>

// This machine as a decoder's settings are judged against it.
struct MachineFacts {
    // The interfaces a group can be sent on and heard by here; loopback first.
    QStringList groupInterfaces;
    QSet<quint32> ownAddresses;
    // Another program listens at 127.0.0.1 on the port.
    std::function<bool(std::uint16_t)> portHeld;

    static MachineFacts now();
};

// What Vantorel makes of one decoder configuration: where it sends, whether Vantorel hears it
// here, and if not, what to change in the decoder or in Vantorel.
struct DecoderVerdict {
    QString sendsTo;
    QString verdict;
    bool heard = false;
    // Where Vantorel would listen to hear it, when it can.
    std::optional<Listening> take;
};

namespace DecoderVerdicts {

// listening is where Vantorel listens now.
DecoderVerdict judge(const DecoderConfig& config, const Listening& listening,
                     const MachineFacts& machine);

// The group a first start listens in: only when exactly one configuration sends to a group
// heard here, never a guess between several.
std::optional<Listening> firstStart(const QList<DecoderConfig>& configs,
                                    const MachineFacts& machine);

} // namespace DecoderVerdicts
