#pragma once

#include "window/Listening.h"
#include "window/Settings.h"

#include <QPointF>
#include <QString>

#include <memory>

class SettingsLock;

// The settings file this copy of the program keeps: where it lies, whether another running
// copy keeps it already, where the start listens, and the saving with its messages.
class SettingsKeeper {
public:
    explicit SettingsKeeper(const SettingsFolders& folders);
    ~SettingsKeeper();

    const StoredSettings& stored() const { return m_stored; }
    Listening storedListening() const;
    // No settings file was there to read: the first start of this copy.
    bool firstStart() const { return m_firstStart; }

    // Another running copy keeps the file: this one neither listens nor saves.
    bool anotherCopyRuns() const;
    QString anotherCopyMessage() const;

    // Writes where to listen, the window's top-left corner in twips and the alert's switches;
    // on failure error says why.
    struct AlertSwitches {
        bool alert = true;
        bool sound = true;
    };
    bool save(const Listening& listening, QPointF topLeftTwips, AlertSwitches alert,
              QString* error) const;
    const QString& path() const { return m_files.writePath; }
    const QString& decoderDir() const { return m_folders.decoderDir; }

private:
    SettingsFolders m_folders;
    SettingsFiles m_files;
    std::unique_ptr<SettingsLock> m_lock;
    StoredSettings m_stored;
    bool m_firstStart;
};
