#include "window/Form1Controls.h"

#include "window/DecoderNotice.h"

#include "platform/UdpListener.h"
#include "tallies/CallsignTally.h"
#include "tallies/DecodeLog.h"
#include "tallies/TrackedHistory.h"
#include "widgets/CallsignBox.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"
#include "widgets/Geometry.h"

#include <QAction>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QTextEdit>

#include <iterator>

namespace {

// The menu bar's five items fit the designed width only a little closer together than the
// platforms' styles set them: at most 2 pixels between items and at the bar's ends, and 5 on
// either side of an item's text.
class CompactMenuBarStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_MenuBarItemSpacing || metric == PM_MenuBarHMargin)
            return qMin(2, QProxyStyle::pixelMetric(metric, option, widget));
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override
    {
        QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
        if (type == CT_MenuBarItem)
            size.setWidth(qMin(size.width(), contents.width() + 10));
        return size;
    }
};

QFont arial(double points, int weight = QFont::Normal)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

void setTextColor(QWidget& widget, const QColor& color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    widget.setPalette(palette);
}

template <typename Control> Control* named(Control* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

void place(QWidget& widget, const Design::Place& place)
{
    Geometry::place(widget, place.left, place.top, place.width, place.height);
}

static_assert(std::size(Design::LogColumnWidths) == DecodeLog::ColumnCount);
static_assert(std::size(Design::HistoryColumnWidths) == TrackedHistory::ColumnCount);

template <std::size_t N> void layOutGrid(FlexGrid& grid, const int (&widths)[N])
{
    for (int col = 0; col < static_cast<int>(N); ++col)
        grid.setColWidth(col, widths[col]);
    grid.setRowHeightAll(Design::RowHeight);
}

} // namespace

