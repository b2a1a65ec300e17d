#include "TestNetwork.h"
#include "intake/DecodeDatagramWriter.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <unistd.h>

// Starts the real program from a folder of its own, as an operator would, and ends it the way
// a session manager does.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void runsListensAndSavesOnTermination();
    void interruptAndHangupAlsoSave_data();
    void interruptAndHangupAlsoSave();
    void demoSendsOnlyToItsOwnCopy();
    void firstStartFindsTheDecoderInItsConfigurationFolder();
    void readOnlyFolderKeepsSettingsPerUser();
    void terminationEndsTheProgramWhenNothingCanBeSaved();

private:
    static bool prepare(const QTemporaryDir& dir, const QByteArray& ini);
    // With a configuration folder, the program runs as an ordinary user.
    static bool launch(QProcess& program, const QTemporaryDir& dir, const QString& configHome);
    static bool start(QProcess& program, const QTemporaryDir& dir, const QByteArray& ini);
    static bool portIsTaken(quint16 port);
    static QString readIni(const QTemporaryDir& dir);
};

bool TestEndToEnd::prepare(const QTemporaryDir& dir, const QByteArray& ini)
{
    const QString binary = dir.filePath(QStringLiteral("vantorel"));
    if (!QFile::copy(QStringLiteral(VANTOREL_BINARY), binary))
        return false;
    QFile file(dir.filePath(QStringLiteral("Vantorel.ini")));
    return file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size();
}

