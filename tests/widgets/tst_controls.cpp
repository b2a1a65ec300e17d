#include "core/RuntimeError.h"
#include "widgets/CallsignBox.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"
#include "widgets/Geometry.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <cmath>

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void gridAddressesCellsFromZeroAndRefusesOthers();
    void gridTopRowBelowZeroShowsTheTop();
    void gridClickMakesTheCellCurrent();
    void chartKeepsValuesByRowAndColumn();
    void chartRefusesBadAddresses();
    void chartFollowsValuesOnlyWhileShown();
    void lineChartDrawsClearedPointsAsGaps();
    void lineChartDrawsEdgePointsWholeAndItsLegendInItsFont();
    void reachablePosition_data();
    void reachablePosition();
    void callsignBoxFiltersTypedCharacters();
    void callsignBoxKeepsItsPromptForKeysThatTypeNothing();
    void callsignBoxStartsAfreshOnAPasteOverItsPrompt();
    void gridPaintsEachCellItsColourAndFramesOnlyTheCurrent();
    void gridPicksWithEveryEnterKey_data();
    void gridPicksWithEveryEnterKey();
    void gridPickTakesTheChosenRowOrNothing_data();
    void gridPickTakesTheChosenRowOrNothing();
    void gridHoldsOnlyWhileTheUserIsOnACell();
};

namespace {

// A grid of ten rows on screen, its cells named by their place, the current cell on row 5.
struct ShownGrid {
    QStandardItemModel cells{10, 3};
    FlexGrid grid{Qt::white, nullptr};

    ShownGrid()
    {
        for (int row = 0; row < 10; ++row)
            for (int col = 0; col < 3; ++col)
                cells.setItem(row, col,
                              new QStandardItem(QStringLiteral("%1.%2").arg(row).arg(col)));
        grid.setModel(&cells);
        grid.resize(300, 400);
        grid.show();
        grid.setRow(5);
        grid.setCol(1);
    }
    QPoint centre(int row, int col = 1) const
    {
        return grid.visualRect(cells.index(row, col)).center();
    }
};

} // namespace

void TestControls::gridAddressesCellsFromZeroAndRefusesOthers()
{
    QStandardItemModel cells(100, 6);
    cells.setItem(0, 0, new QStandardItem(" 1"));
    cells.setItem(99, 5, new QStandardItem("last"));
    cells.item(99, 5)->setBackground(QColor(Qt::blue));
    FlexGrid grid(Qt::white, nullptr);
    grid.setModel(&cells);
    QCOMPARE(grid.rows(), 100);
    QCOMPARE(grid.cols(), 6);
    QCOMPARE(grid.textMatrix(0, 0), QString(" 1"));
    QCOMPARE(grid.textMatrix(99, 5), QString("last"));
    QCOMPARE(grid.cellBackColor(99, 5), QColor(Qt::blue));
    QVERIFY(!grid.cellBackColor(0, 0).isValid());
    QVERIFY_THROWS_EXCEPTION(SubscriptError, grid.textMatrix(100, 0));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, grid.textMatrix(0, 6));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, grid.textMatrix(-1, 0));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, grid.cellBackColor(0, -1));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, grid.setRow(100));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, grid.setCol(6));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, grid.setColWidth(6, 100));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, grid.setTopRow(100));
}

void TestControls::gridTopRowBelowZeroShowsTheTop()
{
    QStandardItemModel cells(100, 6);
    FlexGrid grid(Qt::white, nullptr);
    grid.setModel(&cells);
    grid.setTopRow(-11);
    QCOMPARE(grid.topRow(), 0);
    grid.setTopRow(40);
    QCOMPARE(grid.topRow(), 40);
}

void TestControls::gridClickMakesTheCellCurrent()
{
    QStandardItemModel cells(10, 6);
    FlexGrid grid(Qt::white, nullptr);
    grid.setModel(&cells);
    grid.resize(400, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    int clicks = 0;
    connect(&grid, &FlexGrid::cellClicked, this, [&] { ++clicks; });
    const QRect cell = grid.visualRect(grid.model()->index(2, 4));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(clicks, 1);
    QCOMPARE(grid.row(), 2);
    QCOMPARE(grid.col(), 4);

    // The user's scroll stands, but the program still moves the current cell.
    cells.setRowCount(100);
    grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const int top = grid.verticalScrollBar()->value();
    QVERIFY(top > 0);
    grid.setRow(10);
    grid.setCol(1);
    QTRY_COMPARE(grid.currentIndex(), grid.model()->index(10, 1));
    QCOMPARE(grid.verticalScrollBar()->value(), top);
}

void TestControls::chartKeepsValuesByRowAndColumn()
{
    ChartControl chart(ChartControl::Style::Lines, 70, 2, nullptr);
    chart.setRow(70);
    chart.setColumn(2);
    chart.setData(-12);
    QCOMPARE(chart.value(70, 2), -12.0);
    QCOMPARE(chart.value(70, 1), 0.0);
    ChartControl bars(ChartControl::Style::Bars, 13, 1, nullptr);
    QVector<std::int16_t> values(13, 0);
    values[12] = 5;
    bars.setChartData(values);
    bars.setRowLabel(13, ">0.6");
    QCOMPARE(bars.value(13, 1), 5.0);
    QCOMPARE(bars.rowLabel(13), QString(">0.6"));
}

void TestControls::chartRefusesBadAddresses()
{
    ChartControl chart(ChartControl::Style::Lines, 70, 2, nullptr);
    QVERIFY_THROWS_EXCEPTION(SubscriptError, chart.setRow(0));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, chart.setRow(71));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, chart.setColumn(3));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, chart.setChartData(QVector<std::int16_t>(13, 0)));
}

