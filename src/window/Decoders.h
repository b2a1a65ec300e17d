#pragma once

#include "platform/DecoderSettings.h"
#include "platform/ThisMachine.h"
#include "window/Listening.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class QWidget;
class UserDialogs;

// This machine as a decoder's settings are judged against it.
struct MachineFacts {
    QList<ThisMachine::InterfaceFacts> interfaces;
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

// What a first start, without a settings file, makes of the decoders found.
struct FirstStart {
    // Where to listen instead of the defaults: the one group a decoder sends to here.
    std::optional<Listening> listen;
    // Said in the window when no decoder is heard where Vantorel listens; empty otherwise.
    QString notice;
    // Where one step of the user's takes the one decoder that can be heard elsewhere.
    std::optional<Listening> offer;
};

// The decoders' settings against this machine and Vantorel's listening: the verdict on each,
// the first start's choice and notice, and the "Decoders" command.
namespace Decoders {

// listening is where Vantorel listens now.
DecoderVerdict judge(const DecoderConfig& config, const Listening& listening,
                     const MachineFacts& machine);

// A group only when exactly one configuration sends to a group heard here, never a guess
// between several; a port another program may own is only offered, never taken.
FirstStart firstStart(const QList<DecoderConfig>& configs, const Listening& listening,
                      const MachineFacts& machine);

// The "Decoders" command: where to listen from the next start, or none when the user chose
// nothing usable (a typed text that is no group is said first).
std::optional<Listening> command(UserDialogs& dialogs, QWidget* parent, const QString& decoderDir,
                                 const Listening& current);

} // namespace Decoders
