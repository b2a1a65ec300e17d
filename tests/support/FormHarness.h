#pragma once

#include "TestNetwork.h"
#include "intake/DecodeDatagramWriter.h"
#include "widgets/CallsignBox.h"
#include "window/Form1.h"
#include "window/UserDialogs.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

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
};

// A window started from its own temporary folder, fed with datagrams as the socket feeds it.
struct FormHarness {
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<Form1> form;

    static QByteArray portIni(int port)
    {
        return "[User]\r\nUDP port=" + QByteArray::number(port) + "\r\n";
    }

    // A window listening on a port of its own, so that tests can run side by side.
    FormHarness()
        : FormHarness(portIni(freeUdpPort()))
    {
    }

    explicit FormHarness(const std::optional<QByteArray>& ini)
    {
        if (ini) {
            QFile file(dir.filePath(QStringLiteral("Vantorel.ini")));
            if (file.open(QIODevice::WriteOnly))
                file.write(*ini);
        }
        form =
            std::make_unique<Form1>(SettingsFolders{dir.path(), dir.filePath("config")}, dialogs);
    }

    QString iniText() const
    {
        QFile file(dir.filePath(QStringLiteral("Vantorel.ini")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    void decode(const QString& message, int snr = -10, double dt = 0.1, quint32 timeMs = 43'200'000,
                const QString& id = QStringLiteral("WSJT-X"))
    {
        DecodeReport report;
        report.id = id;
        report.message = message;
        report.snr = snr;
        report.deltaTime = dt;
        report.timeMs = timeMs;
        form->UDPSocket_DataArrival(DecodeDatagramWriter::encode(report));
    }
};
