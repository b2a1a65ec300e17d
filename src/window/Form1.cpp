#include "window/Form1.h"

#include "core/NumberParse.h"
#include "platform/SessionEnd.h"
#include "platform/UdpListener.h"
#include "tallies/CallsignTally.h"
#include "tallies/CellTable.h"
#include "tallies/DecodeLog.h"
#include "tallies/TrackedHistory.h"
#include "widgets/CallsignBox.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"
#include "widgets/Geometry.h"
#include "window/Settings.h"
#include "window/UserDialogs.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHostAddress>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>

#include <cstdio>
#include <optional>

namespace {

// The multicast group of the settings: an IPv4 address from 224.0.0.0 to 239.255.255.255.
std::optional<QHostAddress> multicastGroup(const QString& text)
{
    const QHostAddress address(text);
    if (address.protocol() != QAbstractSocket::IPv4Protocol || !address.isMulticast())
        return std::nullopt;
    return address;
}

const QColor LightYellow(255, 255, 192);

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

} // namespace

Form1::Form1(const SettingsFolders& folders, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent)
    , m_folders(folders)
    , m_dialogs(dialogs)
{
    createControls();
    bindTallies();

    connect(UDPSocket, &UdpListener::datagramArrived, this, &Form1::UDPSocket_DataArrival);
    connect(UDPSocket, &UdpListener::datagramsDropped, this, &Form1::showDroppedDatagrams);
    connect(MSFlexGrid1, &FlexGrid::cellClicked, this, &Form1::MSFlexGrid1_Click);
    connect(MSFlexGrid2, &FlexGrid::mouseDown, this, &Form1::MSFlexGrid2_MouseDown);
    connect(Text1, &CallsignBox::clicked, this, &Form1::Text1_Click);
    connect(Text1, &CallsignBox::typingStarted, this, &Form1::Text1_Click);
    Text1->setKeyFilter(&Form1::Text1_KeyPress);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(mnuUDPport, &QAction::triggered, this, &Form1::mnuUDPport_Click);
    connect(mnuShowDT, &QAction::triggered, this, &Form1::mnuShowDT_Click);
    connect(mnuShowDB, &QAction::triggered, this, &Form1::mnuShowDB_Click);
    connect(mnuShowMessage, &QAction::triggered, this, &Form1::mnuShowMessage_Click);
    // The platform ends the program right after this, without closing the window: the
    // settings are saved now. Should the end be called off, closing later saves them again.
    connect(new SessionEnd(this), &SessionEnd::ending, this, [this] { saveOnLeaving(false); });

    Form_Load();
}

Form1::~Form1() = default;

void Form1::bindTallies()
{
    m_tally = new CallsignTally(this);
    connect(m_tally, &CallsignTally::changed, this, &Form1::showTally);

    m_log = new DecodeLog(Geometry::winColor(DecodeLog::CallsignColor), this);
    MSFlexGrid1->setModel(&m_log->page());
    connect(m_log, &DecodeLog::logged, this, [this] {
        MSFlexGrid1->setRow(m_log->newestRow());
        MSFlexGrid1->setCol(DecodeLog::Callsign);
        MSFlexGrid1->setTopRow(m_log->topRow());
    });

    m_history = new TrackedHistory(this);
    MSFlexGrid2->setModel(&m_history->page());
    connect(Text1, &QLineEdit::textChanged, m_history, &TrackedHistory::setTrackedCallsign);
    m_history->setTrackedCallsign(Text1->text());
    connect(m_history, &TrackedHistory::pageStarted, this, [this] {
        MSFlexGrid2->setCol(TrackedHistory::Time);
        MSFlexGrid2->setTopRow(0);
    });
    connect(m_history, &TrackedHistory::scrolled, MSFlexGrid2, &FlexGrid::setTopRow);
    connect(m_history, &TrackedHistory::pointSet, this, [this](int series, int point, int snr) {
        MSChart2->setRow(point);
        MSChart2->setColumn(series);
        MSChart2->setData(snr);
    });
    connect(m_history, &TrackedHistory::pointsCleared, this, [this] {
        for (int series = 1; series <= TrackedHistory::SeriesCount; ++series) {
            MSChart2->setColumn(series);
            for (int point = 1; point <= TrackedHistory::ChartPoints; ++point) {
                MSChart2->setRow(point);
                MSChart2->clearPoint();
            }
        }
    });
}

