#include "FormHarness.h"
#include "platform/FolderAccess.h"
#include "platform/UdpListener.h"
#include "tallies/CallsignTally.h"
#include "widgets/Geometry.h"
#include "window/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSessionManager>
#include <QTest>
#include <QUdpSocket>

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void portText_data();
    void portText();
    void positionText_data();
    void positionText();
    void firstStartWithoutFileUsesDefaultsAndCreatesIt();
    void storedPortAndPositionAreUsed();
    void corruptFileStartsWithDefaults();
    void unicodeFileIsReadAndKeptInItsEncoding();
    void secondCopyOnTheSameFileSaysSoAndSavesNothing();
    void positionOffEveryScreenStartsOnThePrimary_data();
    void positionOffEveryScreenStartsOnThePrimary();
    void closeKeepsOtherContentOfTheFile();
    void closingMinimisedSavesTheRestoredPosition();
    void portThatCannotBeListenedOnIsSaidAndKept();
    void listensOnTheStoredPort();
    void settingsFileIsBesideTheProgramOrTheUsers();
    void sessionEndSavesWithoutAsking();
    void portCommandSaysWhenNothingCanBeWritten();
    void multicastGroupIsJoinedOnLoopbackAndKept_data();
    void multicastGroupIsJoinedOnLoopbackAndKept();
    void firstStartBesideADecoderListensInItsGroup();
    void firstStartHearingNoDecoderOffersTheOneFound();
    void firstStartNeverGuesses_data();
    void firstStartNeverGuesses();
    void decodersCommandTakesADecoderOrATypedGroup();
    void groupThatIsNoMulticastAddressIsSaid_data();
    void groupThatIsNoMulticastAddressIsSaid();
    void badGroupIsToBeMendedInTheFileTheUserCanWrite();
};

namespace {

// Makes a folder one where no file can be made, even by root; false when that cannot be done
// here. Undone by makeWritable.
bool makeUnwritable(const QString& folder)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!FolderAccess::canCreateFilesIn(folder))
        return true;
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
    return !FolderAccess::canCreateFilesIn(folder);
}

void makeWritable(const QString& folder)
{
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// The session manager's request to save, as the desktop sends it at log-off. The request is
// never read by the window, so no real session manager stands behind it.
void requestCommitData()
{
    const QMetaMethod signal = QMetaMethod::fromSignal(&QGuiApplication::commitDataRequest);
    alignas(QSessionManager) char manager[sizeof(QSessionManager)] = {};
    void* arguments[] = {nullptr, manager};
    QMetaObject::activate(qGuiApp, &QGuiApplication::staticMetaObject,
                          signal.methodIndex() - QGuiApplication::staticMetaObject.methodOffset(),
                          arguments);
}

} // namespace

void TestSettings::portText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::newRow("plain") << "2239" << 2239;
    QTest::newRow("letters after") << "2239abc" << 2239;
    QTest::newRow("blanks before") << "   2240" << 2240;
    QTest::newRow("blank inside") << "22 38" << 2238;
    QTest::newRow("half to even down") << "2238.5" << 2238;
    QTest::newRow("half to even up") << "2239.5" << 2240;
    QTest::newRow("above 32767") << "40000" << 40000;
    QTest::newRow("highest") << "65535" << 65535;
    QTest::newRow("rounds beyond the highest") << "65535.5" << 2238;
    QTest::newRow("far beyond") << "1e30" << 2238;
    QTest::newRow("beyond a double") << "1e999" << 2238;
    QTest::newRow("zero") << "0" << 2238;
    QTest::newRow("negative") << "-7" << 2238;
    QTest::newRow("no number") << "abc" << 2238;
    QTest::newRow("empty") << "" << 2238;
}

void TestSettings::portText()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    QCOMPARE(int(StoredSettings::portFromText(text)), port);
}

