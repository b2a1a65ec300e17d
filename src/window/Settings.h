#pragma once

#include <QString>

#include <cstdint>

// The values kept from one run to the next in "Vantorel.ini" beside the executable, section
// "User": the listening port, the window's top-left corner in twips and an optional multicast
// group to listen in.
struct StoredSettings {
    static constexpr std::uint16_t DefaultPort = 2238;

    std::uint16_t listenPort = DefaultPort;
    float top = 0;
    float left = 0;
    // Empty: listen at 127.0.0.1. Kept as written, so that a wrong value can be shown as it is.
    QString multicastGroup;

    static QString settingsPath(const QString& appDir);
    static StoredSettings read(const QString& appDir);
    // Writes all three keys at once; on failure returns false with the reason.
    bool write(const QString& appDir, QString* error) const;

    // A port read the lenient way; a value that is no port from 1 to 65535 gives the default.
    static std::uint16_t portFromText(const QString& text);
    // A position that is no number, or out of range, gives 0.
    static float positionFromText(const QString& text);
};
