#pragma once

#include "window/Listening.h"

#include <optional>

class QWidget;
class UserDialogs;

// The "Decoders" command: the decoders whose settings are in decoderDir, where each sends and
// whether Vantorel hears it, and the user's choice of where to listen.
namespace DecodersCommand {

// Where to listen from the next start, or none when the user chose nothing usable (a typed
// text that is no group is said first). current is where Vantorel listens now.
std::optional<Listening> choose(UserDialogs& dialogs, QWidget* parent, const QString& decoderDir,
                                const Listening& current);

} // namespace DecodersCommand
