#pragma once

#include <QString>

#include <functional>
#include <memory>

// The two ways of alerting that differ between the systems. Each call returns at once; a route
// the system lacks (no sound device, no notification service, no tray) fails in silence, never
// with a dialog or a wait, and the other routes still go.

// A short sound, played without waiting for it.
class AlertSound {
public:
    virtual ~AlertSound() = default;
    virtual void play() = 0;

    // The system's player of the WAV file at path: libcanberra on Linux, PlaySound on Windows.
    static std::unique_ptr<AlertSound> forFile(const QString& path);
};

// A desktop notification, also on a desktop without a tray.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void notify(const QString& title, const QString& body) = 0;

    // Linux: the desktop's notification service on the session bus. Windows: a balloon of a
    // tray icon of the window's own (window gives its native handle when first needed), gone
    // with the notifier.
    static std::unique_ptr<DesktopNotifier> forWindow(std::function<quintptr()> window);
};