void TestControls::chartFollowsValuesOnlyWhileShown()
{
    ChartControl chart(ChartControl::Style::Bars, 13, 1, nullptr);
    QVector<std::int16_t> values(13, 0);
    values[6] = 3;
    chart.setChartData(values);
    auto* bars = qobject_cast<QCPBars*>(chart.plottable(0));
    QVERIFY(bars != nullptr);
    // Hidden: nothing drawn follows yet.
    QCoreApplication::processEvents();
    QCOMPARE(bars->data()->at(6)->value, 0.0);
    chart.resize(400, 300);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QCOMPARE(bars->data()->at(6)->value, 3.0);

    // Many writes in one turn of the event loop make one redraw.
    QSignalSpy replots(&chart, &QCustomPlot::afterReplot);
    for (std::int16_t n = 4; n < 40; ++n) {
        values[6] = n;
        chart.setChartData(values);
    }
    QTRY_COMPARE(bars->data()->at(6)->value, 39.0);
    QVERIFY(chart.yAxis->range().upper >= 39);
    QTest::qWait(50);
    QCOMPARE(replots.count(), 1);
}

void TestControls::lineChartDrawsClearedPointsAsGaps()
{
    ChartControl chart(ChartControl::Style::Lines, 70, 2, nullptr);
    const auto put = [&chart](int row, int column, double value) {
        chart.setRow(row);
        chart.setColumn(column);
        chart.setData(value);
    };
    put(1, 1, 0); // a real 0 dB report
    put(2, 1, -5);
    put(3, 1, 3);
    put(4, 2, -7);
    chart.setRow(2);
    chart.setColumn(1);
    chart.clearPoint();
    QCOMPARE(chart.value(2, 1), 0.0);
    QVERIFY(!chart.hasValue(2, 1) && chart.hasValue(1, 1));

    chart.resize(400, 300);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    // A point not set is drawn as NaN, a gap; a real 0 dB report is drawn at 0.
    const auto drawn = [&chart](int column) {
        QStringList points;
        const auto& data = *chart.graph(column - 1)->data();
        for (int i = 0; i < 5; ++i)
            points << (std::isnan(data.at(i)->value) ? "gap" : QString::number(data.at(i)->value));
        return points.join(' ');
    };
    QCOMPARE(drawn(1), QString("0 gap 3 gap gap"));
    QCOMPARE(drawn(2), QString("gap gap gap -7 gap"));

    // A screen reader reads the set points of each series.
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&chart);
    QTRY_COMPARE(reader->text(QAccessible::Description), QString("C1: 1: 0, 3: 3; C2: 4: -7"));
    for (int row = 1; row <= 4; ++row) {
        chart.setRow(row);
        for (int column = 1; column <= 2; ++column) {
            chart.setColumn(column);
            chart.clearPoint();
        }
    }
    QTRY_COMPARE(reader->text(QAccessible::Description), QString("C1: none; C2: none"));
    QCOMPARE(drawn(1), QString("gap gap gap gap gap"));
}

void TestControls::lineChartDrawsEdgePointsWholeAndItsLegendInItsFont()
{
    ChartControl chart(ChartControl::Style::Lines, 70, 2, nullptr);
    chart.setValueRange(-30, 15);
    chart.setRow(1);
    chart.setColumn(1);
    chart.setData(15);
    chart.setRow(70);
    chart.setData(-30);
    chart.resize(400, 300);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QTRY_COMPARE(chart.graph(0)->data()->at(0)->value, 15.0);
    chart.replot();
    const QImage image = chart.toPixmap(400, 300).toImage();
    const QColor series = chart.graph(0)->pen().color();
    // The disc's pixels beyond the axis rectangle are drawn too.
    const QPoint top(int(chart.xAxis->coordToPixel(1)), int(chart.yAxis->coordToPixel(15)) - 2);
    const QPoint bottom(int(chart.xAxis->coordToPixel(70)),
                        int(chart.yAxis->coordToPixel(-30)) + 2);
    QCOMPARE(image.pixelColor(top), series);
    QCOMPARE(image.pixelColor(bottom), series);

    QVERIFY(chart.legend->visible());
    QVERIFY(chart.legend->outerRect().width() > 0);
    QCOMPARE(chart.legend->itemCount(), 2);
    for (int i = 0; i < chart.legend->itemCount(); ++i)
        QCOMPARE(chart.legend->item(i)->font(), chart.xAxis->tickLabelFont());
}

