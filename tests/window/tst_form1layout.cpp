#include "FormHarness.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"
#include "widgets/Geometry.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTextEdit>

class TestForm1Layout : public QObject {
    Q_OBJECT
private slots:
    void menuBarHasItsItemsInOrder();
    void startUpShowsTheReceivedMessageView();
    void controlsHaveTheirDesignedTextsFontsAndColours();
    void eachViewFitsTheClientAreaWithoutOverlaps();
    void gridsHaveTheirRowsAndColumns();
    void chartsStartEmptyWithTheirLabels();
    void clickIntoTheBoxReachesItThroughThePrompt();
    void clientKeepsTheDesignedWidthOrRoomForTheLog_data();
    void clientKeepsTheDesignedWidthOrRoomForTheLog();
};

namespace {

// A style whose windows have borders of a given width, as Windows 10 and 11 give 8 pixels.
class BorderStyle : public QProxyStyle {
public:
    explicit BorderStyle(int border)
        : m_border(border)
    {
    }
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        return metric == PM_MdiSubWindowFrameWidth
                   ? m_border
                   : QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    const int m_border;
};

} // namespace

void TestForm1Layout::menuBarHasItsItemsInOrder()
{
    FormHarness h;
    QStringList texts;
    const QList<QAction*> items = h.form->menuBar()->actions();
    for (QAction* item : items)
        texts << item->text();
    QCOMPARE(texts, (QStringList{"UDP port", "Decoders", "Show DT Graph", "Show dB Graph",
                                 "Show received message"}));
    for (QAction* item : items)
        QVERIFY(item->menu() == nullptr);
    // Every item stands in the bar itself, none in its overflow menu.
    h.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
    for (QAction* item : items) {
        const QRect place = h.form->menuBar()->actionGeometry(item);
        QVERIFY2(!place.isEmpty() && h.form->menuBar()->rect().contains(place),
                 qPrintable(item->text()));
    }
    QVERIFY(h.controls().mnuUDPport->isEnabled());
    QVERIFY(h.controls().mnuShowDT->isEnabled());
    QVERIFY(h.controls().mnuShowDB->isEnabled());
    QVERIFY(!h.controls().mnuShowMessage->isEnabled());
}

