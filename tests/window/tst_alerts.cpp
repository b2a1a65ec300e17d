#include "FormHarness.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QTest>

// The alert of a tracked callsign, from the decode to each route, through fakes of the
// system's routes, and its switches.
class TestAlerts : public QObject {
    Q_OBJECT
private slots:
    void eachRouteHasTheText();
    void switchesAreKept();
};

void TestAlerts::eachRouteHasTheText()
{
    FormHarness h;
    const Form1Controls c = h.controls();
    h.form->show();
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    QVERIFY(!h.form->isActiveWindow());
    QLabel& announcement = *h.find<QLabel>("AlertAnnouncement");

    c.Text1->setText(QStringLiteral("K1ABC"));
    h.decode("CQ K1ABC FN42", -12, 0.3, 45'015'000);
    h.decode("CQ K1ABC FN42", -11, 0.3, 45'030'000);
    QCOMPARE(h.alerts.sounds, 1);
    QCOMPARE(h.alerts.attention, 1);
    const QPair<QString, QString> note{"K1ABC heard: -12 dB, DT +0.3 at 12:30:15", "CQ K1ABC FN42"};
    QCOMPARE(h.alerts.notifications, (QList<QPair<QString, QString>>{note}));
    const QString spoken = "K1ABC heard: -12 dB, DT +0.3 at 12:30:15 - CQ K1ABC FN42";
    QCOMPARE(announcement.text(), spoken);
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&announcement);
    QCOMPARE(read->role(), QAccessible::Notification);
    QCOMPARE(read->text(QAccessible::Name), spoken);

    // Looked at: no attention asked, no notification; sound and announcement still.
    QApplication::setActiveWindow(h.form.get());
    QVERIFY(h.form->isActiveWindow());
    c.Text1->setText(QStringLiteral("W9XYZ"));
    h.decode("K1ABC W9XYZ -05", -5, -0.1, 45'045'000);
    QCOMPARE(h.alerts.sounds, 2);
    QCOMPARE(h.alerts.attention, 1);
    QCOMPARE(h.alerts.notifications.size(), 1);
    QCOMPARE(announcement.text(),
             QString("W9XYZ heard: -5 dB, DT -0.1 at 12:30:45 - K1ABC W9XYZ -05"));
}

void TestAlerts::switchesAreKept()
{
    FormHarness h;
    auto& alert = *h.find<QCheckBox>("AlertCheck");
    auto& sound = *h.find<QCheckBox>("AlertSoundCheck");
    // On when the file says nothing, and read by a screen reader by what they do.
    QVERIFY(alert.isChecked() && sound.isChecked());
    QCOMPARE(QAccessible::queryAccessibleInterface(&alert)->text(QAccessible::Name),
             QString("Alert when the tracked callsign is heard"));
    const Form1Controls c = h.controls();
    sound.setChecked(false);
    c.Text1->setText(QStringLiteral("K1ABC"));
    h.decode("CQ K1ABC FN42", -12, 0.3, 45'015'000);
    QCOMPARE(h.alerts.sounds, 0);
    QCOMPARE(h.alerts.notifications.size(), 1);
    alert.setChecked(false);
    QVERIFY(!sound.isEnabled());
    c.Text1->setText(QStringLiteral("W9XYZ"));
    h.decode("CQ W9XYZ EM73", -12, 0.3, 45'030'000);
    QCOMPARE(h.alerts.notifications.size(), 1);
    h.form->close();
    QVERIFY2(h.iniText().endsWith("Alert=0\r\nAlert sound=0\r\n"), qPrintable(h.iniText()));

    FormHarness again(h.iniText().toLatin1());
    QVERIFY(!again.find<QCheckBox>("AlertCheck")->isChecked());
    QVERIFY(!again.find<QCheckBox>("AlertSoundCheck")->isChecked());
}

QTEST_MAIN(TestAlerts)
#include "tst_alerts.moc"
