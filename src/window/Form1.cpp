#include "window/Form1.h"

#include "core/NumberParse.h"
#include "platform/SessionEnd.h"
#include "platform/UdpListener.h"
#include "tallies/CallsignTally.h"
#include "tallies/ChangeCheck.h"
#include "tallies/DecodeLog.h"
#include "tallies/DecodeSteps.h"
#include "tallies/TrackedHistory.h"
#include "widgets/CallsignBox.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"
#include "widgets/Geometry.h"
#include "window/DecoderNotice.h"
#include "window/Decoders.h"
#include "window/TallyViews.h"
#include "window/UserDialogs.h"
#include "window/WindowPlacement.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <cstdio>

Form1::Form1(const SettingsFolders& folders, UserDialogs& dialogs,
             const AlertServicesFactory& alertServices, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(folders)
    , m_dialogs(dialogs)
    , m_steps(new DecodeSteps(Geometry::winColor(Design::CallsignColor), this))
{
    setupUi(*this);
    m_bottomLine.emplace(*Label1);
    m_alert = new TrackedAlert(*this, *AlertAnnouncement, alertServices(*this), this);
    TallyViews::showTally(m_steps->tally(), *Label3, *MSChart1, [this](const QString& caption) {
        m_bottomLine->setCaption(View::DtGraph, caption);
    });
    TallyViews::showLog(m_steps->log(), *MSFlexGrid1);
    TallyViews::showHistory(m_steps->history(), *Text1, *MSFlexGrid2, *MSChart2);
    TallyViews::showClock(m_steps->clock(), *MSChart1);
    TallyViews::showChange(m_steps->change(), *MSChart2);

    connect(m_steps, &DecodeSteps::senderRead, this, &Form1::showSenderId);
    // A decoder is heard: the notice of one found elsewhere has had its day.
    connect(m_steps, &DecodeSteps::senderRead, Notice, &QWidget::hide);
    connect(Notice, &DecoderNotice::taken, this, &Form1::listenNow);
    connect(m_steps, &DecodeSteps::trackedHeard, m_alert, &TrackedAlert::heard);
    connect(Text1, &QLineEdit::textChanged, m_steps, &DecodeSteps::track);
    connect(AlertCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_alert->setEnabled(on);
        AlertSoundCheck->setEnabled(on);
    });
    connect(AlertSoundCheck, &QCheckBox::toggled, m_alert, &TrackedAlert::setSoundEnabled);
    connect(UDPSocket, &UdpListener::datagramArrived, this, &Form1::UDPSocket_DataArrival);
    connect(UDPSocket, &UdpListener::datagramsDropped, this, &Form1::showDroppedDatagrams);
    connect(MSFlexGrid1, &FlexGrid::cellClicked, this, &Form1::MSFlexGrid1_Click);
    connect(MSFlexGrid2, &FlexGrid::mouseDown, this, &Form1::MSFlexGrid2_MouseDown);
    // The keyboard's way to the history text.
    connect(MSFlexGrid2, &FlexGrid::menuKeyPressed, this,
            [this] { MSFlexGrid2_MouseDown(Qt::RightButton); });
    connect(Text1, &CallsignBox::clicked, this, &Form1::Text1_Click);
    connect(Text1, &CallsignBox::typingStarted, this, &Form1::Text1_Click);
    Text1->setKeyFilter(&Form1::Text1_KeyPress);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(mnuUDPport, &QAction::triggered, this, &Form1::mnuUDPport_Click);
    connect(mnuDecoders, &QAction::triggered, this, &Form1::mnuDecoders_Click);
    connect(mnuShowDT, &QAction::triggered, this, &Form1::mnuShowDT_Click);
    connect(mnuShowDB, &QAction::triggered, this, &Form1::mnuShowDB_Click);
    connect(mnuShowMessage, &QAction::triggered, this, &Form1::mnuShowMessage_Click);
    // The platform ends the program right after this, without closing the window: the
    // settings are saved now. Should the end be called off, closing later saves them again.
    connect(new SessionEnd(this), &SessionEnd::ending, this, [this] { saveOnLeaving(false); });

    Form_Load();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    // Re-registering the chart component has no counterpart here: the charts are built in.
    m_listening = m_settings.storedListening();
    placeWindow(m_settings.stored());

    if (!m_settings.anotherCopyRuns()) {
        findDecoders();
        OpenListener();
    }

    placeControls();
    TallyViews::showHistogram(m_steps->tally(), *MSChart1);
    MSChart1->hide();
    Clear_Chart2();
    MSChart2->hide();
    MSFlexGrid1->show();
    MSFlexGrid2->show();
    Text1->show();
    Label2->show();

    mnuShowDT->setEnabled(true);
    mnuShowMessage->setEnabled(false);
    mnuShowDB->setEnabled(true);
    m_bottomLine->setCaption(View::ReceivedMessages,
                             m_settings.anotherCopyRuns()
                                 ? QStringLiteral("Vantorel is already running with these settings")
                                 : listeningCaption());
    m_bottomLine->setCaption(View::DtGraph, m_steps->tally().dtCaption());
    Label2->setText(QStringLiteral("Click callsign above or type callsign hr"));
    AlertSoundCheck->setChecked(m_settings.stored().alertSound);
    AlertCheck->setChecked(m_settings.stored().alert);
    m_alert->setSoundEnabled(AlertSoundCheck->isChecked());
    m_alert->setEnabled(AlertCheck->isChecked());
    AlertSoundCheck->setEnabled(AlertCheck->isChecked());
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_steps->log().resetCounter();
    Command1->hide();
}

