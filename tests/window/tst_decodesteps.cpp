#include "FormHarness.h"
#include "Traffic.h"
#include "tallies/CallsignTally.h"
#include "tallies/DecodeLog.h"
#include "tallies/TrackedHistory.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"
#include "widgets/Geometry.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <cmath>

class TestDecodeSteps : public QObject {
    Q_OBJECT
private slots:
    void captionShowsTheSender();
    void lowestSnrStartsAtTheFirstDecode();
    void repeatedCallsignCountsOnlyInTheTotal();
    void uniqueTestMatchesWholeCallsigns();
    void firstDtOfEachCallsignFillsItsBucket_data();
    void firstDtOfEachCallsignFillsItsBucket();
    void dtCaptionFollowsDecodesOnlyInTheDtView();
    void bucketOverflowEndsTheDecodeMidway();
    void logRowsCarryEveryDecode();
    void logKeepsNewestRowInView();
    void nothingTrackedUntilTheBoxMatchesExactly();
    void trackedDecodeFillsGridTextAndChart();
    void historyPageRollsOverAfter50Rows();
    void chartPageRollsOverAfter70Points();
};

void TestDecodeSteps::captionShowsTheSender()
{
    FormHarness h;
    h.decode("CQ K1ABC FN42", -12, 0.2, 45'015'000, "ABC");
    QCOMPARE(h.form->windowTitle(), QString("Vantorel Listening to ABC"));
    // Too short for a callsign, the decode is still shown, logged and counted.
    h.decode("CQ DX", -14, 0.2, 0, "Other");
    QCOMPARE(h.form->windowTitle(), QString("Vantorel Listening to Other"));
    QCOMPARE(h.form->tally().totalRecords(), 2);
    QCOMPARE(h.form->tally().lowestSnr(), -14);
    QCOMPARE(h.form->MSFlexGrid1->textMatrix(1, DecodeLog::Message), QString("CQ DX"));
    QCOMPARE(h.form->MSFlexGrid1->textMatrix(1, DecodeLog::Callsign), QString());
    // An Id is shown as it came, a title's "[*]" placeholder too.
    h.form->winId();
    h.decode("CQ K1ABC FN42", -12, 0.2, 0, "<b>X</b> [*]");
    QCOMPARE(h.form->windowHandle()->title(), QString("Vantorel Listening to <b>X</b> [*]"));
}

void TestDecodeSteps::lowestSnrStartsAtTheFirstDecode()
{
    FormHarness h;
    h.decode("CQ K1ABC FN42", 5);
    QCOMPARE(h.form->tally().lowestSnr(), 5);
    QCOMPARE(h.form->Label3->text(), QString("Lowest dB:  5 in total received records  1"));
    h.decode("CQ K2ABC FN42", -3);
    h.decode("CQ K3ABC FN42", -3);
    h.decode("CQ K4ABC FN42", 10);
    QCOMPARE(h.form->tally().lowestSnr(), -3);
    QCOMPARE(h.form->Label3->text(), QString("Lowest dB: -3 in total received records  4"));
}

void TestDecodeSteps::repeatedCallsignCountsOnlyInTheTotal()
{
    FormHarness h;
    h.decode("CQ K1ABC FN42", -5, 0.3);
    h.decode("W9XYZ K1ABC -07", -21, -1.0);
    const CallsignTally& tally = h.form->tally();
    QCOMPARE(tally.uniqueCount(), 1);
    QCOMPARE(tally.totalRecords(), 2);
    QCOMPARE(tally.bucketCounts()[9], 1); // 0.3
    QCOMPARE(tally.bucketCounts()[0], 0); // the repeat's -1.0 is not counted
    QCOMPARE(h.form->Label3->text(), QString("Lowest dB: -21 in total received records  2"));
}

