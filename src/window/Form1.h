#pragma once

#include "window/BottomLine.h"
#include "window/Form1Controls.h"
#include "window/Listening.h"
#include "window/SettingsKeeper.h"
#include "window/TrackedAlert.h"

#include <QMainWindow>

#include <cstdint>
#include <optional>

class DecodeSteps;
class UserDialogs;

// The one window of the program: start-up and shutdown, the datagrams handed to the decode
// steps, and the user's commands.
class Form1 : public QMainWindow, private Form1Controls {
    Q_OBJECT
public:
    // folders are where the settings file may live; dialogs answers the modal questions;
    // alertServices gives what an alert reaches.
    Form1(const SettingsFolders& folders, UserDialogs& dialogs,
          const AlertServicesFactory& alertServices = &AlertServices::forWindow,
          QWidget* parent = nullptr);
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
    // The decoders found on this machine, where they send, and whether Vantorel hears them.
    void mnuDecoders_Click();
    void mnuShowDB_Click();
    void mnuShowDT_Click();
    void mnuShowMessage_Click();

    // Closes the window, saving without a question, when the session ends the program.
    void closeAtTermination();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void placeWindow(const StoredSettings& settings);
    // Saves the settings as the program goes; on failure says why on standard error, and in a
    // message box when mayAsk.
    void saveOnLeaving(bool mayAsk);
    // Writes the settings with where to listen; on failure says why in error.
    bool saveSettings(const Listening& listening, QString* error) const;
    // Saves where to listen from the next start and closes, or says why it cannot.
    void listenFromNextStart(const Listening& listening);
    void OpenListener();
    // The caption of the received-message view for where the window listens.
    QString listeningCaption() const;
    // A first start beside decoders heard elsewhere: listens in the one group found, or says
    // in the window what was found.
    void findDecoders();
    // Listens where the user took it from the notice, from now on.
    void listenNow(const Listening& listening);
    void showSenderId(const QString& id);
    void showDroppedDatagrams(std::uint64_t total);
    // Which view shows; the menu item of the view in force is disabled.
    using View = BottomLine::View;
    void showView(View view);

    SettingsKeeper m_settings;
    UserDialogs& m_dialogs;
    DecodeSteps* m_steps;
    TrackedAlert* m_alert;
    Listening m_listening{StoredSettings::DefaultPort, QString()};
    // Why the listener could not be opened; empty while it listens.
    QString m_listenError;
    std::uint64_t m_droppedDatagrams = 0;
    QString m_pickedTime;
    bool m_unloaded = false;
    // Ended by a termination signal: nobody is there to answer a question.
    bool m_endedBySignal = false;
    bool m_shownOnce = false;
    // Made with the controls.
    std::optional<BottomLine> m_bottomLine;
};