void Form1::placeWindow(const StoredSettings& settings)
{
    const WindowPlacement::Frame frame{style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth),
                                       style()->pixelMetric(QStyle::PM_TitleBarHeight)};
    const QSize client =
        WindowPlacement::clientSize(QSize(Geometry::toPixels(Design::WidthTwips, *this),
                                          Geometry::toPixels(Design::HeightTwips, *this)),
                                    Geometry::toPixels(Design::MinClientWidthTwips, *this), frame);
    // The controls stand where they were designed: the window keeps its size.
    setFixedSize(client);
    // A position saved on a screen that is gone, or edited by hand, would hide the window.
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    move(WindowPlacement::startPosition(
        QPoint(Geometry::toPixels(settings.left, *this), Geometry::toPixels(settings.top, *this)),
        client, frame, areas, primary ? primary->availableGeometry() : QRect()));
}

void Form1::OpenListener()
{
    if (UDPSocket->state() != UdpListener::Closed)
        return;
    UDPSocket->close();
    const std::optional<QHostAddress> address = m_listening.address();
    if (!address)
        m_listenError = m_listening.badGroupError();
    else if (UDPSocket->bind(m_listening.port(), *address))
        m_listenError.clear();
    else
        m_listenError = UDPSocket->errorString();
}

QString Form1::listeningCaption() const
{
    return m_listening.caption(m_listenError, m_droppedDatagrams);
}

void Form1::findDecoders()
{
    if (!m_settings.firstStart() || m_settings.decoderDir().isEmpty())
        return;
    const FirstStart found = Decoders::firstStart(DecoderSettings::find(m_settings.decoderDir()),
                                                  m_listening, MachineFacts::now());
    if (found.listen)
        m_listening = *found.listen;
    if (!found.notice.isEmpty())
        Notice->say(found.notice, found.offer);
}

void Form1::listenNow(const Listening& listening)
{
    m_listening = listening;
    UDPSocket->close();
    OpenListener();
    m_bottomLine->setCaption(View::ReceivedMessages, listeningCaption());
    if (!m_listenError.isEmpty())
        m_dialogs.showMessage(this, m_listening.errorMessage(m_listenError, m_settings.path()));
}

void Form1::showDroppedDatagrams(std::uint64_t total)
{
    m_droppedDatagrams = total;
    m_bottomLine->setCaption(View::ReceivedMessages, listeningCaption());
}

void Form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (m_settings.anotherCopyRuns()) {
        // This copy only says so, and goes.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_dialogs.showMessage(this, m_settings.anotherCopyMessage());
                close();
            },
            Qt::QueuedConnection);
    } else if (!m_listenError.isEmpty()) {
        // Said once the window stands, so the user sees which program could not listen.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_dialogs.showMessage(this,
                                      m_listening.errorMessage(m_listenError, m_settings.path()));
            },
            Qt::QueuedConnection);
    }
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
    if (m_settings.anotherCopyRuns())
        return;
    if (isMinimized())
        showNormal();
    QString error;
    if (saveSettings(m_listening, &error))
        return;
    std::fprintf(stderr, "vantorel: %s\n", qPrintable(error));
    if (mayAsk)
        m_dialogs.showMessage(this, error);
}