void TestDecodeSteps::uniqueTestMatchesWholeCallsigns()
{
    FormHarness h;
    for (const char* message : {"CQ Q1ABC FN42", "CQ Q1AB FN42", "CQ 1AB FN42", "CQ Q1ABCD FN42",
                                "CQ q1abc FN42", "CQ Q1AB FN42", "CQ  Q1ABC"})
        h.decode(message);
    const CallsignTally& tally = h.form->tally();
    QCOMPARE(tally.uniqueCallsigns(), (QStringList{"Q1ABC", "Q1AB", "1AB", "Q1ABCD", "q1abc"}));
    QCOMPARE(tally.uniqueCount(), 5);
    // The empty callsign counts in the total but is never a new callsign.
    QCOMPARE(tally.totalRecords(), 7);
}

void TestDecodeSteps::firstDtOfEachCallsignFillsItsBucket_data()
{
    QTest::addColumn<double>("dt");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bucket");
    QTest::newRow("-0.6 is the lowest bucket") << -0.6 << "-0.6" << 1;
    QTest::newRow("-1.7") << -1.7 << "-1.7" << 1;
    QTest::newRow("-0.56 shows as -0.6") << -0.56 << "-0.6" << 1;
    QTest::newRow("-0.5") << -0.5 << "-0.5" << 2;
    QTest::newRow("-0.04 shows as -0.0") << -0.04 << "-0.0" << 7;
    QTest::newRow("zero") << 0.0 << "+0.0" << 7;
    QTest::newRow("negative zero") << -0.0 << "+0.0" << 7;
    QTest::newRow("0.1") << 0.1 << "+0.1" << 8;
    QTest::newRow("0.3") << 0.3 << "+0.3" << 10;
    QTest::newRow("0.5") << 0.5 << "+0.5" << 12;
    QTest::newRow("0.54 shows as 0.5") << 0.54 << "+0.5" << 12;
    QTest::newRow("0.6 is the highest bucket") << 0.6 << "+0.6" << 13;
    QTest::newRow("2.4") << 2.4 << "+2.4" << 13;
}

void TestDecodeSteps::firstDtOfEachCallsignFillsItsBucket()
{
    QFETCH(double, dt);
    QFETCH(QString, text);
    QFETCH(int, bucket);
    FormHarness h;
    DecodeReport report;
    report.message = QStringLiteral("CQ K1ABC FN42");
    report.deltaTime = dt;
    const QByteArray datagram = DecodeDatagramWriter::encode(report);
    if (std::signbit(dt) && dt == 0) // as the decoders send a DT of zero
        QCOMPARE(datagram.mid(31, 8), QByteArray("\x80\0\0\0\0\0\0\0", 8));
    h.form->UDPSocket_DataArrival(datagram);
    QCOMPARE(h.form->MSFlexGrid1->textMatrix(0, DecodeLog::Dt), text);
    for (int row = 1; row <= 13; ++row) {
        QCOMPARE(h.form->tally().bucketCounts()[row - 1], row == bucket ? 1 : 0);
        QCOMPARE(h.form->MSChart1->value(row, 1), row == bucket ? 1.0 : 0.0);
    }
}

void TestDecodeSteps::dtCaptionFollowsDecodesOnlyInTheDtView()
{
    FormHarness h;
    h.decode("CQ K1ABC FN42");
    QCOMPARE(h.form->Label1->text(),
             QStringLiteral("Looking for UDP message at port %1.....").arg(h.form->listenPort()));
    h.form->mnuShowDT_Click();
    QCOMPARE(h.form->Label1->text(), QString("DT....Total unique callsign:  1"));
    h.decode("CQ K2ABC FN42");
    QCOMPARE(h.form->Label1->text(), QString("DT....Total unique callsign:  2"));
    h.form->mnuShowDB_Click();
    const QString dbCaption = h.form->Label1->text();
    h.decode("CQ K3ABC FN42");
    QCOMPARE(h.form->Label1->text(), dbCaption);
}

