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
    void menuBarHasFourItemsInOrder();
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

void TestForm1Layout::menuBarHasFourItemsInOrder()
{
    FormHarness h;
    const QList<QAction*> items = h.form->menuBar()->actions();
    QCOMPARE(items.size(), 4);
    QCOMPARE(items[0]->text(), QString("UDP port"));
    QCOMPARE(items[1]->text(), QString("Show DT Graph"));
    QCOMPARE(items[2]->text(), QString("Show dB Graph"));
    QCOMPARE(items[3]->text(), QString("Show received message"));
    for (QAction* item : items)
        QVERIFY(item->menu() == nullptr);
    QVERIFY(h.form->mnuUDPport->isEnabled());
    QVERIFY(h.form->mnuShowDT->isEnabled());
    QVERIFY(h.form->mnuShowDB->isEnabled());
    QVERIFY(!h.form->mnuShowMessage->isEnabled());
}

void TestForm1Layout::startUpShowsTheReceivedMessageView()
{
    FormHarness h;
    Form1& f = *h.form;
    for (QWidget* shown : std::initializer_list<QWidget*>{f.MSFlexGrid1, f.MSFlexGrid2, f.Text1,
                                                          f.Label2, f.Label1, f.Label3})
        QVERIFY2(!shown->isHidden(), qPrintable(shown->objectName()));
    for (QWidget* hidden : std::initializer_list<QWidget*>{f.MSChart1, f.MSChart2, f.Command1})
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    QCOMPARE(f.windowTitle(), QString("Vantorel"));
    // The program's own icon, for the title bar, the task bar and the window switcher.
    QVERIFY(f.windowIcon().availableSizes().contains(QSize(48, 48)));
    QCOMPARE(f.Label1->text(),
             QStringLiteral("Looking for UDP message at port %1.....").arg(h.form->listenPort()));
    QCOMPARE(f.Label2->text(), QString("Click callsign above or type callsign hr"));
    QCOMPARE(f.Label3->text(), QString());
    QVERIFY(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(f.listenError(), QString());
}

void TestForm1Layout::controlsHaveTheirDesignedTextsFontsAndColours()
{
    FormHarness h;
    Form1& f = *h.form;
    QCOMPARE(f.Text1->text(), QString("Click to clear"));
    QVERIFY(f.Text1->font().bold());
    QCOMPARE(f.Text1->palette().color(QPalette::Base), QColor(255, 255, 192));
    QCOMPARE(f.Command1->text(), QString("Change color"));
    QCOMPARE(f.Label3->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(f.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(f.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(f.Label2->wordWrap());
    QCOMPARE(f.font().family(), QString("Arial"));
    QCOMPARE(f.font().pointSizeF(), 9.0);
    QCOMPARE(f.Label2->font().pointSizeF(), 8.25);
    QVERIFY(f.MSFlexGrid1->font().bold());
    QCOMPARE(f.MSFlexGrid1->font().pointSizeF(), 8.25);
    // Cells of the history grid are light yellow like the box.
    QCOMPARE(f.MSFlexGrid2->drawnBackColor(0, 0), QColor(255, 255, 192));
}

void TestForm1Layout::eachViewFitsTheClientAreaWithoutOverlaps()
{
    FormHarness h;
    Form1& f = *h.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QRect client = f.centralWidget()->rect();
    // The prompt's label reaches under the callsign box by design.
    const auto designedOverlap = [&f](const QWidget* a, const QWidget* b) {
        return (a == f.Label2 && b == f.Text1) || (a == f.Text1 && b == f.Label2);
    };
    for (QAction* view : {f.mnuShowDT, f.mnuShowDB, f.mnuShowMessage}) {
        view->trigger();
        QList<const QWidget*> shown;
        for (const QWidget* control :
             f.centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            // The rich text box is unused and lies below the client area.
            if (control->isVisible() && control != f.RichTextBox1)
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
    QCOMPARE(f.MSFlexGrid1->rows(), 100);
    QCOMPARE(f.MSFlexGrid1->cols(), 6);
    QCOMPARE(f.MSFlexGrid2->rows(), 50);
    QCOMPARE(f.MSFlexGrid2->cols(), 4);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.Text1->setText(QStringLiteral("VK9/K1ABC/P"));
    h.decode("CQ VK9/K1ABC/P FN42", -24, -0.5, 86'399'000);
    // Each column shows a wide text of its kind whole; the tracked history needs no scrolling
    // sideways, and in the log only the message runs past the right edge.
    const auto showsWhole = [](const FlexGrid* grid, int row, int col) {
        const int width = grid->fontMetrics().horizontalAdvance(grid->textMatrix(row, col));
        return width < grid->columnWidth(col);
    };
    for (int col = 0; col < 5; ++col)
        QVERIFY2(showsWhole(f.MSFlexGrid1, 0, col), qPrintable(QString::number(col)));
    QVERIFY(f.MSFlexGrid1->columnViewportPosition(5) < f.MSFlexGrid1->viewport()->width());
    int historyWidth = 0;
    for (int col = 0; col < 4; ++col) {
        QVERIFY2(showsWhole(f.MSFlexGrid2, 0, col), qPrintable(QString::number(col)));
        historyWidth += f.MSFlexGrid2->columnWidth(col);
    }
    QVERIFY(historyWidth <= f.MSFlexGrid2->viewport()->width());
    // Numbers stand at the right, except the log's DT, which stands at the left like the texts.
    QCOMPARE(f.MSFlexGrid1->cellAlignment(0, 0) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(f.MSFlexGrid1->cellAlignment(0, 2) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(f.MSFlexGrid1->cellAlignment(0, 3) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(f.MSFlexGrid1->cellAlignment(0, 4) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(f.MSFlexGrid2->cellAlignment(0, 1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(f.MSFlexGrid2->cellAlignment(0, 2) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(f.MSFlexGrid2->cellAlignment(0, 3) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

void TestForm1Layout::chartsStartEmptyWithTheirLabels()
{
    FormHarness h;
    Form1& f = *h.form;
    const QStringList labels = {"<-0.6", "-0.5", "-0.4", "-0.3", "-0.2", "-0.1", "0",
                                "0.1",   "0.2",  "0.3",  "0.4",  "0.5",  ">0.6"};
    for (int row = 1; row <= 13; ++row) {
        QCOMPARE(f.MSChart1->rowLabel(row), labels[row - 1]);
        QCOMPARE(f.MSChart1->value(row, 1), 0.0);
    }
    QCOMPARE(f.MSChart2->rowCount(), 70);
    QCOMPARE(f.MSChart2->columnCount(), 2);
    QCOMPARE(f.MSChart2->rowLabel(70), QString("R70"));
}

void TestForm1Layout::clickIntoTheBoxReachesItThroughThePrompt()
{
    FormHarness h;
    Form1& f = *h.form;
    f.show();
    QVERIFY(f.Label2->geometry().intersects(f.Text1->geometry()));
    QWidget* client = f.Text1->parentWidget();
    QCOMPARE(client->childAt(f.Text1->geometry().center()), f.Text1);
    QTest::mouseClick(client->childAt(f.Text1->geometry().center()), Qt::LeftButton);
    QCOMPARE(f.Text1->text(), QString());
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
    const int designed = Geometry::toPixels(Form1::WidthTwips, *h.form) - 2 * border;
    const int logRoom = Geometry::toPixels(Form1::MinClientWidthTwips, *h.form);
    QCOMPARE(h.form->width(), qMax(designed, logRoom));
    QVERIFY(h.form->MSFlexGrid1->geometry().right() < h.form->width());
}

QTEST_MAIN(TestForm1Layout)
#include "tst_form1layout.moc"