void Form1::createControls()
{
    setWindowTitle(QStringLiteral("Vantorel"));
    // A fixed-size window: minimise and close, no maximise, no resizing border.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QIcon icon(QStringLiteral(":/icons/vantorel-48.png"));
    icon.addFile(QStringLiteral(":/icons/vantorel-256.png"));
    setWindowIcon(icon);
    setFont(arial(9));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    mnuUDPport = menuBar()->addAction(QStringLiteral("UDP port"));
    mnuShowDT = menuBar()->addAction(QStringLiteral("Show DT Graph"));
    mnuShowDB = menuBar()->addAction(QStringLiteral("Show dB Graph"));
    mnuShowMessage = menuBar()->addAction(QStringLiteral("Show received message"));

    Text1 = new CallsignBox(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(arial(9, QFont::Bold));
    Text1->showPrompt(QStringLiteral("Click to clear"));
    QPalette yellow = Text1->palette();
    yellow.setColor(QPalette::Base, LightYellow);
    Text1->setPalette(yellow);
    Geometry::place(*Text1, 5000, 3300, 1575, 330);

    MSChart1 = new ChartControl(ChartControl::Style::Bars, CallsignTally::BucketCount, 1, client);
    MSChart1->setObjectName(QStringLiteral("MSChart1"));
    MSChart1->setAxisTitles(QStringLiteral("DT (s)"), QStringLiteral("callsigns"));
    MSChart1->setAccessibleName(QStringLiteral("DT histogram"));

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    setTextColor(*Label1, QColor(0, 0, 255));
    // Wider than designed, to the client area's right edge: the group and the reasons a port
    // cannot be used make the port caption longer than the designed 4740 twips.
    Geometry::place(*Label1, 1560, 4080, 5490, 255);

    Label2 = new QLabel(client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(arial(8.25));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(*Label2, QColor(0, 0, 255));
    Geometry::place(*Label2, 4250, 3050, 3495, 615);

    RichTextBox1 = new QTextEdit(client);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setFont(arial(9, QFont::Bold));
    // It lies below the visible client area and nothing uses it: typing must never vanish there.
    RichTextBox1->setFocusPolicy(Qt::NoFocus);
    Geometry::place(*RichTextBox1, 0, 4800, 6090, 735);

    MSFlexGrid1 = new FlexGrid(palette().color(QPalette::Base), client);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setFont(arial(8.25, QFont::Bold));

    MSFlexGrid2 = new FlexGrid(LightYellow, client);
    MSFlexGrid2->setObjectName(QStringLiteral("MSFlexGrid2"));
    MSFlexGrid2->setFont(arial(8.25, QFont::Bold));

    MSChart2 = new ChartControl(ChartControl::Style::Lines, TrackedHistory::ChartPoints, 2, client);
    MSChart2->setObjectName(QStringLiteral("MSChart2"));
    MSChart2->setValueRange(TrackedHistory::SnrFloor, TrackedHistory::SnrCeiling);
    MSChart2->setAxisTitles(QStringLiteral("decode"), QStringLiteral("SNR (dB)"));
    MSChart2->setAccessibleName(QStringLiteral("SNR chart"));

    Label3 = new QLabel(client);
    Label3->setObjectName(QStringLiteral("Label3"));
    setTextColor(*Label3, QColor(255, 0, 0));
    Geometry::place(*Label3, 120, 120, 6135, 255);

    Command1 = new QPushButton(QStringLiteral("Change color"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(arial(8.25));
    Geometry::place(*Command1, 120, 3960, 1215, 375);

    // Labels lie beneath the other controls: the prompt's box overlaps the callsign box. They
    // show texts from datagrams, the settings file and the user: never as markup.
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->lower();
        label->setTextFormat(Qt::PlainText);
    }

    // Focus order as designed: box, DT chart, rich text, log, history, dB chart, button.
    setTabOrder(Text1, MSChart1);
    setTabOrder(MSChart1, RichTextBox1);
    setTabOrder(RichTextBox1, MSFlexGrid1);
    setTabOrder(MSFlexGrid1, MSFlexGrid2);
    setTabOrder(MSFlexGrid2, MSChart2);
    setTabOrder(MSChart2, Command1);

    UDPSocket = new UdpListener(this);
}

void Form1::Form_Load()
{
    // Re-registering the chart component has no counterpart here: the charts are built in.
    m_settingsFiles = SettingsFiles::locate(m_folders);
    const StoredSettings settings = StoredSettings::read(m_settingsFiles.readPath);
    m_listenPort = settings.listenPort;
    m_multicastGroup = settings.multicastGroup;
    // The size given is the outer size, title bar and borders included.
    const int frame = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    // Borders wider than the design's (Windows 10 and 11 have 8 pixels) would cut the log's
    // right edge: the client area keeps room for it.
    const QSize client(qMax(Geometry::toPixels(WidthTwips, *this) - 2 * frame,
                            Geometry::toPixels(MinClientWidthTwips, *this)),
                       Geometry::toPixels(HeightTwips, *this) - titleBar - 2 * frame);
    // The controls stand where they were designed: the window keeps its size.
    setFixedSize(client);
    // A position saved on a screen that is gone, or edited by hand, would hide the window.
    const QPoint saved(Geometry::toPixels(settings.left, *this),
                       Geometry::toPixels(settings.top, *this));
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    move(Geometry::reachablePosition(QRect(saved, client + QSize(2 * frame, titleBar + 2 * frame)),
                                     titleBar, areas,
                                     primary ? primary->availableGeometry() : QRect()));

    OpenListener();

    showDtChart();
    Geometry::place(*MSChart1, 50, 450, 7000, 3400);
    MSChart1->hide();
    Clear_Chart2();
    Geometry::place(*MSChart2, 50, 450, 7000, 3400);
    MSChart2->hide();

    const int logWidths[] = {500, 1000, 700, 700, 1400, 5000};
    for (int col = 0; col < DecodeLog::ColumnCount; ++col)
        MSFlexGrid1->setColWidth(col, logWidths[col]);
    MSFlexGrid1->setRowHeightAll(200);
    MSFlexGrid1->setColAlignment(DecodeLog::Dt, Qt::AlignLeft | Qt::AlignVCenter);
    MSFlexGrid1->setColAlignment(DecodeLog::Callsign, Qt::AlignLeft | Qt::AlignVCenter);
    Geometry::place(*MSFlexGrid1, 100, 450, 6900, 2310);
    MSFlexGrid1->show();

    const int historyWidths[] = {1000, 700, 700, 1400};
    for (int col = 0; col < TrackedHistory::ColumnCount; ++col)
        MSFlexGrid2->setColWidth(col, historyWidths[col]);
    MSFlexGrid2->setRowHeightAll(200);
    MSFlexGrid2->setColAlignment(TrackedHistory::Callsign, Qt::AlignLeft | Qt::AlignVCenter);
    Geometry::place(*MSFlexGrid2, 100, 2800, 4100, 1150);
    MSFlexGrid2->show();

    Text1->show();
    Text1->move(Geometry::toPixels(5000, *this), Geometry::toPixels(3300, *this));
    Label2->show();
    Label2->move(Geometry::toPixels(4250, *this), Geometry::toPixels(3050, *this));

    mnuShowDT->setEnabled(true);
    mnuShowMessage->setEnabled(false);
    mnuShowDB->setEnabled(true);
    Label1->setText(portCaption());
    Label2->setText(QStringLiteral("Click callsign above or type callsign hr"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_log->resetCounter();
    Command1->hide();
}

void Form1::OpenListener()
{
    if (UDPSocket->state() != UdpListener::Closed)
        return;
    UDPSocket->close();
    m_listenError.clear();
    QHostAddress address(QHostAddress::LocalHost);
    if (!m_multicastGroup.isEmpty()) {
        const std::optional<QHostAddress> group = multicastGroup(m_multicastGroup);
        if (!group) {
            m_listenError = QStringLiteral("\"%1\" is not a multicast group from 224.0.0.0 "
                                           "to 239.255.255.255")
                                .arg(m_multicastGroup);
            return;
        }
        address = *group;
    }
    if (!UDPSocket->bind(m_listenPort, address))
        m_listenError = UDPSocket->errorString();
}

bool Form1::groupIsBad() const
{
    return !m_multicastGroup.isEmpty() && !multicastGroup(m_multicastGroup);
}

QString Form1::portCaption() const
{
    // The group as written can be of any length: the whole of it is in the message box.
    if (groupIsBad())
        return QStringLiteral("Cannot listen: \"Multicast group\" holds no multicast group");
    if (!m_listenError.isEmpty())
        return QStringLiteral("Cannot listen at port %1: %2").arg(m_listenPort).arg(m_listenError);
    const QString group =
        m_multicastGroup.isEmpty() ? QString() : QStringLiteral(" in group ") + m_multicastGroup;
    QString caption =
        QStringLiteral("Looking for UDP message at port %1%2.....").arg(m_listenPort).arg(group);
    if (m_droppedDatagrams > 0)
        caption +=
            QStringLiteral(" %1 datagrams dropped: too many at once").arg(m_droppedDatagrams);
    return caption;
}

void Form1::showDroppedDatagrams(std::uint64_t total)
{
    m_droppedDatagrams = total;
    // The port caption belongs to the received-message view.
    if (m_view == View::ReceivedMessages)
        Label1->setText(portCaption());
}

void Form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (!m_listenError.isEmpty()) {
        // Said once the window stands, so the user sees which program could not listen.
        QMetaObject::invokeMethod(
            this, [this] { m_dialogs.showMessage(this, listenErrorMessage()); },
            Qt::QueuedConnection);
    }
}

QString Form1::listenErrorMessage() const
{
    if (groupIsBad()) {
        // "UDP port" cannot mend a group: only the settings file holds it.
        return QStringLiteral("Vantorel cannot listen for decodes: %1.\n\nClose Vantorel, then "
                              "correct the key \"Multicast group\" in the section [User] of "
                              "%2, or remove it to listen at 127.0.0.1.")
            .arg(m_listenError, QDir::toNativeSeparators(m_settingsFiles.writePath));
    }
    const QString where = m_multicastGroup.isEmpty()
                              ? QStringLiteral("at 127.0.0.1")
                              : QStringLiteral("in group ") + m_multicastGroup;
    return QStringLiteral("Vantorel cannot listen for decodes %1 port %2: %3\n\nChoose another "
                          "port with \"UDP port\".")
        .arg(where)
        .arg(m_listenPort)
        .arg(m_listenError);
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QMainWindow::closeEvent(event);
}

void Form1::closeAtTermination()
{
    m_endedBySignal = true;
    close();
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // A session that ends the program cannot wait for an answer.
    saveOnLeaving(!m_endedBySignal);
}

void Form1::saveOnLeaving(bool mayAsk)
{
    if (isMinimized())
        showNormal();
    QString error;
    if (saveSettings(m_listenPort, &error))
        return;
    std::fprintf(stderr, "vantorel: %s\n", qPrintable(error));
    if (mayAsk)
        m_dialogs.showMessage(this, error);
}

bool Form1::saveSettings(std::uint16_t port, QString* error) const
{
    StoredSettings settings;
    settings.listenPort = port;
    settings.multicastGroup = m_multicastGroup;
    settings.top = static_cast<float>(Geometry::toTwips(pos().y(), *this));
    settings.left = static_cast<float>(Geometry::toTwips(pos().x(), *this));
    QString reason;
    if (settings.write(m_settingsFiles.writePath, &reason))
        return true;
    *error = QStringLiteral("Vantorel cannot save its settings in %1: %2")
                 .arg(QDir::toNativeSeparators(m_settingsFiles.writePath), reason);
    return false;
}

void Form1::UDPSocket_DataArrival(const QByteArray& datagram)
{
    // The one boundary of a datagram: whatever fails in it ends only that datagram, silently,
    // and keeps what was already done.
    try {
        m_intake.ProcessDatagram(datagram, *this);
    } catch (const std::exception&) {
    }
}

void Form1::showSenderId(const QString& id)
{
    // "[*]" in a title marks where a modified document's star goes; doubled, it stands as is.
    setWindowTitle(QStringLiteral("Vantorel Listening to ") +
                   QString(id).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void Form1::runDecodeSteps(const DecodeFields& fields)
{
    m_tally->TallyDecode(fields);
    m_history->TrackDecode(fields);
    m_log->LogDecode(fields);
    m_history->ScrollTrackedHistory();
}

void Form1::Clear_Chart2()
{
    m_history->Clear_Chart2();
}

void Form1::Command1_Click()
{
    m_history->Command1_Click();
}

void Form1::resetHistory()
{
    m_history->reset();
}

void Form1::MSFlexGrid1_Click()
{
    if (MSFlexGrid1->col() != DecodeLog::Callsign)
        return;
    const int row = MSFlexGrid1->row();
    Text1->setText(MSFlexGrid1->textMatrix(row, DecodeLog::Callsign));
    m_pickedTime = MSFlexGrid1->textMatrix(row, DecodeLog::Time);
    resetHistory();
}

void Form1::Text1_Click()
{
    Text1->setText(QString());
    resetHistory();
}

char16_t Form1::Text1_KeyPress(char16_t keyAscii)
{
    return keyAscii >= u'a' && keyAscii <= u'z' ? static_cast<char16_t>(keyAscii - 32) : keyAscii;
}

void Form1::MSFlexGrid2_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_dialogs.showLongText(this, m_history->trackedHistoryText());
}

void Form1::mnuUDPport_Click()
{
    // Any answer that is no usable port ends the command with nothing changed.
    const std::optional<QString> answer = m_dialogs.askText(
        this, QStringLiteral("TYpe UDP port number"), QString::number(StoredSettings::DefaultPort));
    if (!answer)
        return;
    const std::optional<double> number = NumberParse::wholeNumber(*answer);
    if (!number)
        return;
    const std::optional<std::uint16_t> port = NumberParse::toPort(*number);
    if (!port)
        return;
    // The new port lives only in the settings file until the next start: a port that cannot
    // be saved is said, and the program goes on as it was.
    QString error;
    if (!saveSettings(*port, &error)) {
        m_dialogs.showMessage(this, error + QStringLiteral("\n\nVantorel goes on listening at "
                                                           "port %1.")
                                                .arg(m_listenPort));
        return;
    }
    m_listenPort = *port;
    m_dialogs.showMessage(this, QStringLiteral("Re-open Vantorel"));
    close();
}

void Form1::showTally()
{
    Label3->setText(m_tally->statusCaption());
    if (m_view == View::DtGraph)
        Label1->setText(m_tally->dtCaption());
    showDtChart();
}

void Form1::showDtChart()
{
    MSChart1->setChartData(m_tally->chartData());
    for (int row = 1; row <= CallsignTally::BucketCount; ++row)
        MSChart1->setRowLabel(row, CallsignTally::RowLabels[row - 1]);
}

void Form1::showView(View view)
{
    m_view = view;
    const bool db = view == View::DbGraph;
    const bool dt = view == View::DtGraph;
    const bool messages = view == View::ReceivedMessages;
    MSChart2->setVisible(db);
    MSChart1->setVisible(dt);
    MSFlexGrid1->setVisible(messages);
    MSFlexGrid2->setVisible(messages);
    Text1->setVisible(messages);
    Label2->setVisible(messages);
    Command1->setVisible(db);
    mnuShowDB->setEnabled(!db);
    mnuShowDT->setEnabled(!dt);
    mnuShowMessage->setEnabled(!messages);
}

void Form1::mnuShowDB_Click()
{
    showView(View::DbGraph);
    Label1->setText(QStringLiteral("dB changes for ") + Text1->text() + QStringLiteral(" from ") +
                    m_pickedTime);
}

void Form1::mnuShowDT_Click()
{
    showView(View::DtGraph);
    Label1->setText(m_tally->dtCaption());
}

void Form1::mnuShowMessage_Click()
{
    showView(View::ReceivedMessages);
    Label1->setText(portCaption());
}
