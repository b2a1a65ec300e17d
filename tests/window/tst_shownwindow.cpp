#include "FormHarness.h"
#include "tallies/DecodeLog.h"
#include "tallies/TrackedHistory.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

// The window as the user sees it on the screen: what the grids show, where the current cell is
// drawn, and how the keyboard and the mouse reach the controls.
class TestShownWindow : public QObject {
    Q_OBJECT
private slots:
    void newestLogRowStaysWhole();
    void gridsShowTheLatestRowsWhenTheViewReturns();
    void viewSwitchKeepsTheUsersScroll();
    void pickScrollsTheHistoryToItsTopAtOnce();
    void currentCellFollowsDecodesPicksAndWipes();
    void currentCallsignCellKeepsItsColour();
    void tabMovesBetweenControlsNotCells();
    void onlyALeftClickEmptiesTheBox();
    void keyboardPicksAsTheMouseDoes();
    void keyboardPickTakesTheRowMovedToWhateverArrives();
    void mousePickTakesThePressedRowWhateverArrives();
    void heldRowEndsWithANewPageOrAnotherWindow();
    void pasteOrDeleteOverThePromptStartsAfresh();
    void historyTextOpensFromTheKeyboard();
    void windowKeepsItsSizeAndOffersMinimiseOnly();

private:
    static void showAndSettle(Form1& form);
    // Shown and given the keyboard, as the window a user works in.
    static void showAndActivate(Form1& form);
    // The first visible row for a requested one, moved on just enough to show the row whole.
    static int expectedTopRow(const FlexGrid& grid, int requested, int row);
    static bool isWhole(const FlexGrid& grid, int row);
};

void TestShownWindow::showAndSettle(Form1& form)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
}

void TestShownWindow::showAndActivate(Form1& form)
{
    showAndSettle(form);
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

int TestShownWindow::expectedTopRow(const FlexGrid& grid, int requested, int row)
{
    const int wholeRows = grid.viewport()->height() / grid.verticalHeader()->defaultSectionSize();
    return qMax(requested, row - wholeRows + 1);
}

bool TestShownWindow::isWhole(const FlexGrid& grid, int row)
{
    const QRect cell = grid.visualRect(grid.model()->index(row, 0));
    return grid.viewport()->rect().contains(cell);
}

void TestShownWindow::newestLogRowStaysWhole()
{
    FormHarness h;
    FlexGrid& log = *h.controls().MSFlexGrid1;
    showAndSettle(*h.form);
    for (int n = 1; n <= 100; ++n) {
        h.decode("CQ K1ABC FN42");
        QCoreApplication::processEvents();
        // The 99th decode fills the last row of a page; the 100th starts the next page.
        const int row = n <= 99 ? n - 1 : 0;
        QVERIFY2(isWhole(log, row), qPrintable(QString::number(n)));
        const int requested = n <= 99 ? n - 10 : 0;
        QCOMPARE(log.rowAt(0), expectedTopRow(log, qMax(0, requested), row));
    }
}

void TestShownWindow::gridsShowTheLatestRowsWhenTheViewReturns()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndSettle(f);
    c.Text1->setText(QStringLiteral("K1ABC"));
    f.mnuShowDT_Click();
    for (int n = 0; n < 30; ++n)
        h.decode(n < 12 ? "CQ K1ABC FN42" : "CQ W9XYZ EM73");
    QCoreApplication::processEvents();
    f.mnuShowMessage_Click();
    QCoreApplication::processEvents();
    QVERIFY(isWhole(*c.MSFlexGrid1, 29));
    QCOMPARE(c.MSFlexGrid1->rowAt(0), expectedTopRow(*c.MSFlexGrid1, 19, 29));
    QCOMPARE(c.MSFlexGrid2->rowAt(0), 12 - 5);
}

