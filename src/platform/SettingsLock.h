#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Marks a settings file as the one a running copy of the program keeps, for as long as the
// object lives, so that a second copy started on the same file can say so instead of
// overwriting it at its end. The mark lies in the temporary folder, not beside the file; a
// copy that ended without removing it (a crash) leaves a mark the next start takes over.
class SettingsLock {
public:
    explicit SettingsLock(const QString& settingsPath);

    // False when another running copy keeps the file. Where no mark can be made at all,
    // nothing can be told, and this copy goes on as the only one.
    bool held() const { return m_held; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = true;
};
