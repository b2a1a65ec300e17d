#include "Captures.h"
#include "platform/DecoderSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

void write(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
}

} // namespace

// The decoders' settings files, as their decoders write them.
class TestDecoderSettings : public QObject {
    Q_OBJECT
private slots:
    void activeConfigurationOfEachDecoderIsRead();
    void filesAreOnlyRead();
    void decoderFilesAsItWroteThem_data();
    void decoderFilesAsItWroteThem();
};

void TestDecoderSettings::activeConfigurationOfEachDecoderIsRead()
{
    QTemporaryDir dir;
    // Linux keeps <name>.ini in the configuration folder.
    write(dir.filePath("WSJT-X.ini"),
          "[Configuration]\nUDPServer=224.0.0.1\nUDPServerPort=2237\nUDPInterface=@Invalid()\n"
          "AcceptUDPRequests=true\n"
          "[MultiSettings]\nDefault\\Configuration\\UDPServer=10.1.2.3\n");
    write(dir.filePath("WSJT-X - IC-7300.ini"),
          "[Configuration]\nUDPServer=239.255.0.1\nUDPServerPort=2240\nUDPInterface=lo, eth0\n");
    // Windows keeps <name>\<name>.ini.
    write(dir.filePath("JTDX/JTDX.ini"), "[Configuration]\nUDPInterface=eth0\n");
    // Not a decoder's: another program's, and a decoder's folder without its file.
    write(dir.filePath("WSJT-X-old.ini"), "[Configuration]\nUDPServerPort=1\n");
    write(dir.filePath("JTDX - rig/other.ini"), "[Configuration]\nUDPServerPort=1\n");

    const QList<DecoderConfig> found = DecoderSettings::find(dir.path());
    QStringList names;
    for (const DecoderConfig& config : found)
        names << config.name;
    QCOMPARE(names, (QStringList{"JTDX", "WSJT-X", "WSJT-X - IC-7300"}));
    // Defaults where a key is missing: 127.0.0.1, port 2237, loopback only.
    QCOMPARE(found[0].server, QString("127.0.0.1"));
    QCOMPARE(found[0].port, 2237);
    QCOMPARE(found[0].interfaces, QStringList{"eth0"});
    QVERIFY(!found[0].acceptsRequests);
    QCOMPARE(found[1].server, QString("224.0.0.1"));
    QCOMPARE(found[1].interfaces, QStringList());
    QVERIFY(found[1].acceptsRequests);
    QCOMPARE(found[2].port, 2240);
    QCOMPARE(found[2].interfaces, (QStringList{"lo", "eth0"}));
    QCOMPARE(QFileInfo(found[2].path).fileName(), QString("WSJT-X - IC-7300.ini"));
    QVERIFY(DecoderSettings::find(dir.filePath("none")).isEmpty());
}

void TestDecoderSettings::filesAreOnlyRead()
{
    QTemporaryDir dir;
    const QByteArray content = "[Configuration]\r\nUDPServer=224.0.0.1\r\n; the user's note\r\n";
    write(dir.filePath("WSJT-X.ini"), content);
    QFile::setPermissions(dir.filePath("WSJT-X.ini"), QFile::ReadOwner | QFile::ReadUser);
    const QDateTime before = QFileInfo(dir.filePath("WSJT-X.ini")).lastModified();
    QCOMPARE(DecoderSettings::find(dir.path()).size(), 1);
    QFile file(dir.filePath("WSJT-X.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
    QCOMPARE(QFileInfo(file).lastModified(), before);
    // No lock or temporary file beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"WSJT-X.ini"});
}

void TestDecoderSettings::decoderFilesAsItWroteThem_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("port");
    QTest::addColumn<QStringList>("interfaces");
    QTest::addColumn<bool>("readable");
    const QString captures = QStringLiteral(CAPTURES_DIR "/wsjtx-2.6.1-ini/");
    QTest::newRow("defaults") << captures + "defaults.ini"
                              << "127.0.0.1" << 2237 << QStringList() << true;
    QTest::newRow("group on lo") << captures + "group-on-lo.ini"
                                 << "224.0.0.1" << 47501 << QStringList{"lo"} << true;
    QTest::newRow("two interfaces") << captures + "group-on-two-interfaces.ini"
                                    << "239.255.0.1" << 47502 << QStringList{"lo", "vt6a"} << true;
    QTest::newRow("no interface") << captures + "group-on-no-interface.ini"
                                  << "224.0.0.1" << 47501 << QStringList() << true;
    // Written by hand: what the decoder's own files never hold.
    QTest::newRow("port 0 sends nothing") << "[Configuration]\nUDPServerPort=0\n"
                                          << "127.0.0.1" << 0 << QStringList() << true;
    QTest::newRow("empty names dropped")
        << "[Configuration]\nUDPInterface=lo, , eth0,\n"
        << "127.0.0.1" << 2237 << QStringList{"lo", "eth0"} << true;
    QTest::newRow("no port") << "[Configuration]\nUDPServerPort=65536\n"
                             << "127.0.0.1" << 2237 << QStringList() << false;
    QTest::newRow("no section of its own") << "UDPServerPort=2240\n"
                                           << "127.0.0.1" << 2237 << QStringList() << false;
    QTest::newRow("no text") << QString::fromLatin1("\x01\x00\x02", 3) << "127.0.0.1" << 2237
                             << QStringList() << false;
}

void TestDecoderSettings::decoderFilesAsItWroteThem()
{
    QFETCH(QString, file);
    QFETCH(QString, server);
    QFETCH(int, port);
    QFETCH(QStringList, interfaces);
    QFETCH(bool, readable);
    QTemporaryDir dir;
    QString path = file;
    if (!file.endsWith(".ini")) {
        path = dir.filePath("WSJT-X.ini");
        write(path, file.toLatin1());
    } else if (!QFileInfo::exists(path)) {
        QSKIP("no decoder captures in " CAPTURES_DIR);
    }
    // Its own types' values are not read: nothing to warn of.
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { warnings << message; });
    const DecoderConfig config = DecoderSettings::read("WSJT-X", path);
    qInstallMessageHandler(previous);
    QCOMPARE(warnings, QStringList());
    QCOMPARE(config.unreadable.isEmpty(), readable);
    QCOMPARE(config.server, server);
    QCOMPARE(int(config.port), port);
    QCOMPARE(config.interfaces, interfaces);
}

QTEST_GUILESS_MAIN(TestDecoderSettings)
#include "tst_decodersettings.moc"