void TestSettings::positionText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::newRow("whole") << "1440" << 1440.0f;
    QTest::newRow("negative") << "-120" << -120.0f;
    QTest::newRow("fraction") << "15.5" << 15.5f;
    QTest::newRow("no number") << "left" << 0.0f;
    QTest::newRow("trailing text") << "100px" << 0.0f;
    QTest::newRow("beyond float") << "1e60" << 0.0f;
    QTest::newRow("empty") << "" << 0.0f;
}

void TestSettings::positionText()
{
    QFETCH(QString, text);
    QFETCH(float, value);
    QCOMPARE(StoredSettings::positionFromText(text), value);
}

void TestSettings::firstStartWithoutFileUsesDefaultsAndCreatesIt()
{
    // Port 2238 may be taken on this machine; the defaults are what matters here.
    FormHarness h(std::nullopt);
    QCOMPARE(h.captionPort(), 2238);
    QCOMPARE(h.form->pos(), QPoint(0, 0));
    QVERIFY(h.controls().Label1->text().contains("port 2238"));
    h.form->close();
    const QString ini = h.iniText();
    QVERIFY(ini.startsWith("[User]\r\nUDP port=2238\r\nTop="));
    QVERIFY(ini.contains("\r\nLeft="));
    QVERIFY(ini.indexOf("Top=") < ini.indexOf("Left="));
}

void TestSettings::storedPortAndPositionAreUsed()
{
    const quint16 port = freeUdpPort();
    const QString ini =
        QStringLiteral("[User]\r\nUDP port=%1\r\nTop=1440\r\nLeft=2880\r\n").arg(port);
    FormHarness h(ini.toLatin1());
    QCOMPARE(h.captionPort(), port);
    QCOMPARE(h.controls().Label1->text(),
             QStringLiteral("Looking for UDP message at port %1.....").arg(port));
    const int px = Geometry::toPixels(1440, *h.form);
    QCOMPARE(h.form->pos(), QPoint(2 * px, px));
    h.form->close();
    QCOMPARE(h.iniText(), ini);
}

void TestSettings::corruptFileStartsWithDefaults()
{
    FormHarness h("[User]\r\nUDP port=99999\r\nTop=abc\r\nLeft=1e99\r\n");
    QCOMPARE(h.captionPort(), 2238);
    QCOMPARE(h.form->pos(), QPoint(0, 0));
    FormHarness binary(QByteArray("\x00\xff\xfe[User\r\n=\r\n\x01", 12));
    QCOMPARE(binary.captionPort(), 2238);
}

void TestSettings::unicodeFileIsReadAndKeptInItsEncoding()
{
    // As PowerShell 5.1 writes it: UTF-16 with its mark.
    const quint16 port = freeUdpPort();
    const QString text = QStringLiteral("[User]\r\nUDP port=\"%1\"\r\n").arg(port);
    QByteArray ini("\xFF\xFE");
    for (const QChar c : text)
        ini += char(c.unicode() & 0xFF) + QByteArray(1, char(c.unicode() >> 8));
    FormHarness h(ini);
    QCOMPARE(h.captionPort(), int(port));
    h.form->close();
    QFile file(h.dir.filePath("Vantorel.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    QVERIFY(saved.startsWith("\xFF\xFE"));
    const QString savedText = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(saved.constData() + 2), (saved.size() - 2) / 2);
    QVERIFY2(savedText.startsWith(QStringLiteral("[User]\r\nUDP port=%1\r\nTop=").arg(port)),
             qPrintable(savedText));
    QCOMPARE(savedText.count("[User]"), 1);
}

void TestSettings::secondCopyOnTheSameFileSaysSoAndSavesNothing()
{
    FormHarness first;
    first.form->show();
    const QString ini = first.iniText();
    FakeDialogs dialogs;
    {
        Form1 second({first.dir.path(), first.dir.filePath("config")}, dialogs);
        QCOMPARE(second.findChild<QLabel*>("Label1")->text(),
                 QString("Vantorel is already running with these settings"));
        QCOMPARE(second.findChild<UdpListener*>("UDPSocket")->state(), UdpListener::Closed);
        second.show();
        QTRY_COMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages.first().startsWith("Vantorel is already running with the "
                                                     "settings in "),
                 qPrintable(dialogs.messages.first()));
        QTRY_VERIFY(!second.isVisible());
    }
    QCOMPARE(first.iniText(), ini);
    // The first copy goes on listening, and saves at its end as usual; then the file is free.
    QCOMPARE(first.controls().UDPSocket->localPort(), first.port);
    first.form->move(QPoint(0, 0));
    first.form->close();
    QVERIFY(first.iniText().startsWith(FormHarness::portIni(first.port) + "Top="));
    first.form.reset();
    Form1 third({first.dir.path(), first.dir.filePath("config")}, dialogs);
    QCOMPARE(third.findChild<QLabel*>("Label1")->text(),
             QStringLiteral("Looking for UDP message at port %1.....").arg(first.port));
}