void TestShownWindow::viewSwitchKeepsTheUsersScroll()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    FlexGrid& log = *c.MSFlexGrid1;
    showAndSettle(f);
    for (int n = 0; n < 40; ++n)
        h.decode("CQ K1ABC FN42");
    QCoreApplication::processEvents();
    const int newest = log.rowAt(0);
    // The user rolls the wheel up to read older decodes.
    const QPointF at = log.viewport()->rect().center();
    QWheelEvent wheel(at, log.viewport()->mapToGlobal(at), {}, {0, 120 * 3}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(log.viewport(), &wheel);
    const int read = log.rowAt(0);
    QVERIFY(read < newest);

    f.mnuShowDT_Click();
    QCoreApplication::processEvents();
    f.mnuShowMessage_Click();
    QCoreApplication::processEvents();
    QCOMPARE(log.rowAt(0), read);

    // A decode after the scroll brings the newest rows back.
    f.mnuShowDT_Click();
    h.decode("CQ K1ABC FN42");
    QCoreApplication::processEvents();
    f.mnuShowMessage_Click();
    QCoreApplication::processEvents();
    QVERIFY(isWhole(log, 40));
}

void TestShownWindow::pickScrollsTheHistoryToItsTopAtOnce()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndSettle(f);
    c.Text1->setText(QStringLiteral("K1ABC"));
    for (int n = 0; n < 30; ++n)
        h.decode("CQ K1ABC FN42");
    QCoreApplication::processEvents();
    QCOMPARE(c.MSFlexGrid2->rowAt(0), 25);
    c.MSFlexGrid1->setRow(29);
    c.MSFlexGrid1->setCol(DecodeLog::Callsign);
    f.MSFlexGrid1_Click();
    QCoreApplication::processEvents();
    QCOMPARE(c.MSFlexGrid2->rowAt(0), 0);
}

void TestShownWindow::currentCellFollowsDecodesPicksAndWipes()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    FlexGrid& log = *c.MSFlexGrid1;
    showAndSettle(f);
    h.decode("CQ K1ABC FN42");
    h.decode("CQ W9XYZ EM73");
    QCoreApplication::processEvents();
    QTest::mouseClick(log.viewport(), Qt::LeftButton, {},
                      log.visualRect(log.model()->index(0, DecodeLog::Time)).center());
    QCOMPARE(log.currentIndex(), log.model()->index(0, DecodeLog::Time));

    h.decode("CQ K2ABC FN42");
    QCoreApplication::processEvents();
    QCOMPARE(log.currentIndex(), log.model()->index(2, DecodeLog::Callsign));
    for (int n = 4; n <= 99; ++n)
        h.decode("CQ K1ABC FN42");
    h.decode("CQ K3ABC FN42"); // wipes the page and fills its first row
    QCoreApplication::processEvents();
    QCOMPARE(log.currentIndex(), log.model()->index(0, DecodeLog::Callsign));

    // A pick and a wipe of the history make its time column current.
    FlexGrid& history = *c.MSFlexGrid2;
    QTest::mouseClick(history.viewport(), Qt::LeftButton, {},
                      history.visualRect(history.model()->index(1, TrackedHistory::Dt)).center());
    log.setCol(DecodeLog::Callsign);
    f.MSFlexGrid1_Click();
    QCoreApplication::processEvents();
    QCOMPARE(history.currentIndex(), history.model()->index(1, TrackedHistory::Time));
    history.setCol(TrackedHistory::Dt);
    for (int n = 0; n < 51; ++n)
        h.decode("CQ K3ABC FN42");
    QCoreApplication::processEvents();
    QCOMPARE(history.currentIndex().column(), int(TrackedHistory::Time));
}

void TestShownWindow::currentCallsignCellKeepsItsColour()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndSettle(f);
    h.decode("CQ K1ABC FN42");
    QCoreApplication::processEvents();
    FlexGrid& log = *c.MSFlexGrid1;
    const QRect cell = log.visualRect(log.model()->index(0, DecodeLog::Callsign));
    QVERIFY(!cell.isEmpty());
    // Beyond the callsign's letters and inside the frame of the current cell.
    const QPoint inside(cell.right() - 6, cell.center().y());
    const QImage image = log.viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(inside * image.devicePixelRatio()), QColor(176, 224, 230));
}

