#include "platform/SettingsLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

SettingsLock::SettingsLock(const QString& settingsPath)
{
    QString path = QDir::cleanPath(QFileInfo(settingsPath).absoluteFilePath());
#ifdef Q_OS_WIN
    // One file, however its name is spelt.
    path = path.toLower();
#endif
    const QByteArray key =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_lock = std::make_unique<QLockFile>(
        QDir::temp().filePath(QStringLiteral("vantorel-%1.lock").arg(QString::fromLatin1(key))));
    // A copy runs for hours: only a holder that is gone makes the mark stale, never its age.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        m_held = m_lock->error() != QLockFile::LockFailedError;
}
