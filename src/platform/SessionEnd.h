#pragma once

#include <QObject>

// Tells when the desktop session ends (log-off, shut-down): the platform then ends the program
// without closing its window, so whatever must be kept has to be saved at this signal. On
// Windows this is the end-of-session message; on X11 the session manager's save request.
class SessionEnd : public QObject {
    Q_OBJECT
public:
    explicit SessionEnd(QObject* parent);

signals:
    void ending();
};
