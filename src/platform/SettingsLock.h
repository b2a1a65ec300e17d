#pragma once

#include <QString>

#include <memory>

// Marks a settings file as the one a running copy of the program keeps, for as long as the
// object lives, so that a second copy started on the same file can say so instead of
// overwriting it at its end. The mark is a file the running copy holds a lock of the operating
// system on: the system lets go of it however the copy ends (a crash, a display gone), so a
// mark whose holder is gone never blocks a start, whatever its age; a clean end removes it. It
// lies beside the
// settings file, in the folder the program saves into; where no file can be made there, in
// the user's own runtime folder, named after the settings file's path.
class SettingsLock {
public:
    // runtimeDir: where the mark goes when the settings folder takes none; empty: the user's
    // runtime folder, asked for only then.
    explicit SettingsLock(const QString& settingsPath, const QString& runtimeDir = QString());
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    // False only when another running copy holds the mark. A mark that cannot be judged (no
    // file can be made, a file of another kind at its name, another failure) tells nothing,
    // and this copy goes on as the only one.
    bool held() const { return !m_anotherCopy; }
    // Where the mark lies; empty where none could be chosen.
    const QString& markPath() const { return m_markPath; }

private:
    class Handle;
    QString m_markPath;
    std::unique_ptr<Handle> m_handle;
    bool m_anotherCopy = false;
};
