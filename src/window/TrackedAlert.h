#pragma once

#include "intake/DecodeMessage.h"
#include "platform/AlertRoutes.h"

#include <QObject>

#include <functional>
#include <memory>

class QLabel;
class QWidget;

// What an alert reaches: the sound and the notification, whose ways differ between the
// systems, and the taskbar's attention.
struct AlertServices {
    std::unique_ptr<AlertSound> sound;
    std::unique_ptr<DesktopNotifier> notifier;
    std::function<void(QWidget&)> attention;

    // This system's, for the window; the sound is the WAV file beside the program.
    static AlertServices forWindow(QWidget& window);
};
using AlertServicesFactory = std::function<AlertServices(QWidget&)>;

// The alert when the tracked callsign is heard: a sound, the taskbar's attention, a desktop
// notification and an announcement to a screen reader, with one text. Attention and
// notification only while the window is not the active one, whoever works elsewhere; sound and
// announcement either way. Alerts, and their sound, can be turned off.
class TrackedAlert : public QObject {
    Q_OBJECT
public:
    // announcement: a label of the window that speaks each alert to a screen reader.
    TrackedAlert(QWidget& window, QLabel& announcement, AlertServices services, QObject* parent);
    ~TrackedAlert() override;

    void setEnabled(bool on) { m_enabled = on; }
    void setSoundEnabled(bool on) { m_soundEnabled = on; }
    void heard(const DecodeFields& fields);

    // "K1ABC heard: -12 dB, DT +0.3 at 12:30:15"
    static QString headline(const DecodeFields& fields);

private:
    void announce(const QString& text);

    QWidget& m_window;
    QLabel& m_announcement;
    AlertServices m_services;
    bool m_enabled = true;
    bool m_soundEnabled = true;
};