void TestSettings::positionOffEveryScreenStartsOnThePrimary_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("kept");
    QTest::newRow("a maximised close") << -120 << -120 << true;
    QTest::newRow("far right") << 40000 << 0 << false;
    QTest::newRow("far left") << -40000 << 0 << false;
    QTest::newRow("below") << 0 << 40000 << false;
    QTest::newRow("title bar above the screen") << 0 << -1440 << false;
}

void TestSettings::positionOffEveryScreenStartsOnThePrimary()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(bool, kept);
    FormHarness h(QStringLiteral("[User]\r\nUDP port=%1\r\nTop=%2\r\nLeft=%3\r\n")
                      .arg(freeUdpPort())
                      .arg(top)
                      .arg(left)
                      .toLatin1());
    const QPoint saved(Geometry::toPixels(left, *h.form), Geometry::toPixels(top, *h.form));
    const QPoint corner = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
    QCOMPARE(h.form->pos(), kept ? saved : corner);
}

void TestSettings::closeKeepsOtherContentOfTheFile()
{
    const QByteArray port = QByteArray::number(freeUdpPort());
    FormHarness h("; notes\r\n[Other]\r\nKey=Value\r\n[user]\r\nudp port=" + port + "\r\n");
    h.form->close();
    QCOMPARE(h.iniText(), QString("; notes\r\n[Other]\r\nKey=Value\r\n[user]\r\nUDP port=" + port +
                                  "\r\nTop=0\r\nLeft=0\r\n"));
}

void TestSettings::closingMinimisedSavesTheRestoredPosition()
{
    FormHarness h("[User]\r\nUDP port=" + QByteArray::number(freeUdpPort()) +
                  "\r\nTop=1500\r\nLeft=3000\r\n");
    h.form->show();
    h.form->showMinimized();
    h.form->close();
    QVERIFY(h.iniText().contains("Top=1500\r\nLeft=3000\r\n"));
}

void TestSettings::portThatCannotBeListenedOnIsSaidAndKept()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::LocalHost, 0));
    FormHarness h(FormHarness::portIni(holder.localPort()));
    const QString number = QString::number(holder.localPort());
    QVERIFY2(h.controls().Label1->text().startsWith("Cannot listen at port " + number + ": "),
             qPrintable(h.controls().Label1->text()));
    QVERIFY(h.controls().Label1->sizeHint().width() <= h.controls().Label1->width());
    h.form->show();
    QTRY_COMPARE(h.dialogs.messages.size(), 1);
    QVERIFY(h.dialogs.messages.first().contains(number));
    // The window stays open and the port command can mend it.
    QVERIFY(h.form->isVisible());
    h.dialogs.answer = QStringLiteral("31235");
    h.form->mnuUDPport_Click();
    QVERIFY(h.iniText().contains("UDP port=31235\r\n"));
}