void TestShownWindow::tabMovesBetweenControlsNotCells()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndActivate(f);
    c.Text1->setFocus();
    QCOMPARE(QApplication::focusWidget(), c.Text1);
    // The charts and the button are hidden in this view; the rich text box takes no focus.
    const QList<QWidget*> order{h.find<QWidget>("AlertCheck"), h.find<QWidget>("AlertSoundCheck"),
                                c.MSFlexGrid1, c.MSFlexGrid2, c.Text1};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("k1abc"));
    QCOMPARE(c.RichTextBox1->toPlainText(), QString());
    QCOMPARE(c.RichTextBox1->focusPolicy(), Qt::NoFocus);

    // In the chart views the charts are reached too, for a screen reader to read them.
    f.mnuShowDB_Click();
    c.Command1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), c.MSChart2);
    f.mnuShowDT_Click();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), c.MSChart1);
}

void TestShownWindow::onlyALeftClickEmptiesTheBox()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndSettle(f);
    c.Text1->setText(QStringLiteral("K1ABC"));
    h.decode("CQ K1ABC FN42");
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(c.Text1, button);
        QCOMPARE(c.Text1->text(), QString("K1ABC"));
        QCOMPARE(h.steps().history().trackedRowCounter(), 1);
    }
    QTest::mouseClick(c.Text1, Qt::LeftButton);
    QCOMPARE(c.Text1->text(), QString());
    QCOMPARE(h.steps().history().trackedRowCounter(), 0);
}

void TestShownWindow::keyboardPicksAsTheMouseDoes()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndActivate(f);
    // Typing over the prompt starts afresh; a key that types nothing leaves the prompt.
    c.Text1->setFocus();
    QTest::keyClick(c.Text1, Qt::Key_End);
    QCOMPARE(c.Text1->text(), QString("Click to clear"));
    QTest::keyClicks(c.Text1, QStringLiteral("k1abc"));
    QCOMPARE(c.Text1->text(), QString("K1ABC"));

    h.decode("CQ W9XYZ EM73", -10, 0.1, 45'015'000);
    h.decode("CQ K2ABC FN42", -10, 0.1, 45'030'000);
    h.decode("CQ K1ABC FN42", -10, 0.1, 45'045'000);
    QCOMPARE(h.steps().history().trackedRowCounter(), 1);
    QCoreApplication::processEvents();
    FlexGrid& log = *c.MSFlexGrid1;
    log.setFocus();
    QTest::keyClick(&log, Qt::Key_Up);
    QTest::keyClick(&log, Qt::Key_Up);
    QTest::keyClick(&log, Qt::Key_Space);
    QCOMPARE(c.Text1->text(), QString("W9XYZ"));
    QCOMPARE(h.pickedTime(), QString("12:30:15"));
    QCOMPARE(h.steps().history().trackedRowCounter(), 0);
    QTest::keyClick(&log, Qt::Key_Down);
    QTest::keyClick(&log, Qt::Key_Return);
    QCOMPARE(c.Text1->text(), QString("K2ABC"));
    QCOMPARE(h.pickedTime(), QString("12:30:30"));
    // Only a callsign cell picks.
    QTest::keyClick(&log, Qt::Key_Left);
    QTest::keyClick(&log, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(c.Text1->text(), QString("K2ABC"));
}