void TestDecodeSteps::bucketOverflowEndsTheDecodeMidway()
{
    FormHarness h;
    for (std::uint32_t i = 0; i < 32767; ++i)
        h.decode(QStringLiteral("CQ %1 FN42").arg(Traffic::callsign(i)), -10, 0.0);
    const CallsignTally& tally = h.form->tally();
    QCOMPARE(tally.bucketCounts()[6], 32767);
    QCOMPARE(tally.totalRecords(), 32767);
    const std::int16_t logCounter = h.form->decodeLog().logRowCounter();

    // One more new callsign in the full bucket: listed and counted, then the processing ends.
    h.form->Text1->setText(QStringLiteral("K9NEW"));
    h.decode("CQ K9NEW FN42", -30, 0.0);
    QCOMPARE(tally.uniqueCount(), 32768);
    QCOMPARE(tally.uniqueCallsigns().last(), QString("K9NEW"));
    QCOMPARE(tally.bucketCounts()[6], 32767);
    QCOMPARE(tally.totalRecords(), 32767);
    QCOMPARE(tally.lowestSnr(), -10);
    QCOMPARE(h.form->decodeLog().logRowCounter(), logCounter);
    QCOMPARE(h.form->history().trackedHistoryText(), QString());

    // Decodes in other buckets and repeats go on normally.
    h.decode("CQ K9NEW FN42", -30, 0.0);
    h.decode("CQ K8NEW FN42", -30, 0.3);
    QCOMPARE(tally.totalRecords(), 32769);
    QCOMPARE(tally.bucketCounts()[9], 1);
    QCOMPARE(tally.lowestSnr(), -30);
}

void TestDecodeSteps::logRowsCarryEveryDecode()
{
    FormHarness h;
    h.decode("W9XYZ K1ABC\t -05", 3, -1.2, 45'015'000);
    const FlexGrid& grid = *h.form->MSFlexGrid1;
    QCOMPARE(grid.textMatrix(0, 0), QString(" 1"));
    QCOMPARE(grid.textMatrix(0, 1), QString("12:30:15"));
    QCOMPARE(grid.textMatrix(0, 2), QString("3"));
    QCOMPARE(grid.textMatrix(0, 3), QString("-1.2"));
    QCOMPARE(grid.textMatrix(0, 4), QString("K1ABC"));
    QCOMPARE(grid.textMatrix(0, 5), QString("W9XYZ K1ABC\t -05"));
    QCOMPARE(grid.cellBackColor(0, 4), QColor(176, 224, 230));
    QVERIFY(!grid.cellBackColor(0, 3).isValid());
    QCOMPARE(grid.row(), 0);
    QCOMPARE(grid.col(), 4);
    QCOMPARE(h.form->decodeLog().logRowCounter(), 2);
    h.decode("W9XYZ K1ABC -05");
    QCOMPARE(grid.textMatrix(1, 0), QString(" 2"));
    QCOMPARE(grid.textMatrix(1, 4), QString("K1ABC"));
}

void TestDecodeSteps::logKeepsNewestRowInView()
{
    FormHarness h;
    const FlexGrid& grid = *h.form->MSFlexGrid1;
    for (int i = 1; i <= 11; ++i)
        h.decode("CQ K1ABC FN42");
    QCOMPARE(grid.topRow(), 0);
    h.decode("CQ K1ABC FN42");
    QCOMPARE(grid.topRow(), 1);
    h.decode("CQ K1ABC FN42");
    QCOMPARE(grid.topRow(), 2);
}

void TestDecodeSteps::nothingTrackedUntilTheBoxMatchesExactly()
{
    FormHarness h;
    h.form->Text1->setText(QString());
    h.decode("CQ K1ABC FN42");
    for (const QString& box : {QString("k1abc"), QString("K1ABC "), QString("Click to clear")}) {
        h.form->Text1->setText(box);
        h.decode("CQ K1ABC FN42");
    }
    QCOMPARE(h.form->history().trackedHistoryText(), QString());
    QCOMPARE(h.form->MSFlexGrid2->textMatrix(0, 0), QString());
    QCOMPARE(h.form->history().trackedRowCounter(), 0);
    QCOMPARE(h.form->MSFlexGrid2->topRow(), 0);
}

