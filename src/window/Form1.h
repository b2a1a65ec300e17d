#pragma once

#include "intake/UDPMessageProcessing.h"
#include "window/Settings.h"

#include <QMainWindow>

#include <cstdint>

class CallsignBox;
class CallsignTally;
class ChartControl;
class DecodeLog;
class FlexGrid;
class QAction;
class QLabel;
class QPushButton;
class QTextEdit;
class TrackedHistory;
class UdpListener;
class UserDialogs;

// The one window of the program: its controls and menu bar, start-up and shutdown, the handling
// of every datagram and the user's commands.
class Form1 : public QMainWindow, private DecodeSink {
    Q_OBJECT
public:
    static constexpr int WidthTwips = 7200;
    static constexpr int HeightTwips = 5200;
    // The log grid's right edge and a little room.
    static constexpr int MinClientWidthTwips = 7050;

    // folders are where the settings file may live; dialogs answers the modal questions.
    Form1(const SettingsFolders& folders, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~Form1() override;

    void Clear_Chart2();

    // The handlers, public so that the whole window can be driven as a user drives it.
    void UDPSocket_DataArrival(const QByteArray& datagram);
    void MSFlexGrid1_Click();
    void MSFlexGrid2_MouseDown(Qt::MouseButton button);
    void Text1_Click();
    static char16_t Text1_KeyPress(char16_t keyAscii);
    void Command1_Click();
    void mnuUDPport_Click();
    void mnuShowDB_Click();
    void mnuShowDT_Click();
    void mnuShowMessage_Click();

    // Closes the window, saving without a question, when the session ends the program.
    void closeAtTermination();

    std::uint16_t listenPort() const { return m_listenPort; }
    const QString& pickedTime() const { return m_pickedTime; }
    // Empty while the listener is open; else why it could not be opened.
    const QString& listenError() const { return m_listenError; }

    // The controls, by the names the rest of the program knows them by.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    FlexGrid* MSFlexGrid2 = nullptr;
    ChartControl* MSChart1 = nullptr;
    ChartControl* MSChart2 = nullptr;
    CallsignBox* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    QAction* mnuUDPport = nullptr;
    QAction* mnuShowDT = nullptr;
    QAction* mnuShowDB = nullptr;
    QAction* mnuShowMessage = nullptr;
    UdpListener* UDPSocket = nullptr;

    const CallsignTally& tally() const { return *m_tally; }
    const DecodeLog& decodeLog() const { return *m_log; }
    const TrackedHistory& history() const { return *m_history; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    // The tallies' state shown in the controls.
    void bindTallies();
    void Form_Load();
    void Form_Unload();
    // Saves the settings as the program goes; on failure says why on standard error, and in a
    // message box when mayAsk.
    void saveOnLeaving(bool mayAsk);
    // Writes the settings with the given port; on failure says why in error.
    bool saveSettings(std::uint16_t port, QString* error) const;
    void OpenListener();
    void resetHistory();
    // Which view shows; the menu item of the view in force is disabled.
    enum class View { ReceivedMessages, DtGraph, DbGraph };
    void showView(View view);
    // The tally's captions and, in the DT chart, its histogram.
    void showTally();
    void showDtChart();
    QString portCaption() const;
    // The settings name a multicast group that is none.
    bool groupIsBad() const;
    QString listenErrorMessage() const;
    void showDroppedDatagrams(std::uint64_t total);

    void showSenderId(const QString& id) override;
    void runDecodeSteps(const DecodeFields& fields) override;

    const SettingsFolders m_folders;
    SettingsFiles m_settingsFiles;
    UserDialogs& m_dialogs;
    UDPMessageProcessing m_intake;
    CallsignTally* m_tally = nullptr;
    DecodeLog* m_log = nullptr;
    TrackedHistory* m_history = nullptr;
    std::uint16_t m_listenPort = StoredSettings::DefaultPort;
    // Empty: listen at 127.0.0.1; else the multicast group as the settings give it.
    QString m_multicastGroup;
    std::uint64_t m_droppedDatagrams = 0;
    QString m_pickedTime;
    QString m_listenError;
    bool m_unloaded = false;
    // Ended by a termination signal: nobody is there to answer a question.
    bool m_endedBySignal = false;
    bool m_shownOnce = false;
    View m_view = View::ReceivedMessages;
};
