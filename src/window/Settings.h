#pragma once

#include "intake/Protocol.h"

#include <QString>

#include <cstdint>

// The folders the settings file may live in.
struct SettingsFolders {
    QString appDir;          // the executable's folder
    QString userDir;         // the user's configuration folder for this program
    QString decoderDir = {}; // where the decoders keep their settings; empty: nowhere
};

// Where the settings file is read and written. Beside the executable when that folder can be
// written (a portable folder); else the user's own file, read in preference to a file beside
// the executable, which then holds an administrator's defaults.
struct SettingsFiles {
    QString readPath;
    QString writePath;

    static SettingsFiles choose(const SettingsFolders& folders, bool appDirWritable);
    // Chooses for the folders as they stand now.
    static SettingsFiles locate(const SettingsFolders& folders);
};

// The values kept from one run to the next in "Vantorel.ini", section "User": the listening
// port, the window's top-left corner in twips, an optional multicast group to listen in, and
// whether the tracked callsign alerts, with a sound.
struct StoredSettings {
    static constexpr std::uint16_t DefaultPort = Protocol::DefaultPort;
    static constexpr const char* FileName = "Vantorel.ini";

    std::uint16_t listenPort = DefaultPort;
    float top = 0;
    float left = 0;
    // Empty: listen at 127.0.0.1. Kept as written, so that a wrong value can be shown as it is.
    QString multicastGroup;
    // "Alert" and "Alert sound", 1 or 0; on when absent.
    bool alert = true;
    bool alertSound = true;

    // A missing or unreadable file gives the defaults.
    static StoredSettings read(const QString& path);
    // Writes every key at once, creating the file's folder when missing; on failure returns
    // false with the reason and leaves an old file as it was.
    bool write(const QString& path, QString* error) const;

    // A port read the lenient way; a value that is no port from 1 to 65535 gives the default.
    static std::uint16_t portFromText(const QString& text);
    // A position that is no number, or out of range, gives 0.
    static float positionFromText(const QString& text);
};
