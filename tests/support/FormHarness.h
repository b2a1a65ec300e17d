#pragma once

#include "TestFields.h"
#include "TestNetwork.h"
#include "intake/DecodeDatagramWriter.h"
#include "platform/UdpListener.h"
#include "tallies/DecodeSteps.h"
#include "widgets/CallsignBox.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"
#include "window/Form1.h"
#include "window/UserDialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextEdit>

#include <memory>
#include <optional>

// Answers the window's dialogs without a screen and remembers what they showed.
class FakeDialogs : public UserDialogs {
public:
    QStringList messages;
    QStringList longTexts;
    QStringList prompts;
    std::optional<QString> answer;

    void showMessage(QWidget*, const QString& text) override { messages << text; }
    std::optional<QString> askText(QWidget*, const QString& prompt,
                                   const QString& defaultText) override
    {
        prompts << prompt + QStringLiteral(" [") + defaultText + QStringLiteral("]");
        return answer;
    }
    void showLongText(QWidget*, const QString& text) override { longTexts << text; }
    QStringList decoderIntros;
    QList<DecoderListing> decoderListings;
    std::optional<DecoderAnswer> decoderAnswer;
    std::optional<DecoderAnswer> chooseDecoder(QWidget*, const QString& intro,
                                               const QList<DecoderListing>& decoders) override
    {
        decoderIntros << intro;
        decoderListings = decoders;
        return decoderAnswer;
    }
};

// What the window's alerts reached, through fakes of the system's routes.
struct AlertsReached {
    int sounds = 0;
    int attention = 0;
    // Each notification's title and body.
    QList<QPair<QString, QString>> notifications;

    AlertServicesFactory factory()
    {
        struct Sound : AlertSound {
            AlertsReached& reached;
            explicit Sound(AlertsReached& r)
                : reached(r)
            {
            }
            void play() override { ++reached.sounds; }
        };
        struct Notifier : DesktopNotifier {
            AlertsReached& reached;
            explicit Notifier(AlertsReached& r)
                : reached(r)
            {
            }
            void notify(const QString& title, const QString& body) override
            {
                reached.notifications.append({title, body});
            }
        };
        return [this](QWidget&) {
            return AlertServices{std::make_unique<Sound>(*this), std::make_unique<Notifier>(*this),
                                 [this](QWidget&) { ++attention; }};
        };
    }
};

// A window started from its own temporary folder, fed with datagrams as the socket feeds it.
struct FormHarness {
    QTemporaryDir dir;
    FakeDialogs dialogs;
    AlertsReached alerts;
    std::unique_ptr<Form1> form;
    // The port the settings give, when the harness chose it.
    int port = -1;

    static QByteArray portIni(int port)
    {
        return "[User]\r\nUDP port=" + QByteArray::number(port) + "\r\n";
    }

    // A window listening on a port of its own, so that tests can run side by side.
    FormHarness()
        : port(freeUdpPort())
    {
        start(portIni(port));
    }

    explicit FormHarness(const std::optional<QByteArray>& ini) { start(ini); }

    // A window whose first start finds these decoders' settings files (name, content).
    FormHarness(const std::optional<QByteArray>& ini,
                const QList<std::pair<QString, QByteArray>>& decoders)
    {
        QDir().mkpath(dir.filePath("decoders"));
        for (const auto& [name, content] : decoders) {
            QFile file(dir.filePath("decoders/" + name + ".ini"));
            if (file.open(QIODevice::WriteOnly))
                file.write(content);
        }
        start(ini);
    }

    // A control of the window, found by its object name as a user's tool finds it.
    template <typename Control> Control* find(const char* name) const
    {
        auto* control = form->findChild<Control*>(QLatin1String(name));
        if (!control)
            qFatal("no control named %s", name);
        return control;
    }

    // Every control, found by its object name.
    Form1Controls controls() const
    {
        Form1Controls c;
        c.Label1 = find<QLabel>("Label1");
        c.Label2 = find<QLabel>("Label2");
        c.Label3 = find<QLabel>("Label3");
        c.MSFlexGrid1 = find<FlexGrid>("MSFlexGrid1");
        c.MSFlexGrid2 = find<FlexGrid>("MSFlexGrid2");
        c.MSChart1 = find<ChartControl>("MSChart1");
        c.MSChart2 = find<ChartControl>("MSChart2");
        c.Text1 = find<CallsignBox>("Text1");
        c.Command1 = find<QPushButton>("Command1");
        c.RichTextBox1 = find<QTextEdit>("RichTextBox1");
        c.mnuUDPport = find<QAction>("mnuUDPport");
        c.mnuDecoders = find<QAction>("mnuDecoders");
        c.mnuShowDT = find<QAction>("mnuShowDT");
        c.mnuShowDB = find<QAction>("mnuShowDB");
        c.mnuShowMessage = find<QAction>("mnuShowMessage");
        c.UDPSocket = find<UdpListener>("UDPSocket");
        return c;
    }

    // The state behind the window's views.
    const DecodeSteps& steps() const { return *form->findChild<DecodeSteps*>(); }

    // The port the window's caption names, listening or not.
    int captionPort() const
    {
        const QRegularExpressionMatch port =
            QRegularExpression(QStringLiteral("port (\\d+)")).match(find<QLabel>("Label1")->text());
        return port.hasMatch() ? port.captured(1).toInt() : -1;
    }

    void start(const std::optional<QByteArray>& ini)
    {
        if (ini) {
            QFile file(dir.filePath(QStringLiteral("Vantorel.ini")));
            if (file.open(QIODevice::WriteOnly))
                file.write(*ini);
        }
        form = std::make_unique<Form1>(
            SettingsFolders{dir.path(), dir.filePath("config"), dir.filePath("decoders")}, dialogs,
            alerts.factory());
    }

    // The time of the last pick, as the dB view's caption names it; back in the log view.
    QString pickedTime() const
    {
        form->mnuShowDB_Click();
        const QString caption = find<QLabel>("Label1")->text();
        form->mnuShowMessage_Click();
        return caption.section(QStringLiteral(" from "), -1);
    }

    QString iniText() const
    {
        QFile file(dir.filePath(QStringLiteral("Vantorel.ini")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    void decode(const QString& message, int snr = -10, double dt = 0.1, quint32 timeMs = 43'200'000,
                const QString& id = QStringLiteral("WSJT-X"))
    {
        form->UDPSocket_DataArrival(decodeDatagram(message, snr, dt, timeMs, id));
    }
};