void TestControls::reachablePosition_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("position");
    const QRect window(0, 0, 480, 360);
    QTest::newRow("on the first screen") << window.translated(100, 100) << QPoint(100, 100);
    QTest::newRow("on the second screen") << window.translated(2000, 50) << QPoint(2000, 50);
    QTest::newRow("a maximised close") << window.translated(-8, -8) << QPoint(-8, -8);
    QTest::newRow("across both screens") << window.translated(1840, 0) << QPoint(1840, 0);
    QTest::newRow("bar's start at the right") << window.translated(3100, 0) << QPoint(3100, 0);
    QTest::newRow("just the grab width at the right")
        << window.translated(3200 - 64, 0) << QPoint(3200 - 64, 0);
    QTest::newRow("a pixel less than the grab width")
        << window.translated(3200 - 63, 0) << QPoint(20, 0);
    QTest::newRow("a corner at the right") << window.translated(3150, 0) << QPoint(20, 0);
    QTest::newRow("under the task bar") << window.translated(100, 1070) << QPoint(20, 0);
    QTest::newRow("where a third screen was") << window.translated(5000, 0) << QPoint(20, 0);
    QTest::newRow("above every screen") << window.translated(100, -40) << QPoint(20, 0);
}

void TestControls::reachablePosition()
{
    QFETCH(QRect, frame);
    QFETCH(QPoint, position);
    // Two screens side by side; the first is the primary and its task bar takes 40 pixels.
    const QList<QRect> areas{QRect(20, 0, 1900, 1040), QRect(1920, 0, 1280, 1024)};
    QCOMPARE(Geometry::reachablePosition(frame, 30, areas, areas.first()), position);
}

void TestControls::callsignBoxFiltersTypedCharacters()
{
    CallsignBox box(nullptr);
    box.setKeyFilter([](char16_t c) { return c == u'x' ? u'Y' : c; });
    box.show();
    QTest::keyClicks(&box, "axb");
    QCOMPARE(box.text(), QString("aYb"));
    int clicks = 0;
    connect(&box, &CallsignBox::clicked, this, [&] { ++clicks; });
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(clicks, 1);
}

void TestControls::callsignBoxKeepsItsPromptForKeysThatTypeNothing()
{
    CallsignBox box(nullptr);
    box.showPrompt("Click to clear");
    int starts = 0;
    connect(&box, &CallsignBox::typingStarted, this, [&] { ++starts; });
    box.show();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_End, Qt::Key_Home, Qt::Key_Left})
        QTest::keyClick(&box, key);
    QCOMPARE(box.text(), QString("Click to clear"));
    QCOMPARE(starts, 0);
}

void TestControls::callsignBoxStartsAfreshOnAPasteOverItsPrompt()
{
    CallsignBox box(nullptr);
    box.showPrompt("Click to clear");
    connect(&box, &CallsignBox::typingStarted, this, [&box] { box.setText(QString()); });
    box.show();
    QApplication::clipboard()->setText(QStringLiteral("K1ABC"));
    // Ctrl+V as a keyboard sends it: the key with a control character, nothing printable.
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    QApplication::sendEvent(&box, &paste);
    QCOMPARE(box.text(), QString("K1ABC"));
}

void TestControls::gridPaintsEachCellItsColourAndFramesOnlyTheCurrent()
{
    QStandardItemModel cells(4, 2);
    cells.setItem(0, 1, new QStandardItem());
    cells.item(0, 1)->setBackground(QColor(Qt::blue));
    FlexGrid grid(Qt::yellow, nullptr);
    grid.setModel(&cells);
    grid.resize(300, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setRow(1);
    grid.setCol(1);
    QTRY_COMPARE(grid.currentIndex(), cells.index(1, 1));
    const QImage image = grid.viewport()->grab().toImage();
    const auto pixel = [&](int row, int col, int dx) {
        const QRect rect = grid.visualRect(cells.index(row, col));
        return image.pixelColor(QPoint(rect.left() + dx, rect.center().y()) *
                                image.devicePixelRatio());
    };
    const QColor frame = grid.palette().color(QPalette::Highlight);
    QCOMPARE(pixel(0, 0, 10), QColor(Qt::yellow));
    QCOMPARE(pixel(0, 1, 10), QColor(Qt::blue));
    // The frame's edge on the current cell only; its inside keeps the cell's colour.
    QCOMPARE(pixel(1, 1, 1), frame);
    QCOMPARE(pixel(1, 1, 10), QColor(Qt::yellow));
    for (const int row : {0, 2, 3})
        QVERIFY(pixel(row, 1, 1) != frame);
    QVERIFY(pixel(1, 0, 1) != frame);
}

void TestControls::gridPicksWithEveryEnterKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("picks");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << true;
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << false;
}

