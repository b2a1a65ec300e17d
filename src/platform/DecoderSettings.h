#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// Where a decoder of the WSJT-X family sends its UDP messages, as its own settings file keeps
// it in the group [Configuration]: the active configuration only, never one of those saved
// under [MultiSettings].
struct DecoderConfig {
    // The decoder's application name, as its datagrams' Id gives it: "WSJT-X", "JTDX",
    // "WSJT-X - IC-7300" for an instance started with a rig name.
    QString name;
    QString path;
    // An address or a host name, as typed into the decoder.
    QString server = QStringLiteral("127.0.0.1");
    std::uint16_t port = 2237;
    // The interfaces ticked for a group; none ticked leaves the choice to the decoder.
    QStringList interfaces;
    bool acceptsRequests = false;
    // Why the file tells nothing of where the decoder sends; empty when it was read.
    QString unreadable;
};

// The decoders' settings files, read and never written, locked or renamed: the decoder
// rewrites its file while it runs, so it is read afresh whenever it is needed. Only the keys
// of the UDP server are read, as text: the decoder's other values are of its own types.
namespace DecoderSettings {

// Where the decoders keep their files: the user's configuration folder (Linux
// $XDG_CONFIG_HOME or ~/.config, holding "WSJT-X.ini"; Windows the local application data
// folder, %LOCALAPPDATA%, holding "WSJT-X\WSJT-X.ini").
QString folder();

// Every decoder configuration in folder, in both layouts, sorted by name.
QList<DecoderConfig> find(const QString& folder);

DecoderConfig read(const QString& name, const QString& path);

} // namespace DecoderSettings
