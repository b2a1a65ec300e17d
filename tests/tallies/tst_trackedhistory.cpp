#include "TestFields.h"
#include "core/RuntimeError.h"
#include "tallies/CellTable.h"
#include "tallies/TrackedHistory.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

// The tracked callsign's history on its own, without a window.
class TestTrackedHistory : public QObject {
    Q_OBJECT
private slots:
    void onlyTheTrackedCallsignIsKept();
    void snrPointsAreClamped_data();
    void snrPointsAreClamped();
    void colourButtonSwitchesTheSeriesOfNewPoints();
    void pagesRollOverAfter50RowsAnd70Points();
    void resetStartsAfresh();
};

void TestTrackedHistory::onlyTheTrackedCallsignIsKept()
{
    TrackedHistory history(nullptr);
    QAbstractItemModelTester tester(&history.page(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy points(&history, &TrackedHistory::pointSet);
    history.TrackDecode(testFields("")); // nothing tracked: not even the empty callsign
    for (const QString& tracked : {QString("k1abc"), QString("K1ABC ")}) {
        history.setTrackedCallsign(tracked);
        history.TrackDecode(testFields("K1ABC"));
    }
    QCOMPARE(history.trackedHistoryText(), QString());
    QCOMPARE(points.size(), 0);

    history.setTrackedCallsign("Q1ABC");
    history.TrackDecode(testFields("Q1ABC", -7, 1, "12:00:15"));
    history.TrackDecode(testFields("K1ABC", -9));
    history.TrackDecode(testFields("Q1ABC", 2, -2, "12:00:30"));
    const CellTable& page = history.page();
    const QStringList row0{"12:00:15", "-7", "+0.1", "Q1ABC"};
    for (int column = 0; column < TrackedHistory::ColumnCount; ++column)
        QCOMPARE(page.text(0, column), row0[column]);
    QCOMPARE(page.text(1, TrackedHistory::Snr), QString("2"));
    QCOMPARE(history.trackedHistoryText(),
             QString("12:00:15  -7  +0.1  Q1ABC\r\n12:00:30  2  -0.2  Q1ABC\r\n"));
    QCOMPARE(history.point(1, 1), std::optional<std::int16_t>(-7));
    QCOMPARE(history.point(1, 2), std::optional<std::int16_t>(2));
    QCOMPARE(history.point(2, 1), std::nullopt);
    QCOMPARE(points.size(), 2);
    QCOMPARE(points.last(), (QVariantList{1, 2, 2}));
    history.ScrollTrackedHistory();
    QCOMPARE(history.topRow(), 0);
    QTest::qWait(0);
}

void TestTrackedHistory::snrPointsAreClamped_data()
{
    QTest::addColumn<int>("snr");
    QTest::addColumn<int>("point");
    QTest::newRow("20") << 20 << 15;
    QTest::newRow("15") << 15 << 15;
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("-30") << -30 << -30;
    QTest::newRow("-31") << -31 << -30;
}

void TestTrackedHistory::snrPointsAreClamped()
{
    QFETCH(int, snr);
    QFETCH(int, point);
    TrackedHistory history(nullptr);
    history.setTrackedCallsign("K1ABC");
    history.TrackDecode(testFields("K1ABC", static_cast<std::int16_t>(snr)));
    QCOMPARE(history.point(1, 1), std::optional<std::int16_t>(point));
    // The page keeps the SNR as it came.
    QCOMPARE(history.page().text(0, TrackedHistory::Snr), QString::number(snr));
}

void TestTrackedHistory::colourButtonSwitchesTheSeriesOfNewPoints()
{
    TrackedHistory history(nullptr);
    history.setTrackedCallsign("K1ABC");
    history.TrackDecode(testFields("K1ABC", -1));
    history.switchColor();
    history.TrackDecode(testFields("K1ABC", -2));
    history.switchColor();
    history.TrackDecode(testFields("K1ABC", -3));
    QCOMPARE(history.point(1, 1), std::optional<std::int16_t>(-1));
    QCOMPARE(history.point(2, 2), std::optional<std::int16_t>(-2));
    QCOMPARE(history.point(1, 2), std::nullopt);
    QCOMPARE(history.point(1, 3), std::optional<std::int16_t>(-3));
}

void TestTrackedHistory::pagesRollOverAfter50RowsAnd70Points()
{
    TrackedHistory history(nullptr);
    QAbstractItemModelTester tester(&history.page(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy started(&history, &TrackedHistory::pageStarted);
    QSignalSpy cleared(&history, &TrackedHistory::pointsCleared);
    history.setTrackedCallsign("K1ABC");
    history.switchColor();
    for (int i = 1; i <= 50; ++i) {
        history.TrackDecode(testFields("K1ABC", static_cast<std::int16_t>(-i % 30)));
        history.ScrollTrackedHistory();
    }
    // The 50th row stays in view until the next tracked decode.
    QCOMPARE(history.page().text(49, TrackedHistory::Snr), QString("-20"));
    QCOMPARE(history.topRow(), 45);
    QCOMPARE(started.size(), 0);
    history.TrackDecode(testFields("K1ABC", -6));
    QCOMPARE(started.size(), 1);
    QCOMPARE(history.topRow(), 0);
    QCOMPARE(history.page().text(0, TrackedHistory::Snr), QString("-6"));
    QCOMPARE(history.page().text(1, TrackedHistory::Snr), QString());
    QCOMPARE(history.trackedHistoryText().count(QStringLiteral("\r\n")), 51);

    for (int i = 52; i <= 70; ++i)
        history.TrackDecode(testFields("K1ABC", -1));
    // The 70th point stays drawn; the next point starts a new page in series 1, even when the
    // colour button was pressed while the full page showed.
    QCOMPARE(history.point(2, 70), std::optional<std::int16_t>(-1));
    QCOMPARE(history.colorFlag(), false);
    QCOMPARE(cleared.size(), 0);
    history.switchColor();
    history.TrackDecode(testFields("K1ABC", -25));
    QCOMPARE(cleared.size(), 1);
    QCOMPARE(history.point(2, 1), std::optional<std::int16_t>(-25));
    for (int point = 2; point <= TrackedHistory::ChartPoints; ++point) {
        QCOMPARE(history.point(1, point), std::nullopt);
        QCOMPARE(history.point(2, point), std::nullopt);
    }
    QCOMPARE(history.chartPointCounter(), 2);
    QTest::qWait(0);
}

void TestTrackedHistory::resetStartsAfresh()
{
    TrackedHistory history(nullptr);
    QAbstractItemModelTester tester(&history.page(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    history.setTrackedCallsign("K1ABC");
    for (int i = 0; i < 9; ++i)
        history.TrackDecode(testFields("K1ABC"));
    history.ScrollTrackedHistory();
    history.switchColor();
    QSignalSpy started(&history, &TrackedHistory::pageStarted);
    QSignalSpy cleared(&history, &TrackedHistory::pointsCleared);
    history.reset();
    QCOMPARE(started.size(), 1);
    QCOMPARE(cleared.size(), 1);
    QCOMPARE(history.page().text(0, TrackedHistory::Time), QString());
    QCOMPARE(history.trackedHistoryText(), QString());
    QCOMPARE(history.point(1, 1), std::nullopt);
    QCOMPARE(history.topRow(), 0);
    QCOMPARE(history.colorFlag(), false);
    history.TrackDecode(testFields("K1ABC", -4));
    QCOMPARE(history.page().text(0, TrackedHistory::Snr), QString("-4"));
    QCOMPARE(history.point(1, 1), std::optional<std::int16_t>(-4));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, history.point(3, 1));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, history.point(1, 71));
    QTest::qWait(0);
}

QTEST_MAIN(TestTrackedHistory)
#include "tst_trackedhistory.moc"