bool Form1::saveSettings(const Listening& listening, QString* error) const
{
    return m_settings.save(
        listening,
        QPointF(Geometry::toTwips(pos().x(), *this), Geometry::toTwips(pos().y(), *this)),
        {AlertCheck->isChecked(), AlertSoundCheck->isChecked()}, error);
}

void Form1::UDPSocket_DataArrival(const QByteArray& datagram)
{
    m_steps->process(datagram);
}

void Form1::showSenderId(const QString& id)
{
    // "[*]" in a title marks where a modified document's star goes; doubled, it stands as is.
    setWindowTitle(QStringLiteral("Vantorel Listening to ") +
                   QString(id).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void Form1::Clear_Chart2()
{
    m_steps->history().clearChart();
}

void Form1::Command1_Click()
{
    m_steps->history().switchColor();
    m_steps->change().switchBlock();
}

void Form1::MSFlexGrid1_Click()
{
    if (MSFlexGrid1->col() != DecodeLog::Callsign)
        return;
    const int row = MSFlexGrid1->row();
    Text1->setText(MSFlexGrid1->textMatrix(row, DecodeLog::Callsign));
    m_pickedTime = MSFlexGrid1->textMatrix(row, DecodeLog::Time);
    m_steps->history().reset();
    // Picked again, the callsign alerts at its next decode.
    m_steps->track(Text1->text());
}

void Form1::Text1_Click()
{
    Text1->setText(QString());
    m_steps->history().reset();
}

char16_t Form1::Text1_KeyPress(char16_t keyAscii)
{
    return keyAscii >= u'a' && keyAscii <= u'z' ? static_cast<char16_t>(keyAscii - 32) : keyAscii;
}

void Form1::MSFlexGrid2_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_dialogs.showLongText(this, m_steps->history().trackedHistoryText());
}

void Form1::mnuUDPport_Click()
{
    if (m_settings.anotherCopyRuns())
        return;
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
    listenFromNextStart(Listening(*port, m_listening.group()));
}

void Form1::mnuDecoders_Click()
{
    if (m_settings.anotherCopyRuns())
        return;
    if (const std::optional<Listening> chosen =
            Decoders::command(m_dialogs, this, m_settings.decoderDir(), m_listening))
        listenFromNextStart(*chosen);
}

void Form1::listenFromNextStart(const Listening& listening)
{
    // Where to listen lives only in the settings file until the next start: what cannot be
    // saved is said, and the program goes on as it was.
    QString error;
    if (!saveSettings(listening, &error)) {
        m_dialogs.showMessage(this, error + QStringLiteral("\n\nVantorel goes on listening at "
                                                           "port %1.")
                                                .arg(m_listening.port()));
        return;
    }
    m_listening = listening;
    m_dialogs.showMessage(this, QStringLiteral("Re-open Vantorel"));
    close();
}

void Form1::showView(View view)
{
    m_bottomLine->show(view);
    const bool db = view == View::DbGraph;
    const bool dt = view == View::DtGraph;
    const bool messages = view == View::ReceivedMessages;
    MSChart2->setVisible(db);
    MSChart1->setVisible(dt);
    MSFlexGrid1->setVisible(messages);
    MSFlexGrid2->setVisible(messages);
    Text1->setVisible(messages);
    AlertCheck->setVisible(messages);
    AlertSoundCheck->setVisible(messages);
    Label2->setVisible(messages);
    Command1->setVisible(db);
    mnuShowDB->setEnabled(!db);
    mnuShowDT->setEnabled(!dt);
    mnuShowMessage->setEnabled(!messages);
}

void Form1::mnuShowDB_Click()
{
    // The callsign and pick as they stand when the view is chosen.
    m_bottomLine->setCaption(View::DbGraph, QStringLiteral("dB changes for ") + Text1->text() +
                                                QStringLiteral(" from ") + m_pickedTime);
    showView(View::DbGraph);
}

void Form1::mnuShowDT_Click()
{
    showView(View::DtGraph);
}

void Form1::mnuShowMessage_Click()
{
    showView(View::ReceivedMessages);
}
