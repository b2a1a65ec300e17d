#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

QString writeFile(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.filePath(QStringLiteral("Vantorel.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void valueIsCutAt255Characters();
    void newFileHasSectionThenKeysInOrder();
    void rewriteKeepsEverythingElse();
    void formsPeopleSaveAreReadAndKept_data();
    void formsPeopleSaveAreReadAndKept();
    void newKeyGoesToTheEndOfItsSection();
    void saveChangesOnlyTheLinesItWrites_data();
    void saveChangesOnlyTheLinesItWrites();
    void fileThatIsNoTextIsLeftAsItIs();
    void failedSaveKeepsOldFileAndSaysWhy();
};

void TestProfileFile::reading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QByteArray("[User]\r\nUDP port=2239\r\n") << "2239";
    QTest::newRow("lower-case names") << QByteArray("[user]\nudp PORT=2240\n") << "2240";
    QTest::newRow("blanks trimmed")
        << QByteArray("  [ User ]  \n  UDP port  =   2241  \n") << "2241";
    QTest::newRow("empty value is no default") << QByteArray("[User]\nUDP port=\n") << "";
    QTest::newRow("missing key") << QByteArray("[User]\nTop=5\n") << "dflt";
    QTest::newRow("key in other section") << QByteArray("[Other]\nUDP port=1\n[User]\n") << "dflt";
    QTest::newRow("comment is no key") << QByteArray("[User]\n;UDP port=1\n") << "dflt";
    QTest::newRow("first of two") << QByteArray("[User]\nUDP port=1\nUDP port=2\n") << "1";
    QTest::newRow("equals in value") << QByteArray("[User]\nUDP port=a=b\n") << "a=b";
    QTest::newRow("no file content") << QByteArray() << "dflt";
    QTest::newRow("double quotes") << QByteArray("[User]\nUDP port=\"2242\"\n") << "2242";
    QTest::newRow("single quotes") << QByteArray("[User]\nUDP port= '2243' \n") << "2243";
    QTest::newRow("one quote stays") << QByteArray("[User]\nUDP port=\"2244\n") << "\"2244";
    QTest::newRow("quotes that differ stay") << QByteArray("[User]\nUDP port='1\"\n") << "'1\"";
}

void TestProfileFile::reading()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, value);
    QTemporaryDir dir;
    const ProfileFile file(writeFile(dir, content));
    QCOMPARE(file.value("User", "UDP port", "dflt"), value);
}

void TestProfileFile::valueIsCutAt255Characters()
{
    QTemporaryDir dir;
    const ProfileFile file(writeFile(dir, "[User]\nTop=" + QByteArray(300, '7') + "\n"));
    QCOMPARE(file.value("User", "Top", "0"), QString(255, '7'));
}

void TestProfileFile::newFileHasSectionThenKeysInOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sub-missing-file.ini");
    ProfileFile file(path);
    QCOMPARE(file.value("User", "UDP port", "2238"), QString("2238"));
    file.setValue("User", "UDP port", "2238");
    file.setValue("User", "Top", "1440");
    file.setValue("User", "Left", "-120");
    QString error;
    QVERIFY(file.save(&error));
    QCOMPARE(readFile(path), QByteArray("[User]\r\nUDP port=2238\r\nTop=1440\r\nLeft=-120\r\n"));
}

void TestProfileFile::rewriteKeepsEverythingElse()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "; my notes\n[Radio]\nRig=IC-7300\n\n[user]\nudp port=1\n"
                                        "Colour=blue\n[Tail]\nX=1\n");
    ProfileFile file(path);
    file.setValue("User", "UDP port", "2239");
    QVERIFY(file.save(nullptr));
    QCOMPARE(readFile(path), QByteArray("; my notes\n[Radio]\nRig=IC-7300\n\n[user]\n"
                                        "UDP port=2239\nColour=blue\n[Tail]\nX=1\n"));
}

void TestProfileFile::formsPeopleSaveAreReadAndKept_data()
{
    QTest::addColumn<QByteArray>("content");
    const QString text =
        QStringLiteral("; K1ABC's station\n[User]\nUDP port=2239\nTop=0\nLeft=0\n");
    const auto lines = [&text](const char* end) {
        return QString(text).replace(QLatin1Char('\n'), QLatin1String(end));
    };
    QTest::newRow("CR LF") << lines("\r\n").toLatin1();
    QTest::newRow("LF") << lines("\n").toLatin1();
    QTest::newRow("lone CR") << lines("\r").toLatin1();
    QTest::newRow("no break after the last line") << lines("\r\n").chopped(2).toLatin1();
    QTest::newRow("UTF-8 with its mark") << "\xEF\xBB\xBF" + lines("\r\n").toUtf8();
    const QString crlf = lines("\r\n");
    QByteArray little("\xFF\xFE");
    QByteArray big("\xFE\xFF");
    for (const QChar c : crlf) {
        little += char(c.unicode() & 0xFF) + QByteArray(1, char(c.unicode() >> 8));
        big += QByteArray(1, char(c.unicode() >> 8)) + char(c.unicode() & 0xFF);
    }
    QTest::newRow("UTF-16 little-endian with its mark") << little;
    QTest::newRow("UTF-16 big-endian with its mark") << big;
}

