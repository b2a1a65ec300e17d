#include "FormHarness.h"
#include "tallies/DecodeLog.h"
#include "tallies/TrackedHistory.h"

#include <QTest>
#include <QWindow>

// What the window shows of each tally as decodes arrive.
class TestTallyViews : public QObject {
    Q_OBJECT
private slots:
    void titleShowsTheSenderAsItCame();
    void tallyShowsInItsCaptionsAndHistogram();
    void logShowsEveryDecodeWithTheNewestCurrentAndInView();
    void historyShowsOnlyTheBoxsCallsign();
    void historyPagesAndChartPagesStartAfresh();
};

void TestTallyViews::titleShowsTheSenderAsItCame()
{
    FormHarness h;
    h.form->winId();
    h.decode("CQ K1ABC FN42", -12, 0.2, 0, "ABC");
    QCOMPARE(h.form->windowTitle(), QString("Vantorel Listening to ABC"));
    // A title's "[*]" placeholder too, and markup as text.
    h.decode("CQ DX", -12, 0.2, 0, "<b>X</b> [*]");
    QCOMPARE(h.form->windowHandle()->title(), QString("Vantorel Listening to <b>X</b> [*]"));
}

void TestTallyViews::tallyShowsInItsCaptionsAndHistogram()
{
    FormHarness h;
    const Form1Controls c = h.controls();
    h.decode("CQ K1ABC FN42", 5, 0.3);
    QCOMPARE(c.Label3->text(), QString("Lowest dB:  5 in total received records  1"));
    QCOMPARE(c.MSChart1->value(10, 1), 1.0);
    QCOMPARE(c.MSChart1->rowLabel(13), QString(">0.6"));
    // The unique count follows the decodes only while the DT view shows.
    QCOMPARE(c.Label1->text(),
             QStringLiteral("Looking for UDP message at port %1.....").arg(h.port));
    h.form->mnuShowDT_Click();
    QCOMPARE(c.Label1->text(), QString("DT....Total unique callsign:  1"));
    h.decode("CQ K2ABC FN42", -3, -0.9);
    QCOMPARE(c.Label1->text(), QString("DT....Total unique callsign:  2"));
    QCOMPARE(c.Label3->text(), QString("Lowest dB: -3 in total received records  2"));
    QCOMPARE(c.MSChart1->value(1, 1), 1.0);
    h.form->mnuShowDB_Click();
    const QString dbCaption = c.Label1->text();
    h.decode("CQ K3ABC FN42");
    QCOMPARE(c.Label1->text(), dbCaption);
}

void TestTallyViews::logShowsEveryDecodeWithTheNewestCurrentAndInView()
{
    FormHarness h;
    const FlexGrid& grid = *h.controls().MSFlexGrid1;
    h.decode("W9XYZ K1ABC\t -05", 3, -1.2, 45'015'000);
    const QStringList row{" 1", "12:30:15", "3", "-1.2", "K1ABC", "W9XYZ K1ABC\t -05"};
    for (int col = 0; col < DecodeLog::ColumnCount; ++col)
        QCOMPARE(grid.textMatrix(0, col), row[col]);
    QCOMPARE(grid.cellBackColor(0, DecodeLog::Callsign), QColor(176, 224, 230));
    QVERIFY(!grid.cellBackColor(0, DecodeLog::Dt).isValid());
    QCOMPARE(grid.row(), 0);
    QCOMPARE(grid.col(), DecodeLog::Callsign);
    for (int i = 2; i <= 11; ++i)
        h.decode("CQ K1ABC FN42");
    QCOMPARE(grid.row(), 10);
    QCOMPARE(grid.topRow(), 0);
    h.decode("CQ K1ABC FN42");
    QCOMPARE(grid.topRow(), 1);
    h.decode("CQ K1ABC FN42");
    QCOMPARE(grid.topRow(), 2);
    QCOMPARE(grid.textMatrix(12, DecodeLog::Number), QString(" 13"));
}

void TestTallyViews::historyShowsOnlyTheBoxsCallsign()
{
    FormHarness h;
    const Form1Controls c = h.controls();
    c.Text1->setText(QString());
    h.decode("CQ K1ABC FN42");
    for (const QString& box : {QString("k1abc"), QString("K1ABC "), QString("Click to clear")}) {
        c.Text1->setText(box);
        h.decode("CQ K1ABC FN42");
    }
    QCOMPARE(c.MSFlexGrid2->textMatrix(0, 0), QString());
    QVERIFY(!c.MSChart2->hasValue(1, 1));

    c.Text1->setText(QStringLiteral("Q1ABC"));
    h.decode("CQ Q1ABC FN42", -7, 0.1, 43'215'000);
    h.decode("CQ K1ABC FN42", -9);
    h.decode("W9XYZ Q1ABC R-03", 2, -0.2, 43'230'000);
    const QStringList row{"12:00:15", "-7", "+0.1", "Q1ABC"};
    for (int col = 0; col < TrackedHistory::ColumnCount; ++col)
        QCOMPARE(c.MSFlexGrid2->textMatrix(0, col), row[col]);
    QCOMPARE(c.MSFlexGrid2->textMatrix(1, TrackedHistory::Snr), QString("2"));
    QCOMPARE(c.MSChart2->value(1, 1), -7.0);
    QCOMPARE(c.MSChart2->value(2, 1), 2.0);
    QVERIFY(!c.MSChart2->hasValue(1, 2));
    QVERIFY(!c.MSChart2->hasValue(3, 1));
}

void TestTallyViews::historyPagesAndChartPagesStartAfresh()
{
    FormHarness h;
    const Form1Controls c = h.controls();
    c.Text1->setText(QStringLiteral("K1ABC"));
    h.form->Command1_Click();
    const FlexGrid& grid = *c.MSFlexGrid2;
    for (int i = 1; i <= 49; ++i)
        h.decode("CQ K1ABC FN42", -(i % 20) - 1);
    QCOMPARE(grid.topRow(), 44);
    h.decode("CQ K1ABC FN42", -4);
    // The 50th row stays in view until the next tracked decode.
    QCOMPARE(grid.textMatrix(49, TrackedHistory::Snr), QString("-4"));
    QCOMPARE(grid.topRow(), 45);
    h.decode("CQ K1ABC FN42", -6);
    QCOMPARE(grid.textMatrix(0, TrackedHistory::Snr), QString("-6"));
    QCOMPARE(grid.textMatrix(49, TrackedHistory::Snr), QString());
    QCOMPARE(grid.topRow(), 0);
    QCOMPARE(grid.col(), TrackedHistory::Time);

    // 51 points so far, all in series 2; the 70th stays drawn, the 71st starts a new page in
    // series 1.
    for (int i = 52; i <= 70; ++i)
        h.decode("CQ K1ABC FN42", -(i % 20) - 1);
    const ChartControl& chart = *c.MSChart2;
    QCOMPARE(chart.value(70, 2), -11.0);
    h.decode("CQ K1ABC FN42", -25);
    QCOMPARE(chart.value(1, 1), -25.0);
    for (int point = 2; point <= TrackedHistory::ChartPoints; ++point) {
        QVERIFY(!chart.hasValue(point, 1));
        QVERIFY(!chart.hasValue(point, 2));
    }
    QVERIFY(!chart.hasValue(1, 2));
}

QTEST_MAIN(TestTallyViews)
#include "tst_tallyviews.moc"
