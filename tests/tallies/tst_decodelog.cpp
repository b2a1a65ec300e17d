#include "TestFields.h"
#include "tallies/CellTable.h"
#include "tallies/DecodeLog.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

// The decode log on its own, without a window.
class TestDecodeLog : public QObject {
    Q_OBJECT
private slots:
    void rowsCarryEveryDecodeWithTheNewestInView();
    void pageRollsOverAfter99Rows();
};

void TestDecodeLog::rowsCarryEveryDecodeWithTheNewestInView()
{
    DecodeLog log(Qt::cyan, nullptr);
    CellTable& page = log.page();
    QAbstractItemModelTester tester(&page, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy logged(&log, &DecodeLog::logged);
    DecodeFields first = testFields("K1ABC", 3, -12, "12:30:15");
    first.Message = "W9XYZ K1ABC\t -05";
    log.LogDecode(first);
    const QStringList row0{" 1", "12:30:15", "3", "-1.2", "K1ABC", "W9XYZ K1ABC\t -05"};
    for (int column = 0; column < DecodeLog::ColumnCount; ++column)
        QCOMPARE(page.text(0, column), row0[column]);
    QCOMPARE(page.background(0, DecodeLog::Callsign), QColor(Qt::cyan));
    QVERIFY(!page.background(0, DecodeLog::Dt).isValid());
    QCOMPARE(logged.size(), 1);
    QCOMPARE(log.newestRow(), 0);

    for (int i = 2; i <= 13; ++i)
        log.LogDecode(testFields("W9XYZ"));
    QCOMPARE(page.text(12, DecodeLog::Number), QString(" 13"));
    QCOMPARE(log.newestRow(), 12);
    // Twelve rows above the next one.
    QCOMPARE(log.topRow(), 2);
    QCOMPARE(logged.size(), 13);
    QTest::qWait(0);
}

void TestDecodeLog::pageRollsOverAfter99Rows()
{
    DecodeLog log(Qt::cyan, nullptr);
    CellTable& page = log.page();
    QAbstractItemModelTester tester(&page, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 1; i <= 98; ++i)
        log.LogDecode(testFields(QStringLiteral("K%1ABC").arg(i)));
    QCOMPARE(log.logRowCounter(), 99);
    log.LogDecode(testFields("LAST99"));
    // The 99th decode stays in view until the next one needs the page.
    QCOMPARE(page.text(98, DecodeLog::Number), QString(" 99"));
    QCOMPARE(page.text(98, DecodeLog::Callsign), QString("LAST99"));
    QCOMPARE(page.text(99, DecodeLog::Number), QString());
    QCOMPARE(log.topRow(), 88);
    log.LogDecode(testFields("N3XT"));
    QCOMPARE(page.rowCount(), DecodeLog::GridRows);
    QCOMPARE(page.text(0, DecodeLog::Number), QString(" 1"));
    QCOMPARE(page.text(0, DecodeLog::Callsign), QString("N3XT"));
    QCOMPARE(page.text(1, DecodeLog::Number), QString());
    QCOMPARE(page.text(98, DecodeLog::Callsign), QString());
    QVERIFY(!page.background(98, DecodeLog::Callsign).isValid());
    QCOMPARE(log.logRowCounter(), 2);
    QCOMPARE(log.newestRow(), 0);
    QCOMPARE(log.topRow(), 0);
    QTest::qWait(0);
}

QTEST_MAIN(TestDecodeLog)
#include "tst_decodelog.moc"