void TestShownWindow::keyboardPickTakesTheRowMovedToWhateverArrives()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndActivate(f);
    c.Text1->setText(QStringLiteral("K1ABC"));
    for (int i = 0; i < 15; ++i)
        h.decode(QStringLiteral("CQ K%1ABC FN42").arg(i), -10, 0.1, 45'000'000 + 1000 * i);
    h.decode("CQ K1ABC FN42");
    QCoreApplication::processEvents();
    FlexGrid& log = *c.MSFlexGrid1;
    log.setFocus();
    const int top = log.verticalScrollBar()->value();
    for (int up = 0; up < 3; ++up)
        QTest::keyClick(&log, Qt::Key_Up);
    QCOMPARE(log.row(), 12);
    // A decode arrives while the user is on row 12: it is logged, and waits in a dashed frame.
    h.decode("CQ W9NEW EM73");
    QCoreApplication::processEvents();
    QCOMPARE(log.textMatrix(16, DecodeLog::Callsign), QString("W9NEW"));
    QCOMPARE(log.currentIndex().row(), 12);
    QCOMPARE(log.verticalScrollBar()->value(), top);
    QTest::keyClick(&log, Qt::Key_Space);
    QCOMPARE(c.Text1->text(), QString("K12ABC"));
    QCOMPARE(h.pickedTime(), QString("12:30:12"));
    // The pick done, the log follows the decodes again.
    QTRY_COMPARE(log.currentIndex().row(), 16);
    log.setFocus();
    h.decode("CQ W9NXT EM73");
    QTRY_COMPARE(log.currentIndex().row(), 17);

    // Esc, and leaving the log, give the current cell back as well.
    QTest::keyClick(&log, Qt::Key_Up);
    h.decode("CQ W9ESC EM73");
    QCoreApplication::processEvents();
    QCOMPARE(log.currentIndex().row(), 16);
    QTest::keyClick(&log, Qt::Key_Escape);
    QTRY_COMPARE(log.currentIndex().row(), 18);
    QTest::keyClick(&log, Qt::Key_Up);
    h.decode("CQ W9TAB EM73");
    QTest::keyClick(&log, Qt::Key_Tab);
    QTRY_COMPARE(log.currentIndex().row(), 19);
}

void TestShownWindow::mousePickTakesThePressedRowWhateverArrives()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndActivate(f);
    for (int i = 0; i < 3; ++i)
        h.decode(QStringLiteral("CQ K%1ABC FN42").arg(i), -10, 0.1, 45'000'000 + 1000 * i);
    QCoreApplication::processEvents();
    FlexGrid& log = *c.MSFlexGrid1;
    const auto centre = [&log](int row) {
        return log.visualRect(log.model()->index(row, DecodeLog::Callsign)).center();
    };
    QTest::mousePress(log.viewport(), Qt::LeftButton, {}, centre(0));
    h.decode("CQ W9NEW EM73");
    QCoreApplication::processEvents();
    QTest::mouseRelease(log.viewport(), Qt::LeftButton, {}, centre(0));
    QCOMPARE(c.Text1->text(), QString("K0ABC"));
    QCOMPARE(h.pickedTime(), QString("12:30:00"));
    QTRY_COMPARE(log.currentIndex().row(), 3);

    // Rows scrolled under a still pointer: the pressed row is still the one clicked.
    for (int i = 0; i < 30; ++i)
        h.decode(QStringLiteral("CQ K%1XYZ FN42").arg(i), -10, 0.1, 46'000'000 + 1000 * i);
    QCoreApplication::processEvents();
    const int pressedRow = log.verticalScrollBar()->value() + 1;
    const QPoint at = centre(pressedRow);
    QTest::mousePress(log.viewport(), Qt::LeftButton, {}, at);
    log.verticalScrollBar()->setValue(log.verticalScrollBar()->value() - 3);
    QTest::mouseRelease(log.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(c.Text1->text(), log.textMatrix(pressedRow, DecodeLog::Callsign));
    QVERIFY(!c.Text1->text().isEmpty());
}

