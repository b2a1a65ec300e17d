#include "window/Settings.h"

#include "core/NumberParse.h"
#include "core/NumberText.h"
#include "platform/FolderAccess.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Section = QStringLiteral("User");
const QString PortKey = QStringLiteral("UDP port");
const QString TopKey = QStringLiteral("Top");
const QString LeftKey = QStringLiteral("Left");
const QString GroupKey = QStringLiteral("Multicast group");
const QString AlertKey = QStringLiteral("Alert");
const QString AlertSoundKey = QStringLiteral("Alert sound");

// Only "0" turns a switch off: absent or anything else leaves it on.
bool switchFromText(const QString& text)
{
    return text.trimmed() != QStringLiteral("0");
}

// A program installed into the system's program folders keeps no file there, even when an
// administrator who could write there runs it: the package manager would not know the file.
bool isSystemProgramFolder(const QString& dir)
{
    const QString canonical = QDir(dir).canonicalPath();
    for (const char* system : {"/usr/bin", "/usr/local/bin", "/usr/games", "/usr/local/games",
                               "/usr/sbin", "/usr/local/sbin"}) {
        if (canonical == QDir(QString::fromLatin1(system)).canonicalPath())
            return true;
    }
    return false;
}

QString fileIn(const QString& dir)
{
    return QDir(dir).filePath(QString::fromLatin1(StoredSettings::FileName));
}

} // namespace

SettingsFiles SettingsFiles::choose(const SettingsFolders& folders, bool appDirWritable)
{
    const QString beside = fileIn(folders.appDir);
    if (appDirWritable)
        return {beside, beside};
    const QString own = fileIn(folders.userDir);
    return {QFileInfo::exists(own) ? own : beside, own};
}

SettingsFiles SettingsFiles::locate(const SettingsFolders& folders)
{
    return choose(folders, !isSystemProgramFolder(folders.appDir) &&
                               FolderAccess::canCreateFilesIn(folders.appDir));
}

std::uint16_t StoredSettings::portFromText(const QString& text)
{
    return NumberParse::toPort(NumberParse::leadingNumber(text)).value_or(DefaultPort);
}

float StoredSettings::positionFromText(const QString& text)
{
    const std::optional<double> number = NumberParse::wholeNumber(text);
    return number ? NumberParse::toFloat(*number).value_or(0.0f) : 0.0f;
}

StoredSettings StoredSettings::read(const QString& path)
{
    const ProfileFile file(path);
    StoredSettings settings;
    settings.listenPort = portFromText(file.value(Section, PortKey, QString::number(DefaultPort)));
    settings.top = positionFromText(file.value(Section, TopKey, QStringLiteral("0")));
    settings.left = positionFromText(file.value(Section, LeftKey, QStringLiteral("0")));
    settings.multicastGroup = file.value(Section, GroupKey, QString());
    settings.alert = switchFromText(file.value(Section, AlertKey, QString()));
    settings.alertSound = switchFromText(file.value(Section, AlertSoundKey, QString()));
    return settings;
}

bool StoredSettings::write(const QString& path, QString* error) const
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error != nullptr)
            *error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return false;
    }
    ProfileFile file(path);
    file.setValue(Section, PortKey, QString::number(listenPort));
    file.setValue(Section, TopKey, shortestFloatText(top));
    file.setValue(Section, LeftKey, shortestFloatText(left));
    // An empty group listens at 127.0.0.1: a group written before is emptied, not kept.
    if (!multicastGroup.isEmpty() || !file.value(Section, GroupKey, QString()).isEmpty())
        file.setValue(Section, GroupKey, multicastGroup);
    // A switch is written once it was turned off, or where the file has it already.
    for (const auto& [key, on] :
         {std::pair{AlertKey, alert}, std::pair{AlertSoundKey, alertSound}}) {
        if (!on || !file.value(Section, key, QString()).isEmpty())
            file.setValue(Section, key, on ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return file.save(error);
}
