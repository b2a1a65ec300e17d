#include "platform/SettingsLock.h"

#include "platform/FolderAccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

enum class Outcome { Held, AnotherCopy, Unjudged };

QString runtimeFolder();

// The file's path, however it is spelt: absolute, clean, links resolved where it exists.
QString normalised(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.exists() ? info.canonicalFilePath() : QString();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// The same for every spelling of the path, letter case too where the file system ignores it.
QByteArray keyOf(const QString& path)
{
#ifdef Q_OS_WIN
    const QString spelt = path.toLower();
#else
    const QString& spelt = path;
#endif
    return QCryptographicHash::hash(spelt.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
}

} // namespace

// The open mark and the lock on it. The holder removes the mark as it ends, still holding the
// lock, so that a clean end leaves no file behind.
class SettingsLock::Handle {
public:
    explicit Handle(const QString& path)
        : m_path(path)
    {
    }
    ~Handle();
    Outcome take();

private:
    const QString m_path;
    bool m_held = false;
#ifdef Q_OS_WIN
    HANDLE m_file = INVALID_HANDLE_VALUE;
#else
    int m_fd = -1;
#endif
};

#ifdef Q_OS_WIN

SettingsLock::Handle::~Handle()
{
    if (m_file == INVALID_HANDLE_VALUE)
        return;
    // Gone once this handle closes; another copy opening it meanwhile is refused.
    if (m_held)
        DeleteFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(m_path).utf16()));
    CloseHandle(m_file);
}

Outcome SettingsLock::Handle::take()
{
    // Shared, so that another copy can open it to find it locked, and the holder delete it.
    m_file = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(m_path).utf16()),
                         GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE)
        return Outcome::Unjudged;
    if (GetFileType(m_file) != FILE_TYPE_DISK)
        return Outcome::Unjudged;
    OVERLAPPED whole = {};
    if (LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        m_held = true;
        return Outcome::Held;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? Outcome::AnotherCopy : Outcome::Unjudged;
}

#else

SettingsLock::Handle::~Handle()
{
    if (m_fd < 0)
        return;
    if (m_held)
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
}

Outcome SettingsLock::Handle::take()
{
    const QByteArray path = QFile::encodeName(m_path);
    // A mark locked just as its holder removed it is no longer the one at the name: once more.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (m_fd >= 0)
            ::close(m_fd);
        // Never blocks on opening (a FIFO at the name), never follows a link to elsewhere; read
        // only, so that a mark another user made can still be judged.
        m_fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                      0644);
        if (m_fd < 0)
            return Outcome::Unjudged;
        struct stat opened = {};
        if (::fstat(m_fd, &opened) != 0 || !S_ISREG(opened.st_mode))
            return Outcome::Unjudged;
        // A lock of the open file, not of the process: a second copy in one process sees it.
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
            return errno == EWOULDBLOCK ? Outcome::AnotherCopy : Outcome::Unjudged;
        struct stat named = {};
        if (::lstat(path.constData(), &named) == 0 && named.st_dev == opened.st_dev &&
            named.st_ino == opened.st_ino) {
            m_held = true;
            return Outcome::Held;
        }
    }
    return Outcome::Unjudged;
}

#endif

SettingsLock::SettingsLock(const QString& settingsPath, const QString& runtimeDir)
{
    const QString settings = normalised(settingsPath);
    const QString folder = QFileInfo(settings).absolutePath();
    // The folder is made at the first save anyway; made now, every copy finds the mark there.
    if (QDir().mkpath(folder) && FolderAccess::canCreateFilesIn(folder)) {
        m_markPath = settings + QStringLiteral(".lock");
    } else if (const QString runtime = runtimeDir.isEmpty() ? runtimeFolder() : runtimeDir;
               !runtime.isEmpty()) {
        m_markPath = QDir(runtime).filePath(
            QStringLiteral("vantorel-%1.lock").arg(QLatin1String(keyOf(settings))));
    }
    if (m_markPath.isEmpty())
        return;
    m_handle = std::make_unique<Handle>(m_markPath);
    const Outcome outcome = m_handle->take();
    m_anotherCopy = outcome == Outcome::AnotherCopy;
    if (outcome != Outcome::Held)
        m_handle.reset();
}

SettingsLock::~SettingsLock() = default;

namespace {

QString runtimeFolder()
{
    // The user's own: XDG_RUNTIME_DIR on Linux (mode 0700), the home folder on Windows.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

} // namespace