void TestShownWindow::heldRowEndsWithANewPageOrAnotherWindow()
{
    FormHarness h;
    const Form1Controls c = h.controls();
    showAndActivate(*h.form);
    c.Text1->setText(QStringLiteral("K1ABC"));
    h.decode("CQ K1ABC FN42");
    for (int i = 0; i < 15; ++i)
        h.decode(QStringLiteral("CQ K%1AZZ FN42").arg(i), -10, 0.1, 45'000'000 + 1000 * i);
    QCoreApplication::processEvents();
    FlexGrid& log = *c.MSFlexGrid1;
    log.setFocus();
    for (int up = 0; up < 3; ++up)
        QTest::keyClick(&log, Qt::Key_Up);
    QCOMPARE(log.textMatrix(log.row(), DecodeLog::Callsign), QString("K11AZZ"));
    // A new page puts another station where the user chose: Space picks nothing, and the
    // history being followed stays.
    for (int i = 0; i < 99; ++i)
        h.decode(QStringLiteral("CQ N%1ANN EN42").arg(i), -10, 0.1, 46'000'000 + 1000 * i);
    QCoreApplication::processEvents();
    QTest::keyClick(&log, Qt::Key_Space);
    QCOMPARE(c.Text1->text(), QString("K1ABC"));
    QCOMPARE(h.steps().history().trackedRowCounter(), 1);
    QTRY_COMPARE(log.currentIndex().row(), 15);

    // Working in another window ends the hold: the log follows the decodes.
    log.setFocus();
    QTest::keyClick(&log, Qt::Key_Up);
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    h.decode("CQ W9NEW EM73");
    QTRY_COMPARE(log.currentIndex().row(), 16);
}

void TestShownWindow::pasteOrDeleteOverThePromptStartsAfresh()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndActivate(f);
    c.Text1->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("K1ABC"));
    QTest::keyClick(c.Text1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(c.Text1->text(), QString("K1ABC"));
    c.Text1->showPrompt(QStringLiteral("Click to clear"));
    QTest::keyClick(c.Text1, Qt::Key_End);
    QTest::keyClick(c.Text1, Qt::Key_Backspace);
    QCOMPARE(c.Text1->text(), QString());
    c.Text1->showPrompt(QStringLiteral("Click to clear"));
    QTest::keyClick(c.Text1, Qt::Key_Home);
    QTest::keyClick(c.Text1, Qt::Key_Delete);
    QCOMPARE(c.Text1->text(), QString());
}

void TestShownWindow::historyTextOpensFromTheKeyboard()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    showAndActivate(f);
    c.Text1->setText(QStringLiteral("K1ABC"));
    h.decode("CQ K1ABC FN42", -7, 0.1, 43'215'000);
    c.MSFlexGrid2->setFocus();
    QTest::keyClick(c.MSFlexGrid2, Qt::Key_Menu);
    QTest::keyClick(c.MSFlexGrid2, Qt::Key_F10, Qt::ShiftModifier);
    const QString text("12:00:15  -7  +0.1  K1ABC\r\n");
    QCOMPARE(h.dialogs.longTexts, (QStringList{text, text}));

    // The dialog the program shows it in reads the text to a screen reader.
    QString read;
    QTimer::singleShot(0, this, [&read] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QAccessibleInterface* view =
            QAccessible::queryAccessibleInterface(dialog->findChild<QPlainTextEdit*>());
        QVERIFY(view && view->textInterface());
        read = view->textInterface()->text(0, view->textInterface()->characterCount());
        dialog->close();
    });
    QtUserDialogs().showLongText(&f, text);
    QCOMPARE(read, QString("12:00:15  -7  +0.1  K1ABC\n"));
}

void TestShownWindow::windowKeepsItsSizeAndOffersMinimiseOnly()
{
    FormHarness h;
    Form1& f = *h.form;
    showAndSettle(f);
    const QSize size = f.size();
    QCOMPARE(f.minimumSize(), size);
    QCOMPARE(f.maximumSize(), size);
    const Qt::WindowFlags flags = f.windowHandle()->flags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    // Windows gives a window without this hint a resizing border and a maximise command.
    QVERIFY(flags & Qt::MSWindowsFixedSizeDialogHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowStaysOnTopHint);
    // What the window system is told: it offers no resizing.
    QCOMPARE(f.windowHandle()->minimumSize(), f.windowHandle()->maximumSize());
}

QTEST_MAIN(TestShownWindow)
#include "tst_shownwindow.moc"
