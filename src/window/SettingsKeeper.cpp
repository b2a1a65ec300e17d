#include "window/SettingsKeeper.h"

#include "platform/SettingsLock.h"

#include <QDir>
#include <QFileInfo>

SettingsKeeper::SettingsKeeper(const SettingsFolders& folders)
    : m_folders(folders)
    , m_files(SettingsFiles::locate(folders))
    , m_lock(std::make_unique<SettingsLock>(m_files.writePath))
    , m_stored(StoredSettings::read(m_files.readPath))
    , m_firstStart(!QFileInfo::exists(m_files.readPath))
{
}

SettingsKeeper::~SettingsKeeper() = default;

Listening SettingsKeeper::storedListening() const
{
    return Listening(m_stored.listenPort, m_stored.multicastGroup);
}

bool SettingsKeeper::anotherCopyRuns() const
{
    return !m_lock->held();
}

QString SettingsKeeper::anotherCopyMessage() const
{
    // The first copy would overwrite at its end whatever this one saved, and the port is the
    // first copy's.
    return QStringLiteral("Vantorel is already running with the settings in %1.\n\nThis copy "
                          "closes without listening or saving, so that the running one keeps "
                          "its settings. To listen at another port as well, start a copy of "
                          "Vantorel from a folder of its own.")
        .arg(QDir::toNativeSeparators(m_files.writePath));
}

bool SettingsKeeper::save(const Listening& listening, QPointF topLeftTwips, AlertSwitches alert,
                          QString* error) const
{
    StoredSettings settings;
    settings.listenPort = listening.port();
    settings.multicastGroup = listening.group();
    settings.top = static_cast<float>(topLeftTwips.y());
    settings.alert = alert.alert;
    settings.alertSound = alert.sound;
    settings.left = static_cast<float>(topLeftTwips.x());
    QString reason;
    if (settings.write(m_files.writePath, &reason))
        return true;
    *error = QStringLiteral("Vantorel cannot save its settings in %1: %2")
                 .arg(QDir::toNativeSeparators(m_files.writePath), reason);
    return false;
}