void TestControls::gridPicksWithEveryEnterKey()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, picks);
    QStandardItemModel cells(3, 6);
    FlexGrid grid(Qt::white, nullptr);
    grid.setModel(&cells);
    grid.show();
    grid.setRow(2);
    grid.setCol(4);
    QTRY_COMPARE(grid.currentIndex(), cells.index(2, 4));
    QSignalSpy clicked(&grid, &FlexGrid::cellClicked);
    QTest::keyClick(&grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(clicked.size(), picks ? 1 : 0);
}

void TestControls::gridPickTakesTheChosenRowOrNothing_data()
{
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("picks");
    for (const bool keyboard : {true, false}) {
        const char* how = keyboard ? "keyboard" : "mouse";
        QTest::addRow("%s, nothing written", how) << keyboard << QString() << true;
        QTest::addRow("%s, a new page over it", how) << keyboard << "another" << false;
        QTest::addRow("%s, emptied", how) << keyboard << "" << false;
    }
}

void TestControls::gridPickTakesTheChosenRowOrNothing()
{
    QFETCH(bool, byKeyboard);
    QFETCH(QString, written);
    QFETCH(bool, picks);
    ShownGrid g;
    QVERIFY(QTest::qWaitForWindowExposed(&g.grid));
    QTRY_COMPARE(g.grid.currentIndex(), g.cells.index(5, 1));
    QSignalSpy clicked(&g.grid, &FlexGrid::cellClicked);
    if (byKeyboard)
        QTest::keyClick(&g.grid, Qt::Key_Up);
    else
        QTest::mousePress(g.grid.viewport(), Qt::LeftButton, {}, g.centre(4));
    // Rows the user did not choose change as they will.
    g.cells.item(9, 1)->setText("newest");
    g.grid.setRow(9);
    if (!written.isNull())
        g.cells.item(4, 0)->setText(written);
    if (byKeyboard)
        QTest::keyClick(&g.grid, Qt::Key_Space);
    else
        QTest::mouseRelease(g.grid.viewport(), Qt::LeftButton, {}, g.centre(4));
    QCOMPARE(clicked.size(), picks ? 1 : 0);
    // Either way the hold is over and the program's row applies.
    QTRY_COMPARE(g.grid.currentIndex(), g.cells.index(picks && !byKeyboard ? 4 : 9, 1));
}

void TestControls::gridHoldsOnlyWhileTheUserIsOnACell()
{
    ShownGrid g;
    g.cells.setRowCount(100);
    QVERIFY(QTest::qWaitForWindowExposed(&g.grid));
    QTRY_COMPARE(g.grid.currentIndex(), g.cells.index(5, 1));
    QScrollBar& scroll = *g.grid.verticalScrollBar();

    // While a cell is pressed, the program's rows and scrolling wait, however often asked.
    QTest::mousePress(g.grid.viewport(), Qt::LeftButton, {}, g.centre(2));
    g.grid.setRow(30);
    g.grid.setTopRow(20);
    g.grid.setTopRow(25);
    QTest::qWait(20);
    QCOMPARE(scroll.value(), 0);
    QCOMPARE(g.grid.currentIndex(), g.cells.index(2, 1));
    // Released off the pressed cell: no pick, and the program's row and scroll apply.
    QSignalSpy clicked(&g.grid, &FlexGrid::cellClicked);
    QTest::mouseRelease(g.grid.viewport(), Qt::LeftButton, {}, g.centre(3, 2));
    QCOMPARE(clicked.size(), 0);
    QTRY_COMPARE(g.grid.currentIndex(), g.cells.index(30, 1));
    QTRY_COMPARE(scroll.value(), 25);

    // A press on no cell holds nothing.
    g.cells.setRowCount(3);
    g.grid.setTopRow(0);
    QTest::mousePress(g.grid.viewport(), Qt::LeftButton, {}, QPoint(10, 380));
    g.grid.setRow(1);
    QTRY_COMPARE(g.grid.currentIndex(), g.cells.index(1, 1));
    QTest::mouseRelease(g.grid.viewport(), Qt::LeftButton, {}, QPoint(10, 380));
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