void TestProfileFile::formsPeopleSaveAreReadAndKept()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = writeFile(dir, content);
    ProfileFile file(path);
    QCOMPARE(file.value("User", "UDP port", "dflt"), QString("2239"));
    QCOMPARE(file.value("User", "Left", "dflt"), QString("0"));
    // Written back with the same values, the file is the same to the byte: no second section.
    for (const char* key : {"UDP port", "Top", "Left"})
        file.setValue("User", key, file.value("User", key, QString()));
    QVERIFY(file.save(nullptr));
    QCOMPARE(readFile(path).toHex(), content.toHex());
    // A new key is read back from the file in its own form.
    file.setValue("User", "Multicast group", "224.0.0.1");
    QVERIFY(file.save(nullptr));
    QCOMPARE(ProfileFile(path).value("User", "Multicast group", "none"), QString("224.0.0.1"));
    QCOMPARE(ProfileFile(path).value("User", "UDP port", "none"), QString("2239"));
}

void TestProfileFile::newKeyGoesToTheEndOfItsSection()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "[User]\r\nUDP port=2238\r\n\r\n[Other]\r\nA=1\r\n");
    ProfileFile file(path);
    file.setValue("User", "Top", "15");
    QVERIFY(file.save(nullptr));
    QCOMPARE(readFile(path),
             QByteArray("[User]\r\nUDP port=2238\r\nTop=15\r\n\r\n[Other]\r\nA=1\r\n"));
    QCOMPARE(ProfileFile(path).value("user", "TOP", "0"), QString("15"));
}

void TestProfileFile::saveChangesOnlyTheLinesItWrites_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("a Latin-1 byte in UTF-8")
        << QByteArray("\xEF\xBB\xBF; caf\xE9 \xC3\xA9\r\n[User]\r\nUDP port=1\r\n")
        << QByteArray("\xEF\xBB\xBF; caf\xE9 \xC3\xA9\r\n[User]\r\nUDP port=2239\r\n");
    QTest::newRow("mixed line ends") << QByteArray("; a\n[User]\r\nUDP port=1\rTop=0\n")
                                     << QByteArray("; a\n[User]\r\nUDP port=2239\rTop=0\n");
    QTest::newRow("CR CR LF") << QByteArray("; a\r\r\n[User]\r\r\nUDP port=1\r\r\n")
                              << QByteArray("; a\r\r\n[User]\r\r\nUDP port=2239\r\r\n");
    QTest::newRow("a new key takes the line end before it")
        << QByteArray("[User]\nTop=0\r\n[Other]\r\n")
        << QByteArray("[User]\nTop=0\r\nUDP port=2239\r\n[Other]\r\n");
    QTest::newRow("a new section after a last line without a break")
        << QByteArray("; a\n; b") << QByteArray("; a\n; b\n[User]\nUDP port=2239");
}

void TestProfileFile::saveChangesOnlyTheLinesItWrites()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = writeFile(dir, before);
    ProfileFile file(path);
    file.setValue("User", "UDP port", "2239");
    QVERIFY(file.save(nullptr));
    QCOMPARE(readFile(path), after);
}

void TestProfileFile::fileThatIsNoTextIsLeftAsItIs()
{
    // UTF-16 without its mark, as some editors save it.
    QByteArray wide;
    for (const char c : QByteArray("[User]\r\nUDP port=2239\r\n"))
        wide += QByteArray(1, c) + '\0';
    QTemporaryDir dir;
    const QString path = writeFile(dir, wide);
    ProfileFile file(path);
    QCOMPARE(file.value("User", "UDP port", "dflt"), QString("dflt"));
    file.setValue("User", "UDP port", "2240");
    QString error;
    QVERIFY(!file.save(&error));
    QVERIFY2(error.contains("left as it is"), qPrintable(error));
    QCOMPARE(readFile(path), wide);
}

void TestProfileFile::failedSaveKeepsOldFileAndSaysWhy()
{
    QTemporaryDir dir;
    ProfileFile missingFolder(dir.filePath("no-such-folder/Vantorel.ini"));
    missingFolder.setValue("User", "UDP port", "5000");
    QString error;
    QVERIFY(!missingFolder.save(&error));
    QVERIFY(!error.isEmpty());

    // A file in the way of the temporary file's rename: the target is a folder.
    const QString folder = dir.filePath("Vantorel.ini");
    QVERIFY(QDir().mkdir(folder));
    ProfileFile blocked(folder);
    blocked.setValue("User", "UDP port", "5000");
    QVERIFY(!blocked.save(&error));
    QVERIFY(QFileInfo(folder).isDir());

#ifdef Q_OS_UNIX
    // A write that stops part-way, here at a file-size limit: the old file stays whole.
    const QByteArray old("[User]\r\nUDP port=2238\r\n");
    QTemporaryDir limited;
    const QString path = writeFile(limited, old);
    ProfileFile grown(path);
    grown.setValue("User", "Top", QString(200, QLatin1Char('1')));
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved64 = grown.save(&error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!saved64);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readFile(path), old);
#endif
}

QTEST_APPLESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
