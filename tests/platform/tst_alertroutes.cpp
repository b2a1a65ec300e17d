#include "platform/AlertRoutes.h"

#include <QProcess>
#include <QTest>

#ifndef Q_OS_WIN
#include <QDBusConnection>
#include <QVariantMap>

// The desktop's notification service as the notifier meets it on a session bus.
class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received;

public slots:
    uint Notify(const QString& application, uint replaces, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int)
    {
        received
            << QStringLiteral("%1 %2: %3 / %4").arg(application).arg(replaces).arg(summary, body);
        return 7;
    }
};
#endif

// The notification route, met as the desktop's service meets it.
class TestAlertRoutes : public QObject {
    Q_OBJECT
private slots:
    void notificationReachesTheSessionBus();
};

void TestAlertRoutes::notificationReachesTheSessionBus()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no session bus: its notifier shows a tray balloon");
#else
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address")});
    if (!bus.waitForStarted(5000))
        QSKIP("no dbus-daemon here");
    const auto stop = qScopeGuard([&bus] {
        bus.kill();
        bus.waitForFinished();
    });
    QVERIFY(bus.waitForReadyRead(5000));
    const QByteArray address = bus.readLine().trimmed();
    // Before the notifier's first use of the session bus in this process.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QDBusConnection desktop =
        QDBusConnection::connectToBus(QString::fromLatin1(address), QStringLiteral("desktop"));
    QVERIFY(desktop.isConnected());
    NotificationService service;
    QVERIFY(desktop.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(desktop.registerService(QStringLiteral("org.freedesktop.Notifications")));

    const std::unique_ptr<DesktopNotifier> notifier = DesktopNotifier::forWindow([] { return 0; });
    notifier->notify(QStringLiteral("K1ABC heard: -12 dB, DT +0.3 at 12:30:15"),
                     QStringLiteral("CQ K1ABC FN42"));
    QTRY_COMPARE(
        service.received,
        QStringList{"Vantorel 0: K1ABC heard: -12 dB, DT +0.3 at 12:30:15 / CQ K1ABC FN42"});
    // The next alert replaces the notification the service made of the last one.
    QTest::qWait(100);
    notifier->notify(QStringLiteral("W9XYZ heard: -5 dB, DT -0.1 at 12:30:45"),
                     QStringLiteral("K1ABC W9XYZ -05"));
    QTRY_COMPARE(service.received.size(), 2);
    QVERIFY(service.received.last().startsWith("Vantorel 7: W9XYZ heard"));
    QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
#endif
}

QTEST_GUILESS_MAIN(TestAlertRoutes)
#include "tst_alertroutes.moc"
