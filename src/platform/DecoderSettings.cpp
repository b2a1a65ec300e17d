#include "platform/DecoderSettings.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

// "WSJT-X", "JTDX", or either with " - " and a rig name.
bool isDecoderName(const QString& name)
{
    for (const QString& application : {QStringLiteral("WSJT-X"), QStringLiteral("JTDX")}) {
        if (name == application || (name.startsWith(application + QStringLiteral(" - ")) &&
                                    name.size() > application.size() + 3))
            return true;
    }
    return false;
}

} // namespace

namespace DecoderSettings {

QString folder()
{
    // The decoders are Qt programs: their configuration folder is this one, with their
    // application name added on Windows.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QList<DecoderConfig> find(const QString& folder)
{
    QList<DecoderConfig> found;
    const QDir dir(folder);
    // Linux: <folder>/<name>.ini
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.ini")}, QDir::Files)) {
        if (isDecoderName(file.completeBaseName()))
            found << read(file.completeBaseName(), file.absoluteFilePath());
    }
    // Windows: <folder>/<name>/<name>.ini
    for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QFileInfo file(QDir(sub.absoluteFilePath()).filePath(sub.fileName() + ".ini"));
        if (isDecoderName(sub.fileName()) && file.isFile())
            found << read(sub.fileName(), file.absoluteFilePath());
    }
    std::sort(found.begin(), found.end(),
              [](const DecoderConfig& a, const DecoderConfig& b) { return a.name < b.name; });
    return found;
}

DecoderConfig read(const QString& name, const QString& path)
{
    DecoderConfig config;
    config.name = name;
    config.path = path;
    const ProfileFile file(path);
    const QString section = QStringLiteral("Configuration");
    if (!file.readable()) {
        config.unreadable = QStringLiteral("it cannot be read as text");
        return config;
    }
    // The decoder writes the section at its first exit; a file without it is none of its own.
    if (!file.hasSection(section)) {
        config.unreadable = QStringLiteral("it has no [Configuration] section");
        return config;
    }
    const QString server = file.value(section, QStringLiteral("UDPServer"), QString());
    if (!server.isEmpty())
        config.server = server;
    const QString portText = file.value(section, QStringLiteral("UDPServerPort"), QString());
    if (!portText.isEmpty()) {
        bool number = false;
        const int port = portText.toInt(&number);
        if (!number || port < 0 || port > 65535) {
            config.unreadable = QStringLiteral("its UDPServerPort \"%1\" is no port").arg(portText);
            return config;
        }
        // 0 is kept: the decoder then sends nothing.
        config.port = static_cast<std::uint16_t>(port);
    }
    // "@Invalid()" when none is ticked, one name, or a list "lo, eth0".
    const QString interfaces = file.value(section, QStringLiteral("UDPInterface"), QString());
    if (interfaces != QStringLiteral("@Invalid()")) {
        for (const QString& interface : interfaces.split(QLatin1Char(','))) {
            if (!interface.trimmed().isEmpty())
                config.interfaces << interface.trimmed();
        }
    }
    config.acceptsRequests = file.value(section, QStringLiteral("AcceptUDPRequests"), QString()) ==
                             QStringLiteral("true");
    return config;
}

} // namespace DecoderSettings
