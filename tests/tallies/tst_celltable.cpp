#include "core/RuntimeError.h"
#include "tallies/CellTable.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

// The page of cells the log and the history are shown from.
class TestCellTable : public QObject {
    Q_OBJECT
private slots:
    void holdsTextsAndColoursAndRefusesOtherAddresses();
    void announcesChangedRowsOncePerTurn();
};

void TestCellTable::holdsTextsAndColoursAndRefusesOtherAddresses()
{
    CellTable table(50, 4, nullptr);
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    table.setText(10, 3, "K1ABC");
    table.setBackground(10, 3, Qt::blue);
    QCOMPARE(table.data(table.index(10, 3), Qt::DisplayRole).toString(), QString("K1ABC"));
    QCOMPARE(table.data(table.index(10, 3), Qt::BackgroundRole).value<QColor>(), QColor(Qt::blue));
    // A cell without a colour of its own leaves the view's background.
    QVERIFY(!table.data(table.index(10, 2), Qt::BackgroundRole).isValid());
    QVERIFY_THROWS_EXCEPTION(SubscriptError, table.setText(50, 0, "x"));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, table.setText(0, 4, "x"));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, table.text(-1, 0));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, table.background(0, -1));

    table.clear();
    QCOMPARE(table.rowCount(), 50);
    QCOMPARE(table.text(10, 3), QString());
    QVERIFY(!table.background(10, 3).isValid());
    QTest::qWait(0);
}

void TestCellTable::announcesChangedRowsOncePerTurn()
{
    CellTable table(10, 6, nullptr);
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(&table, &QAbstractItemModel::dataChanged);
    table.setText(5, 1, "later row first");
    table.setText(3, 4, "earlier row second");
    table.setText(9, 0, QString()); // unchanged: not announced
    QCOMPARE(changed.size(), 0);
    QTRY_COMPARE(changed.size(), 1);
    const auto from = changed.first().at(0).value<QModelIndex>();
    const auto to = changed.first().at(1).value<QModelIndex>();
    QCOMPARE(from, table.index(3, 0));
    QCOMPARE(to, table.index(5, 5));
    QTest::qWait(20);
    QCOMPARE(changed.size(), 1);

    // A clear reaches the views down to the page's last row.
    table.clear();
    QTRY_COMPARE(changed.size(), 2);
    QCOMPARE(changed.last().at(0).value<QModelIndex>(), table.index(0, 0));
    QCOMPARE(changed.last().at(1).value<QModelIndex>(), table.index(9, 5));
}

QTEST_MAIN(TestCellTable)
#include "tst_celltable.moc"