void TestForm1Layout::startUpShowsTheReceivedMessageView()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    for (QWidget* shown : std::initializer_list<QWidget*>{c.MSFlexGrid1, c.MSFlexGrid2, c.Text1,
                                                          c.Label2, c.Label1, c.Label3})
        QVERIFY2(!shown->isHidden(), qPrintable(shown->objectName()));
    for (QWidget* hidden : std::initializer_list<QWidget*>{c.MSChart1, c.MSChart2, c.Command1})
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    QCOMPARE(f.windowTitle(), QString("Vantorel"));
    // The program's own icon, for the title bar, the task bar and the window switcher.
    QVERIFY(f.windowIcon().availableSizes().contains(QSize(48, 48)));
    QCOMPARE(c.Label1->text(),
             QStringLiteral("Looking for UDP message at port %1.....").arg(h.port));
    QCOMPARE(c.Label2->text(), QString("Click callsign above or type callsign hr"));
    QCOMPARE(c.Label3->text(), QString());
    QVERIFY(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void TestForm1Layout::controlsHaveTheirDesignedTextsFontsAndColours()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    QCOMPARE(c.Text1->text(), QString("Click to clear"));
    QVERIFY(c.Text1->font().bold());
    QCOMPARE(c.Text1->palette().color(QPalette::Base), QColor(255, 255, 192));
    QCOMPARE(c.Command1->text(), QString("Change color"));
    QCOMPARE(c.Label3->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(c.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(c.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(c.Label2->wordWrap());
    QCOMPARE(f.font().family(), QString("Arial"));
    QCOMPARE(f.font().pointSizeF(), 9.0);
    QCOMPARE(c.Label2->font().pointSizeF(), 8.25);
    QVERIFY(c.MSFlexGrid1->font().bold());
    QCOMPARE(c.MSFlexGrid1->font().pointSizeF(), 8.25);
    // Cells of the history grid are light yellow like the box.
    QCOMPARE(c.MSFlexGrid2->drawnBackColor(0, 0), QColor(255, 255, 192));
}

void TestForm1Layout::eachViewFitsTheClientAreaWithoutOverlaps()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QRect client = f.centralWidget()->rect();
    // The prompt's label reaches under the callsign box by design.
    const auto designedOverlap = [&c](const QWidget* a, const QWidget* b) {
        return (a == c.Label2 && b == c.Text1) || (a == c.Text1 && b == c.Label2);
    };
    for (QAction* view : {c.mnuShowDT, c.mnuShowDB, c.mnuShowMessage}) {
        view->trigger();
        QList<const QWidget*> shown;
        for (const QWidget* control :
             f.centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            // The rich text box is unused and lies below the client area.
            if (control->isVisible() && control != c.RichTextBox1)
                shown << control;
        }
        for (const QWidget* control : shown) {
            QRect area = control->geometry();
            // Of a label, its text must show whole, not its box.
            if (const auto* label = qobject_cast<const QLabel*>(control))
                area.setWidth(label->sizeHint().width());
            QVERIFY2(client.contains(area),
                     qPrintable(view->text() + ": " + control->objectName()));
            for (const QWidget* other : shown) {
                QVERIFY2(control == other || designedOverlap(control, other) ||
                             !control->geometry().intersects(other->geometry()),
                         qPrintable(control->objectName() + " over " + other->objectName()));
            }
        }
    }
}

void TestForm1Layout::gridsHaveTheirRowsAndColumns()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    QCOMPARE(c.MSFlexGrid1->rows(), 100);
    QCOMPARE(c.MSFlexGrid1->cols(), 6);
    QCOMPARE(c.MSFlexGrid2->rows(), 50);
    QCOMPARE(c.MSFlexGrid2->cols(), 4);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    c.Text1->setText(QStringLiteral("VK9/K1ABC/P"));
    h.decode("CQ VK9/K1ABC/P FN42", -24, -0.5, 86'399'000);
    // Each column shows a wide text of its kind whole; the tracked history needs no scrolling
    // sideways, and in the log only the message runs past the right edge.
    const auto showsWhole = [](const FlexGrid* grid, int row, int col) {
        const int width = grid->fontMetrics().horizontalAdvance(grid->textMatrix(row, col));
        return width < grid->columnWidth(col);
    };
    for (int col = 0; col < 5; ++col)
        QVERIFY2(showsWhole(c.MSFlexGrid1, 0, col), qPrintable(QString::number(col)));
    QVERIFY(c.MSFlexGrid1->columnViewportPosition(5) < c.MSFlexGrid1->viewport()->width());
    int historyWidth = 0;
    for (int col = 0; col < 4; ++col) {
        QVERIFY2(showsWhole(c.MSFlexGrid2, 0, col), qPrintable(QString::number(col)));
        historyWidth += c.MSFlexGrid2->columnWidth(col);
    }
    QVERIFY(historyWidth <= c.MSFlexGrid2->viewport()->width());
    // Numbers stand at the right, except the log's DT, which stands at the left like the texts.
    QCOMPARE(c.MSFlexGrid1->cellAlignment(0, 0) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(c.MSFlexGrid1->cellAlignment(0, 2) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(c.MSFlexGrid1->cellAlignment(0, 3) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(c.MSFlexGrid1->cellAlignment(0, 4) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(c.MSFlexGrid2->cellAlignment(0, 1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(c.MSFlexGrid2->cellAlignment(0, 2) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(c.MSFlexGrid2->cellAlignment(0, 3) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

void TestForm1Layout::chartsStartEmptyWithTheirLabels()
{
    FormHarness h;
    const Form1Controls c = h.controls();
    const QStringList labels = {"<-0.6", "-0.5", "-0.4", "-0.3", "-0.2", "-0.1", "0",
                                "0.1",   "0.2",  "0.3",  "0.4",  "0.5",  ">0.6"};
    for (int row = 1; row <= 13; ++row) {
        QCOMPARE(c.MSChart1->rowLabel(row), labels[row - 1]);
        QCOMPARE(c.MSChart1->value(row, 1), 0.0);
    }
    QCOMPARE(c.MSChart2->rowCount(), 70);
    QCOMPARE(c.MSChart2->columnCount(), 2);
    QCOMPARE(c.MSChart2->rowLabel(70), QString("R70"));
}

void TestForm1Layout::clickIntoTheBoxReachesItThroughThePrompt()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    f.show();
    QVERIFY(c.Label2->geometry().intersects(c.Text1->geometry()));
    QWidget* client = c.Text1->parentWidget();
    QCOMPARE(client->childAt(c.Text1->geometry().center()), c.Text1);
    QTest::mouseClick(client->childAt(c.Text1->geometry().center()), Qt::LeftButton);
    QCOMPARE(c.Text1->text(), QString());
}

void TestForm1Layout::clientKeepsTheDesignedWidthOrRoomForTheLog_data()
{
    QTest::addColumn<int>("border");
    QTest::newRow("narrow borders: as designed") << 4;
    QTest::newRow("wide borders: room for the log") << 8;
}

void TestForm1Layout::clientKeepsTheDesignedWidthOrRoomForTheLog()
{
    QFETCH(int, border);
    const QString styleName = QApplication::style()->name();
    QApplication::setStyle(new BorderStyle(border));
    const auto restore = qScopeGuard([&styleName] { QApplication::setStyle(styleName); });
    FormHarness h;
    const int designed = Geometry::toPixels(Design::WidthTwips, *h.form) - 2 * border;
    const int logRoom = Geometry::toPixels(Design::MinClientWidthTwips, *h.form);
    QCOMPARE(h.form->width(), qMax(designed, logRoom));
    QVERIFY(h.controls().MSFlexGrid1->geometry().right() < h.form->width());
}

QTEST_MAIN(TestForm1Layout)
#include "tst_form1layout.moc"