bool TestEndToEnd::launch(QProcess& program, const QTemporaryDir& dir, const QString& configHome)
{
    const QString binary = dir.filePath(QStringLiteral("vantorel"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!configHome.isEmpty())
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    // An administrator may write any folder; an ordinary user runs the program instead.
    if (!configHome.isEmpty() && ::geteuid() == 0)
        program.start(QStringLiteral("setpriv"),
                      {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                       QStringLiteral("--clear-groups"), binary});
    else
        program.start(binary, {});
    return program.waitForStarted(10000);
}

bool TestEndToEnd::start(QProcess& program, const QTemporaryDir& dir, const QByteArray& ini)
{
    return prepare(dir, ini) && launch(program, dir, QString());
}

bool TestEndToEnd::portIsTaken(quint16 port)
{
    QUdpSocket probe;
    return !probe.bind(QHostAddress::LocalHost, port);
}

QString TestEndToEnd::readIni(const QTemporaryDir& dir)
{
    QFile file(dir.filePath(QStringLiteral("Vantorel.ini")));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

void TestEndToEnd::runsListensAndSavesOnTermination()
{
    QTemporaryDir dir;
    QProcess program;
    const quint16 port = freeUdpPort();
    const QByteArray number = QByteArray::number(port);
    QVERIFY(start(program, dir,
                  "; kept\r\n[User]\r\nUDP port=" + number + "\r\nTop=300\r\nLeft=600\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(portIsTaken(port), 10000);

    QProcess sender;
    sender.start(QStringLiteral(VANTOREL_SEND_BINARY),
                 {QStringLiteral("--port"), QString::fromLatin1(number), QStringLiteral("--count"),
                  QStringLiteral("3000"), QStringLiteral("--id"), QStringLiteral("e2e")});
    QVERIFY(sender.waitForFinished(30000));
    QCOMPARE(sender.exitCode(), 0);
    QVERIFY(sender.readAllStandardOutput().startsWith("sent 3000 datagrams"));

    // Hostile datagrams do not end the program.
    QUdpSocket socket;
    QByteArray hostile = DecodeDatagramWriter::header(Protocol::MessageType::Decode);
    DecodeDatagramWriter::appendUInt32(hostile, 0x7FFFFFFF);
    socket.writeDatagram(hostile, QHostAddress::LocalHost, port);
    socket.writeDatagram(QByteArray(Protocol::MaxDatagramBytes, '\x02'), QHostAddress::LocalHost,
                         port);
    socket.writeDatagram(QByteArray(3, '\x02'), QHostAddress::LocalHost, port);
    QTest::qWait(300);
    QCOMPARE(program.state(), QProcess::Running);

    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString ini = readIni(dir);
    QVERIFY2(ini.startsWith("; kept\r\n[User]\r\nUDP port=" + number + "\r\nTop="),
             qPrintable(ini));
    QVERIFY(ini.contains("\r\nLeft="));
    // The save leaves nothing of its own beside the settings file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({"vantorel", "Vantorel.ini"}));
}

void TestEndToEnd::interruptAndHangupAlsoSave_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl-C") << int(SIGINT);
    QTest::newRow("terminal closed") << int(SIGHUP);
}

void TestEndToEnd::interruptAndHangupAlsoSave()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    QProcess program;
    const QByteArray number = QByteArray::number(freeUdpPort());
    QVERIFY(start(program, dir, "[User]\r\nUDP port=" + number + "\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(portIsTaken(number.toUShort()), 10000);
    ::kill(static_cast<pid_t>(program.processId()), signal);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(readIni(dir).contains("UDP port=" + number + "\r\nTop="));
}

void TestEndToEnd::firstStartFindsTheDecoderInItsConfigurationFolder()
{
    QTemporaryDir dir;
    QTemporaryDir config;
    const quint16 port = freeUdpPort();
    const QByteArray decoder =
        "[Configuration]\nUDPServer=224.0.0.1\nUDPServerPort=" + QByteArray::number(port) +
        "\nUDPInterface=lo\n";
    QFile file(config.filePath(QStringLiteral("WSJT-X.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(decoder) == decoder.size());
    file.close();
    QVERIFY(QFile::copy(QStringLiteral(VANTOREL_BINARY), dir.filePath(QStringLiteral("vantorel"))));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(dir.filePath(QStringLiteral("vantorel")), {});
    QVERIFY(program.waitForStarted(10000));
    // It listens in the decoder's group, shared with the other listeners there.
    QTRY_VERIFY_WITH_TIMEOUT(portIsTaken(port), 10000);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(10000));
    const QString ini = readIni(dir);
    QVERIFY2(ini.startsWith("[User]\r\nUDP port=" + QString::number(port) + "\r\n"),
             qPrintable(ini));
    QVERIFY(ini.contains("Multicast group=224.0.0.1\r\n"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), decoder);
}

void TestEndToEnd::demoSendsOnlyToItsOwnCopy()
{
    // A logger on the decoder's usual port must not receive the demo's made-up decodes.
    QUdpSocket logger;
    if (!logger.bind(QHostAddress::LocalHost, 2238))
        QSKIP("another program holds port 2238 here");
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("BUILD_DIR"), QStringLiteral(VANTOREL_BUILD_DIR));
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral(VANTOREL_DEMO), {QStringLiteral("--short")});
    QVERIFY(demo.waitForFinished(60000));
    const QByteArray output = demo.readAllStandardOutput();
    QCOMPARE(demo.exitCode(), 0);
    QVERIFY2(output.contains("demo finished"), output.constData());
    QVERIFY(!output.contains("port 2238"));
    QVERIFY(!logger.hasPendingDatagrams());
}

void TestEndToEnd::readOnlyFolderKeepsSettingsPerUser()
{
    // The program's folder as an installation leaves it: readable by all, writable by none,
    // with an administrator's defaults in it.
    QTemporaryDir dir;
    const QByteArray number = QByteArray::number(freeUdpPort());
    const QByteArray defaults = "[User]\r\nUDP port=" + number + "\r\n";
    QVERIFY(prepare(dir, defaults));
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                          QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup;
    QVERIFY(QFile::setPermissions(dir.path(), everyone));
    QTemporaryDir config;
    QVERIFY(QFile::setPermissions(config.path(), everyone | QFileDevice::WriteOwner |
                                                     QFileDevice::WriteGroup |
                                                     QFileDevice::WriteOther));

    QProcess program;
    QVERIFY(launch(program, dir, config.path()));
    QTRY_VERIFY_WITH_TIMEOUT(portIsTaken(number.toUShort()), 10000);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile::setPermissions(dir.path(), everyone | QFileDevice::WriteOwner));

    QCOMPARE(readIni(dir), QString::fromLatin1(defaults));
    QFile own(config.filePath(QStringLiteral("Vantorel/Vantorel.ini")));
    QVERIFY(own.open(QIODevice::ReadOnly));
    QVERIFY(own.readAll().startsWith("[User]\r\nUDP port=" + number + "\r\nTop="));
}

void TestEndToEnd::terminationEndsTheProgramWhenNothingCanBeSaved()
{
    // Defaults in a folder the user cannot write, and a configuration folder where the
    // program's own folder cannot be made: the settings can be read but not saved.
    QTemporaryDir dir;
    const quint16 port = freeUdpPort();
    QVERIFY(prepare(dir, "[User]\r\nUDP port=" + QByteArray::number(port) + "\r\n"));
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                          QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup;
    QVERIFY(QFile::setPermissions(dir.path(), everyone));
    QTemporaryDir config;
    QFile blocker(config.filePath(QStringLiteral("Vantorel")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QProcess program;
    QVERIFY(launch(program, dir, config.path()));
    QTRY_VERIFY_WITH_TIMEOUT(portIsTaken(port), 10000);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    // A session manager waits a few seconds, then kills: no question may hold the program.
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(QFile::setPermissions(dir.path(), everyone | QFileDevice::WriteOwner));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