void TestSettings::listensOnTheStoredPort()
{
    const quint16 port = freeUdpPort();
    FormHarness h(FormHarness::portIni(port));
    // Only this machine may send decodes: the loopback address, never every interface.
    QCOMPARE(h.controls().UDPSocket->localAddress(), QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(h.controls().UDPSocket->localPort(), port);
    QUdpSocket sender;
    DecodeReport report;
    report.id = QStringLiteral("Net");
    report.message = QStringLiteral("CQ K1ABC FN42");
    sender.writeDatagram(DecodeDatagramWriter::encode(report), QHostAddress::LocalHost, port);
    QTRY_COMPARE(h.form->windowTitle(), QString("Vantorel Listening to Net"));
}

void TestSettings::settingsFileIsBesideTheProgramOrTheUsers()
{
    QTemporaryDir dir;
    const SettingsFolders folders{dir.filePath("app"), dir.filePath("config/Vantorel")};
    const QString beside = dir.filePath("app/Vantorel.ini");
    const QString own = dir.filePath("config/Vantorel/Vantorel.ini");

    // A folder the user can write keeps its own file, as a portable copy does.
    SettingsFiles files = SettingsFiles::choose(folders, true);
    QCOMPARE(files.readPath, beside);
    QCOMPARE(files.writePath, beside);

    // Otherwise the user's file is written; until it exists, the file beside the program
    // gives an administrator's defaults.
    files = SettingsFiles::choose(folders, false);
    QCOMPARE(files.readPath, beside);
    QCOMPARE(files.writePath, own);
    StoredSettings settings;
    settings.listenPort = 31239;
    QString error;
    QVERIFY2(settings.write(files.writePath, &error), qPrintable(error));
    files = SettingsFiles::choose(folders, false);
    QCOMPARE(files.readPath, own);
    QCOMPARE(StoredSettings::read(files.readPath).listenPort, 31239);

    // The real folders: a writable one is kept, one that does not exist cannot be, nor one
    // where no file can be made, whoever runs the program.
    QVERIFY(QDir().mkpath(folders.appDir));
    QCOMPARE(SettingsFiles::locate(folders).writePath, beside);
    QCOMPARE(SettingsFiles::locate({dir.filePath("none"), folders.userDir}).writePath, own);
#ifdef Q_OS_WIN
    const QString noFiles = QStringLiteral("Z:/proc");
    // A folder's read-only attribute says nothing about who may write in it.
    QVERIFY(QFile::setPermissions(folders.appDir, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QCOMPARE(SettingsFiles::locate(folders).writePath, beside);
    QVERIFY(QFile::setPermissions(folders.appDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner));
#else
    const QString noFiles = QStringLiteral("/proc");
#endif
    QCOMPARE(SettingsFiles::locate({noFiles, folders.userDir}).writePath, own);
    // An installed program keeps no file among the system's programs, even run by root.
    QCOMPARE(SettingsFiles::locate({QStringLiteral("/usr/bin"), folders.userDir}).writePath, own);
    QVERIFY(!QFileInfo::exists(QStringLiteral("/usr/bin/Vantorel.ini")));
}

void TestSettings::sessionEndSavesWithoutAsking()
{
    FormHarness h;
    const QString port = QString::number(h.captionPort());
    h.form->show();
    requestCommitData();
    QVERIFY(h.iniText().startsWith("[User]\r\nUDP port=" + port + "\r\nTop="));
    // The end called off, the program goes on and saves again when closed.
    h.form->move(h.form->pos() + QPoint(0, 120));
    h.form->close();
    QVERIFY(h.iniText().contains(
        QStringLiteral("Top=%1\r\n").arg(Geometry::toTwips(h.form->pos().y(), *h.form))));
    QVERIFY(!h.iniText().contains("Top=0\r\n"));

    // With nothing writable, the end of the session is not held up by a question.
    FakeDialogs dialogs;
    Form1 form({QStringLiteral("/proc/vantorel-none"), QStringLiteral("/proc/vantorel-none/user")},
               dialogs);
    form.show();
    requestCommitData();
    QCOMPARE(dialogs.messages.size(), 0);
}

void TestSettings::portCommandSaysWhenNothingCanBeWritten()
{
    FakeDialogs dialogs;
    dialogs.answer = QStringLiteral("31240");
    Form1 form({QStringLiteral("/proc/vantorel-none"), QStringLiteral("/proc/vantorel-none/user")},
               dialogs);
    form.show();
    form.mnuUDPport_Click();
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages.first().startsWith("Vantorel cannot save its settings in "),
             qPrintable(dialogs.messages.first()));
    QVERIFY(!dialogs.messages.contains("Re-open Vantorel"));
    QVERIFY(form.isVisible());
    QVERIFY(dialogs.messages.first().endsWith("Vantorel goes on listening at port 2238."));
}

void TestSettings::multicastGroupIsJoinedOnLoopbackAndKept_data()
{
    QTest::addColumn<QString>("group");
    // The decoders' documentation offers the first "when in doubt".
    QTest::newRow("all hosts") << "224.0.0.1";
    QTest::newRow("organisation") << "239.255.0.1";
}

namespace {

// A decoder's settings, its group sent on loopback unless told otherwise.
QByteArray decoderIni(const QString& server, int port,
                      const QString& interfaces = loopbackInterface().name())
{
    return QStringLiteral("[Configuration]\nUDPServer=%1\nUDPServerPort=%2\nUDPInterface=%3\n")
        .arg(server)
        .arg(port)
        .arg(interfaces)
        .toLatin1();
}

} // namespace

void TestSettings::firstStartBesideADecoderListensInItsGroup()
{
    const quint16 port = freeUdpPort();
    FormHarness h(std::nullopt, {{"WSJT-X", decoderIni("224.0.0.1", port)}});
    QCOMPARE(
        h.controls().Label1->text(),
        QStringLiteral("Looking for UDP message at port %1 in group 224.0.0.1.....").arg(port));
    QUdpSocket decoder;
    decoder.bind(QHostAddress::LocalHost, 0);
    decoder.setMulticastInterface(loopbackInterface());
    DecodeReport report;
    report.message = QStringLiteral("CQ K1ABC FN42");
    decoder.writeDatagram(DecodeDatagramWriter::encode(report), QHostAddress("224.0.0.1"), port);
    QTRY_COMPARE(h.steps().tally().totalRecords(), 1);
    h.form->close();
    QVERIFY2(h.iniText().startsWith(QStringLiteral("[User]\r\nUDP port=%1\r\n").arg(port)),
             qPrintable(h.iniText()));
    QVERIFY(h.iniText().contains("Multicast group=224.0.0.1\r\n"));
}

void TestSettings::firstStartHearingNoDecoderOffersTheOneFound()
{
    const quint16 port = freeUdpPort();
    FormHarness h(std::nullopt, {{"WSJT-X", decoderIni("127.0.0.1", port)}});
    h.form->show();
    const QLabel& notice = *h.find<QLabel>("DecoderNoticeText");
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.text(), QStringLiteral("WSJT-X sends to 127.0.0.1 port %1; Vantorel listens "
                                           "at 127.0.0.1 port 2238.")
                                .arg(port));
    QCOMPARE(h.captionPort(), 2238);
    // One step, and no restart: it listens there at once, and keeps it.
    h.find<QPushButton>("DecoderNoticeTake")->click();
    QVERIFY(!notice.isVisible());
    QCOMPARE(h.captionPort(), port);
    QUdpSocket decoder;
    decoder.writeDatagram(decodeDatagram("CQ K1ABC FN42"), QHostAddress::LocalHost, port);
    QTRY_COMPARE(h.steps().tally().totalRecords(), 1);
    h.form->close();
    QVERIFY(h.iniText().startsWith(QStringLiteral("[User]\r\nUDP port=%1\r\n").arg(port)));
}

void TestSettings::firstStartNeverGuesses_data()
{
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QString>("interfaces");
    QTest::newRow("two decoders in groups")
        << decoderIni("239.255.0.1", 2240) << loopbackInterface().name();
    QTest::newRow("a group on no interface here") << QByteArray() << "wlan7";
}

void TestSettings::firstStartNeverGuesses()
{
    QFETCH(QByteArray, second);
    QFETCH(QString, interfaces);
    QList<std::pair<QString, QByteArray>> decoders{
        {"WSJT-X", decoderIni("224.0.0.1", freeUdpPort(), interfaces)}};
    if (!second.isEmpty())
        decoders.append({"WSJT-X - rig 2", second});
    FormHarness h(std::nullopt, decoders);
    QCOMPARE(h.captionPort(), 2238);
    QVERIFY(!h.controls().Label1->text().contains("group"));
    // What was found is said in the window instead.
    QVERIFY(!h.find<QLabel>("DecoderNoticeText")->text().isEmpty());
    // A settings file of its own is never overruled by a decoder's.
    const quint16 port = freeUdpPort();
    FormHarness stored(FormHarness::portIni(port), {{"WSJT-X", decoderIni("224.0.0.1", 2241)}});
    QCOMPARE(stored.controls().Label1->text(),
             QStringLiteral("Looking for UDP message at port %1.....").arg(port));
}

void TestSettings::decodersCommandTakesADecoderOrATypedGroup()
{
    const QList<std::pair<QString, QByteArray>> decoders{{"WSJT-X", decoderIni("127.0.0.1", 2238)},
                                                         {"JTDX", decoderIni("239.255.0.1", 2245)}};
    {
        FormHarness h(FormHarness::portIni(freeUdpPort()), decoders);
        h.form->show();
        h.dialogs.decoderAnswer = DecoderAnswer{DecoderAnswer::Kind::Take, 0};
        h.form->mnuDecoders_Click();
        QCOMPARE(h.dialogs.decoderListings.size(), 2);
        QVERIFY2(h.dialogs.decoderListings[0].text.startsWith(
                     QStringLiteral("JTDX\nSends to group 239.255.0.1 port 2245 on %1\nVantorel "
                                    "can hear it here")
                         .arg(loopbackInterface().name())),
                 qPrintable(h.dialogs.decoderListings[0].text));
        QVERIFY(h.dialogs.decoderListings[0].takeable);
        QVERIFY(
            h.dialogs.decoderListings[1].text.startsWith("WSJT-X\nSends to 127.0.0.1 port 2238"));
        QCOMPARE(h.dialogs.messages, QStringList{"Re-open Vantorel"});
        QVERIFY(!h.form->isVisible());
        QVERIFY(h.iniText().startsWith("[User]\r\nUDP port=2245\r\n"));
        QVERIFY(h.iniText().contains("Multicast group=239.255.0.1\r\n"));
    }
    const QByteArray inGroup = "[User]\r\nUDP port=2246\r\nMulticast group=224.0.0.1\r\n";
    for (const QString& typed : {QString("300.1.2.3"), QString("192.168.1.1"), QString()}) {
        FormHarness h(inGroup, decoders);
        h.form->show();
        h.dialogs.decoderAnswer = DecoderAnswer{DecoderAnswer::Kind::TypeGroup, -1};
        h.dialogs.answer = typed;
        h.form->mnuDecoders_Click();
        if (!typed.isEmpty()) {
            // Bad input is said and changes nothing.
            QCOMPARE(h.dialogs.messages,
                     QStringList{"\"" + typed +
                                 "\" is not a multicast group from 224.0.0.0 to "
                                 "239.255.255.255: nothing was changed."});
            QVERIFY(h.form->isVisible());
            QCOMPARE(h.iniText(), QString(inGroup));
        } else {
            // Nothing typed: 127.0.0.1 at the same port.
            QCOMPARE(h.dialogs.messages, QStringList{"Re-open Vantorel"});
            QVERIFY(h.iniText().startsWith("[User]\r\nUDP port=2246\r\nMulticast group=\r\n"));
        }
    }
}

void TestSettings::multicastGroupIsJoinedOnLoopbackAndKept()
{
    QFETCH(QString, group);
    const quint16 port = freeUdpPort();
    const QString ini =
        QStringLiteral("[User]\r\nUDP port=%1\r\nMulticast group=%2\r\nTop=0\r\nLeft=0\r\n")
            .arg(port)
            .arg(group);
    FormHarness h(ini.toLatin1());
    QCOMPARE(
        h.controls().Label1->text(),
        QStringLiteral("Looking for UDP message at port %1 in group %2.....").arg(port).arg(group));
    QUdpSocket decoder;
    decoder.bind(QHostAddress::LocalHost, 0);
    decoder.setMulticastInterface(loopbackInterface());
    DecodeReport report;
    report.id = QStringLiteral("Group");
    report.message = QStringLiteral("CQ K1ABC FN42");
    decoder.writeDatagram(DecodeDatagramWriter::encode(report), QHostAddress(group), port);
    QTRY_COMPARE(h.form->windowTitle(), QString("Vantorel Listening to Group"));
    h.form->close();
    QCOMPARE(h.iniText(), ini);
}

void TestSettings::groupThatIsNoMulticastAddressIsSaid_data()
{
    QTest::addColumn<QString>("group");
    QTest::newRow("unicast") << "127.0.0.1";
    QTest::newRow("beyond 239") << "240.0.0.1";
    QTest::newRow("IPv6") << "ff02::1";
    QTest::newRow("no address") << "loopback";
}

void TestSettings::groupThatIsNoMulticastAddressIsSaid()
{
    QFETCH(QString, group);
    const QByteArray ini = "[User]\r\nUDP port=" + QByteArray::number(freeUdpPort()) +
                           "\r\nMulticast group=" + group.toLatin1() + "\r\nTop=0\r\nLeft=0\r\n";
    FormHarness h(ini);
    // The caption is short enough to be read whole; the message names the key and the file.
    QCOMPARE(h.controls().Label1->text(),
             QString("Cannot listen: \"Multicast group\" holds no multicast group"));
    QVERIFY(h.controls().Label1->sizeHint().width() <= h.controls().Label1->width());
    h.form->show();
    QTRY_COMPARE(h.dialogs.messages.size(), 1);
    const QString& message = h.dialogs.messages.first();
    QVERIFY(message.contains('"' + group + '"'));
    QVERIFY(message.contains("\"Multicast group\""));
    QVERIFY(message.contains(QDir::toNativeSeparators(h.dir.filePath("Vantorel.ini"))));
    QVERIFY(!message.contains("UDP port"));
    QVERIFY(h.form->isVisible());
    h.form->close();
    QCOMPARE(h.iniText(), QString::fromLatin1(ini));
}

void TestSettings::badGroupIsToBeMendedInTheFileTheUserCanWrite()
{
    // An administrator's file beside an installed program names a bad group.
    QTemporaryDir dir;
    const QString appDir = dir.filePath("app");
    QVERIFY(QDir().mkpath(appDir));
    QFile ini(QDir(appDir).filePath("Vantorel.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[User]\r\nUDP port=31238\r\nMulticast group=loopback\r\n");
    ini.close();
    const auto unlock = qScopeGuard([&appDir] { makeWritable(appDir); });
    if (!makeUnwritable(appDir))
        QSKIP("no folder can be made unwritable here");
    FakeDialogs dialogs;
    Form1 form(SettingsFolders{appDir, dir.filePath("config")}, dialogs);
    form.show();
    QTRY_COMPARE(dialogs.messages.size(), 1);
    const QString message = dialogs.messages.first();
    QVERIFY2(message.contains(QDir::toNativeSeparators(dir.filePath("config/Vantorel.ini"))),
             qPrintable(message));
    QVERIFY(!message.contains(QDir::toNativeSeparators(ini.fileName())));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