void TestDecodeSteps::trackedDecodeFillsGridTextAndChart()
{
    FormHarness h;
    h.form->Text1->setText(QStringLiteral("Q1ABC"));
    h.decode("CQ Q1ABC FN42", -7, 0.1, 43'215'000);
    h.decode("CQ K1ABC FN42", -9);
    h.decode("W9XYZ Q1ABC R-03", 2, -0.2, 43'230'000);
    const FlexGrid& grid = *h.form->MSFlexGrid2;
    QCOMPARE(grid.textMatrix(0, 0), QString("12:00:15"));
    QCOMPARE(grid.textMatrix(0, 1), QString("-7"));
    QCOMPARE(grid.textMatrix(0, 2), QString("+0.1"));
    QCOMPARE(grid.textMatrix(0, 3), QString("Q1ABC"));
    QCOMPARE(grid.textMatrix(1, 1), QString("2"));
    QCOMPARE(h.form->history().trackedHistoryText(),
             QString("12:00:15  -7  +0.1  Q1ABC\r\n12:00:30  2  -0.2  Q1ABC\r\n"));
    QCOMPARE(h.form->MSChart2->value(1, 1), -7.0);
    QCOMPARE(h.form->MSChart2->value(2, 1), 2.0);
    QCOMPARE(h.form->MSChart2->value(1, 2), 0.0);
    QCOMPARE(h.form->history().chartPointCounter(), 3);
}

void TestDecodeSteps::historyPageRollsOverAfter50Rows()
{
    FormHarness h;
    h.form->Text1->setText(QStringLiteral("K1ABC"));
    const FlexGrid& grid = *h.form->MSFlexGrid2;
    for (int i = 0; i < 49; ++i)
        h.decode("CQ K1ABC FN42", -i % 30);
    QCOMPARE(grid.topRow(), 44);
    h.decode("CQ K1ABC FN42", -4);
    // The 50th row stays in view until the next tracked decode.
    QCOMPARE(grid.textMatrix(49, 1), QString("-4"));
    QCOMPARE(h.form->history().trackedRowCounter(), 50);
    QCOMPARE(grid.topRow(), 45);
    h.decode("CQ K1ABC FN42", -6);
    QCOMPARE(grid.textMatrix(0, 1), QString("-6"));
    QCOMPARE(grid.textMatrix(1, 1), QString());
    QCOMPARE(grid.textMatrix(49, 1), QString());
    QCOMPARE(grid.rows(), 50);
    QCOMPARE(h.form->history().trackedHistoryText().count(QStringLiteral("\r\n")), 51);
    QCOMPARE(grid.topRow(), 0);
}

void TestDecodeSteps::chartPageRollsOverAfter70Points()
{
    FormHarness h;
    h.form->Text1->setText(QStringLiteral("K1ABC"));
    h.form->Command1_Click();
    for (int i = 1; i <= 70; ++i)
        h.decode("CQ K1ABC FN42", -(i % 20) - 1);
    const ChartControl& chart = *h.form->MSChart2;
    // The 70th point stays drawn; the next point starts a new page in series 1.
    QCOMPARE(chart.value(70, 2), -11.0);
    QCOMPARE(h.form->history().colorFlag(), false);
    h.decode("CQ K1ABC FN42", -25);
    QCOMPARE(chart.value(1, 1), -25.0);
    for (int row = 2; row <= 70; ++row) {
        QCOMPARE(chart.value(row, 1), 0.0);
        QCOMPARE(chart.value(row, 2), 0.0);
    }
    QCOMPARE(chart.value(1, 2), 0.0);
    QCOMPARE(h.form->history().chartPointCounter(), 2);
}

QTEST_MAIN(TestDecodeSteps)
#include "tst_decodesteps.moc"
