#include "platform/AlertRoutes.h"

#include <QDir>
#include <QThreadPool>

#include <mutex>

#ifdef Q_OS_WIN
#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QVariantMap>

#include <canberra.h>
#endif

namespace {

#ifdef Q_OS_WIN

class WindowsSound : public AlertSound {
public:
    explicit WindowsSound(const QString& path)
        : m_path(QDir::toNativeSeparators(path))
    {
    }
    void play() override
    {
        // Asynchronous, and without the system's default sound when the file cannot be played.
        PlaySoundW(reinterpret_cast<const wchar_t*>(m_path.utf16()), nullptr,
                   SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
    }

private:
    const QString m_path;
};

class TrayBalloon : public DesktopNotifier {
public:
    explicit TrayBalloon(std::function<quintptr()> window)
        : m_window(std::move(window))
    {
        m_icon.cbSize = sizeof m_icon;
        m_icon.uID = 1;
    }
    ~TrayBalloon() override
    {
        if (m_added)
            Shell_NotifyIconW(NIM_DELETE, &m_icon);
    }
    void notify(const QString& title, const QString& body) override
    {
        if (!m_added) {
            m_icon.hWnd = reinterpret_cast<HWND>(m_window());
            m_icon.uFlags = NIF_ICON | NIF_TIP;
            m_icon.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"IDI_ICON1");
            copy(QStringLiteral("Vantorel"), m_icon.szTip, std::size(m_icon.szTip));
            m_added = Shell_NotifyIconW(NIM_ADD, &m_icon) != FALSE;
            if (!m_added)
                return;
        }
        m_icon.uFlags = NIF_INFO;
        m_icon.dwInfoFlags = NIIF_INFO;
        copy(title, m_icon.szInfoTitle, std::size(m_icon.szInfoTitle));
        copy(body, m_icon.szInfo, std::size(m_icon.szInfo));
        Shell_NotifyIconW(NIM_MODIFY, &m_icon);
    }

private:
    static void copy(const QString& text, wchar_t* to, std::size_t size)
    {
        const QString cut = text.left(static_cast<qsizetype>(size) - 1);
        std::copy_n(reinterpret_cast<const wchar_t*>(cut.utf16()), cut.size(), to);
        to[cut.size()] = L'\0';
    }

    const std::function<quintptr()> m_window;
    NOTIFYICONDATAW m_icon = {};
    bool m_added = false;
};

#else

class CanberraSound : public AlertSound {
public:
    explicit CanberraSound(const QString& path)
        : m_path(QFile::encodeName(path))
    {
    }
    ~CanberraSound() override
    {
        m_pool.waitForDone();
        if (m_context)
            ca_context_destroy(m_context);
    }
    void play() override
    {
        // Opening the sound server can take a moment: never on the window's thread.
        m_pool.start([this] {
            const std::lock_guard lock(m_mutex);
            if (!m_context && ca_context_create(&m_context) != CA_SUCCESS) {
                m_context = nullptr;
                return;
            }
            ca_context_play(m_context, 0, CA_PROP_MEDIA_FILENAME, m_path.constData(),
                            CA_PROP_EVENT_DESCRIPTION, "Tracked callsign heard", nullptr);
        });
    }

private:
    const QByteArray m_path;
    std::mutex m_mutex;
    ca_context* m_context = nullptr;
    QThreadPool m_pool;
};

class BusNotifier : public DesktopNotifier {
public:
    void notify(const QString& title, const QString& body) override
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
        // Each alert replaces the last one shown, rather than piling up.
        call << QStringLiteral("Vantorel") << m_lastId << QStringLiteral("vantorel") << title
             << body << QStringList() << QVariantMap() << 10'000;
        // Never waited for: the answer only says which notification to replace next time.
        auto* watcher =
            new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), &m_owner);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_owner,
                         [this](QDBusPendingCallWatcher* answered) {
                             const QDBusPendingReply<uint> reply = *answered;
                             if (reply.isValid())
                                 m_lastId = reply.value();
                             answered->deleteLater();
                         });
    }

private:
    QObject m_owner;
    uint m_lastId = 0;
};

#endif

} // namespace

std::unique_ptr<AlertSound> AlertSound::forFile(const QString& path)
{
#ifdef Q_OS_WIN
    return std::make_unique<WindowsSound>(path);
#else
    return std::make_unique<CanberraSound>(path);
#endif
}

std::unique_ptr<DesktopNotifier> DesktopNotifier::forWindow(std::function<quintptr()> window)
{
#ifdef Q_OS_WIN
    return std::make_unique<TrayBalloon>(std::move(window));
#else
    Q_UNUSED(window);
    return std::make_unique<BusNotifier>();
#endif
}
