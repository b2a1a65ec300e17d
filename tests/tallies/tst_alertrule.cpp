#include "TestFields.h"
#include "tallies/AlertRule.h"

#include <QTest>

// When a decode of the tracked callsign alerts.
class TestAlertRule : public QObject {
    Q_OBJECT
private slots:
    void alerts_data();
    void alerts();
};

void TestAlertRule::alerts_data()
{
    // Steps: "track CALL", or "CALL SECONDS" for a new decode, "CALL SECONDS replay" for one
    // sent again; what each decode gives, 1 for an alert.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("alerts");
    QTest::newRow("first decode after a pick")
        << QStringList{"track K1ABC", "K1ABC 0", "K1ABC 15"} << "10";
    QTest::newRow("a burst in one period is one alert")
        << QStringList{"track K1ABC", "K1ABC 0", "K1ABC 0", "K1ABC 1"} << "100";
    QTest::newRow("after five minutes of silence")
        << QStringList{"track K1ABC", "K1ABC 0", "K1ABC 299", "K1ABC 598", "K1ABC 898"} << "1001";
    QTest::newRow("across midnight")
        << QStringList{"track K1ABC", "K1ABC 86390", "K1ABC 10", "K1ABC 400"} << "101";
    QTest::newRow("replays and other callsigns never")
        << QStringList{"track K1ABC", "K1ABC 0 replay", "W9XYZ 1", "K1ABC 2"} << "001";
    QTest::newRow("nothing tracked") << QStringList{"track ", "K1ABC 0"} << "0";
    QTest::newRow("a pick of another callsign")
        << QStringList{"track K1ABC", "K1ABC 0", "track W9XYZ", "K1ABC 30", "W9XYZ 30"} << "101";
    QTest::newRow("picked again within the period of its alert: no second one")
        << QStringList{"track K1ABC", "K1ABC 0", "track K1ABC", "K1ABC 5", "K1ABC 20"} << "100";
    QTest::newRow("picked again after it")
        << QStringList{"track K1ABC", "K1ABC 0", "track K1ABC", "K1ABC 15"} << "11";
}

void TestAlertRule::alerts()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, alerts);
    AlertRule rule;
    QString given;
    for (const QString& step : steps) {
        const QStringList words = step.split(' ');
        if (words[0] == "track") {
            rule.track(words.value(1));
            continue;
        }
        DecodeFields fields = testFields(words[0]);
        fields.TimeMs = words[1].toInt() * 1000;
        fields.IsNew = words.value(2) != "replay";
        given += rule.alerts(fields) ? '1' : '0';
    }
    QCOMPARE(given, alerts);
}

QTEST_APPLESS_MAIN(TestAlertRule)
#include "tst_alertrule.moc"
