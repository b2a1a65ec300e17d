#include "platform/DecoderSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
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
    // Only read: QSettings writes nothing back unless a value is set.
    const QSettings file(path, QSettings::IniFormat);
    const QString group = QStringLiteral("Configuration/");
    const QString server = file.value(group + "UDPServer").toString().trimmed();
    if (!server.isEmpty())
        config.server = server;
    bool number = false;
    const int port = file.value(group + "UDPServerPort").toInt(&number);
    if (number && port >= 0 && port <= 65535)
        config.port = static_cast<std::uint16_t>(port);
    // "@Invalid()" when none is chosen, one name, or a list.
    const QVariant interfaces = file.value(group + "UDPInterface");
    for (const QString& interface : interfaces.toStringList()) {
        if (!interface.trimmed().isEmpty())
            config.interfaces << interface.trimmed();
    }
    config.acceptsRequests = file.value(group + "AcceptUDPRequests", false).toBool();
    return config;
}

} // namespace DecoderSettings
