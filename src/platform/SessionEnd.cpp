#include "platform/SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>

SessionEnd::SessionEnd(QObject* parent)
    : QObject(parent)
{
#if QT_CONFIG(sessionmanager)
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &SessionEnd::ending);
#endif
}