void Form1Controls::setupUi(QMainWindow& form)
{
    form.setWindowTitle(QStringLiteral("Vantorel"));
    // A fixed-size window: minimise and close, no maximise, no resizing border.
    form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QIcon icon(QStringLiteral(":/icons/vantorel-48.png"));
    icon.addFile(QStringLiteral(":/icons/vantorel-256.png"));
    form.setWindowIcon(icon);
    form.setFont(arial(9));
    auto* client = new QWidget(&form);
    form.setCentralWidget(client);

    QMenuBar& menu = *form.menuBar();
    auto* compact = new CompactMenuBarStyle;
    compact->setParent(&menu);
    menu.setStyle(compact);
    mnuUDPport = named(menu.addAction(QStringLiteral("UDP port")), "mnuUDPport");
    mnuDecoders = named(menu.addAction(QStringLiteral("Decoders")), "mnuDecoders");
    mnuShowDT = named(menu.addAction(QStringLiteral("Show DT Graph")), "mnuShowDT");
    mnuShowDB = named(menu.addAction(QStringLiteral("Show dB Graph")), "mnuShowDB");
    mnuShowMessage =
        named(menu.addAction(QStringLiteral("Show received message")), "mnuShowMessage");

    Text1 = named(new CallsignBox(client), "Text1");
    Text1->setFont(arial(9, QFont::Bold));
    Text1->showPrompt(QStringLiteral("Click to clear"));
    QPalette yellow = Text1->palette();
    yellow.setColor(QPalette::Base, Design::LightYellow);
    Text1->setPalette(yellow);

    MSChart1 =
        named(new ChartControl(ChartControl::Style::Bars, CallsignTally::BucketCount, 1, client),
              "MSChart1");
    MSChart1->setAxisTitles(QStringLiteral("DT (s)"), QStringLiteral("callsigns"));
    MSChart1->setAccessibleName(QStringLiteral("DT histogram"));

    Label1 = named(new QLabel(client), "Label1");
    setTextColor(*Label1, QColor(0, 0, 255));

    Label2 = named(new QLabel(client), "Label2");
    Label2->setFont(arial(8.25));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(*Label2, QColor(0, 0, 255));

    RichTextBox1 = named(new QTextEdit(client), "RichTextBox1");
    RichTextBox1->setFont(arial(9, QFont::Bold));
    // It lies below the visible client area and nothing uses it: typing must never vanish there.
    RichTextBox1->setFocusPolicy(Qt::NoFocus);

    MSFlexGrid1 = named(new FlexGrid(form.palette().color(QPalette::Base), client), "MSFlexGrid1");
    MSFlexGrid1->setFont(arial(8.25, QFont::Bold));

    MSFlexGrid2 = named(new FlexGrid(Design::LightYellow, client), "MSFlexGrid2");
    MSFlexGrid2->setFont(arial(8.25, QFont::Bold));

    MSChart2 =
        named(new ChartControl(ChartControl::Style::Lines, TrackedHistory::ChartPoints, 2, client),
              "MSChart2");
    MSChart2->setValueRange(TrackedHistory::SnrFloor, TrackedHistory::SnrCeiling);
    MSChart2->setAxisTitles(QStringLiteral("decode"), QStringLiteral("SNR (dB)"));
    MSChart2->setAccessibleName(QStringLiteral("SNR chart"));

    Label3 = named(new QLabel(client), "Label3");
    setTextColor(*Label3, QColor(255, 0, 0));

    Command1 = named(new QPushButton(QStringLiteral("Change color"), client), "Command1");
    Command1->setFont(arial(8.25));

    // Labels lie beneath the other controls: the prompt's box overlaps the callsign box. They
    // show texts from datagrams, the settings file and the user: never as markup.
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->lower();
        label->setTextFormat(Qt::PlainText);
    }

    // Focus order as designed: box, DT chart, rich text, log, history, dB chart, button.
    QWidget::setTabOrder(Text1, MSChart1);
    QWidget::setTabOrder(MSChart1, RichTextBox1);
    QWidget::setTabOrder(RichTextBox1, MSFlexGrid1);
    QWidget::setTabOrder(MSFlexGrid1, MSFlexGrid2);
    QWidget::setTabOrder(MSFlexGrid2, MSChart2);
    QWidget::setTabOrder(MSChart2, Command1);

    AlertCheck = named(new QCheckBox(QStringLiteral("Alert"), client), "AlertCheck");
    AlertCheck->setAccessibleName(QStringLiteral("Alert when the tracked callsign is heard"));
    AlertSoundCheck = named(new QCheckBox(QStringLiteral("with sound"), client), "AlertSoundCheck");
    AlertSoundCheck->setAccessibleName(QStringLiteral("Alert with a sound"));
    for (QCheckBox* check : {AlertCheck, AlertSoundCheck})
        check->setFont(arial(8.25));
    QWidget::setTabOrder(Text1, AlertCheck);
    QWidget::setTabOrder(AlertCheck, AlertSoundCheck);
    QWidget::setTabOrder(AlertSoundCheck, MSChart1);
    AlertAnnouncement = named(new QLabel(client), "AlertAnnouncement");
    AlertAnnouncement->setTextFormat(Qt::PlainText);

    Notice = new DecoderNotice(client);
    Notice->setFont(arial(8.25));
    QWidget::setTabOrder(Command1, Notice);

    UDPSocket = named(new UdpListener(&form), "UDPSocket");
}

void Form1Controls::placeControls()
{
    // Label1 is wider than designed, to the client area's right edge: the group and the
    // reasons a port cannot be used make the port caption longer than the designed 4740 twips.
    place(*Label1, Design::Label1);
    place(*Label2, Design::Label2);
    place(*Label3, Design::Label3);
    place(*Text1, Design::Text1);
    place(*RichTextBox1, Design::RichTextBox1);
    place(*Command1, Design::Command1);
    place(*MSChart1, Design::Chart);
    place(*MSChart2, Design::Chart);

    layOutGrid(*MSFlexGrid1, Design::LogColumnWidths);
    MSFlexGrid1->setColAlignment(DecodeLog::Dt, Qt::AlignLeft | Qt::AlignVCenter);
    MSFlexGrid1->setColAlignment(DecodeLog::Callsign, Qt::AlignLeft | Qt::AlignVCenter);
    place(*MSFlexGrid1, Design::MSFlexGrid1);

    layOutGrid(*MSFlexGrid2, Design::HistoryColumnWidths);
    MSFlexGrid2->setColAlignment(TrackedHistory::Callsign, Qt::AlignLeft | Qt::AlignVCenter);
    place(*MSFlexGrid2, Design::MSFlexGrid2);
    place(*Notice, Design::DecoderNotice);
    place(*AlertCheck, Design::AlertCheck);
    place(*AlertSoundCheck, Design::AlertSoundCheck);
    place(*AlertAnnouncement, Design::AlertAnnouncement);
}
