#include "window/TrackedAlert.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>

namespace {

// The announcement is a notification to assistive technology: Orca speaks such a label when
// it shows again with a new text.
QAccessibleInterface* announcementInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("QLabel") && object &&
        object->objectName() == QLatin1String("AlertAnnouncement"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}

// Beside the program (a build, the Windows folder), else with the data of installed programs
// (/usr/share/vantorel).
QString alertSoundPath()
{
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("alert.wav"));
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                     QStringLiteral("vantorel/alert.wav"));
    return installed.isEmpty() ? beside : installed;
}

} // namespace

AlertServices AlertServices::forWindow(QWidget& window)
{
    return {AlertSound::forFile(alertSoundPath()),
            DesktopNotifier::forWindow([&window] { return quintptr(window.winId()); }),
            [](QWidget& shown) { QApplication::alert(&shown); }};
}

TrackedAlert::TrackedAlert(QWidget& window, QLabel& announcement, AlertServices services,
                           QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_announcement(announcement)
    , m_services(std::move(services))
{
    static const bool installed = [] {
        QAccessible::installFactory(announcementInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

TrackedAlert::~TrackedAlert() = default;

QString TrackedAlert::headline(const DecodeFields& fields)
{
    return QStringLiteral("%1 heard: %2 dB, DT %3 at %4")
        .arg(fields.Callsign, fields.SnrText, fields.DtText, fields.TimeText);
}

void TrackedAlert::heard(const DecodeFields& fields)
{
    if (!m_enabled)
        return;
    const QString headline = TrackedAlert::headline(fields);
    if (m_soundEnabled && m_services.sound)
        m_services.sound->play();
    // The user looks at this window already: the taskbar and the desktop stay quiet.
    if (!m_window.isActiveWindow()) {
        if (m_services.attention)
            m_services.attention(m_window);
        if (m_services.notifier)
            m_services.notifier->notify(headline, fields.Message);
    }
    announce(headline + QStringLiteral(" - ") + fields.Message);
}

void TrackedAlert::announce(const QString& text)
{
    m_announcement.hide();
    m_announcement.setText(text);
    m_announcement.setAccessibleName(text);
    m_announcement.show();
    // Windows' screen readers hear a value change that carries a text as a notification.
    QAccessibleValueChangeEvent changed(&m_announcement, text);
    QAccessible::updateAccessibility(&changed);
}
