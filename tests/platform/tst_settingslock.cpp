#include "platform/SettingsLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

// The mark of a running copy: only a live holder of the same settings counts as one.
class TestSettingsLock : public QObject {
    Q_OBJECT
private slots:
    void liveHolderOfTheSameFileIsAnotherCopy();
    void whatCannotBeJudgedIsNoCopy_data();
    void whatCannotBeJudgedIsNoCopy();
    void holderGoneNeverBlocks();
};

void TestSettingsLock::liveHolderOfTheSameFileIsAnotherCopy()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("Vantorel.ini");
    {
        const SettingsLock first(ini);
        QVERIFY(first.held());
        QCOMPARE(first.markPath(), QDir(dir.path()).canonicalPath() + "/Vantorel.ini.lock");
        // However long the first copy runs.
        QFile mark(first.markPath());
        QVERIFY(mark.open(QIODevice::ReadWrite));
        QVERIFY(mark.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                 QFileDevice::FileModificationTime));
        QVERIFY(!SettingsLock(dir.filePath("sub/../Vantorel.ini")).held());
        QVERIFY(SettingsLock(dir.filePath("Other.ini")).held());
    }
    // A clean end leaves no mark behind, and frees the file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(SettingsLock(ini).held());

    // Where the settings folder takes no file, the mark lies in the runtime folder, named
    // after the settings path however it is spelt.
    QFile blocker(dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    QTemporaryDir runtime;
    const SettingsLock elsewhere(dir.filePath("file/sub/Vantorel.ini"), runtime.path());
    QVERIFY(elsewhere.held());
    QCOMPARE(QFileInfo(elsewhere.markPath()).absolutePath(), runtime.path());
    QVERIFY(!SettingsLock(dir.filePath("file/sub/./x/../Vantorel.ini"), runtime.path()).held());
}

void TestSettingsLock::whatCannotBeJudgedIsNoCopy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a file of another's") << "file";
    QTest::newRow("a folder") << "folder";
#ifndef Q_OS_WIN
    QTest::newRow("a FIFO") << "fifo";
    QTest::newRow("a link to elsewhere") << "link";
#endif
}

void TestSettingsLock::whatCannotBeJudgedIsNoCopy()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString mark = dir.filePath("Vantorel.ini.lock");
    if (kind == "file") {
        QFile file(mark);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("12");
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(mark));
    }
#ifndef Q_OS_WIN
    else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(mark).constData(), 0666), 0);
    } else if (kind == "link") {
        QVERIFY(QFile::link(dir.filePath("elsewhere"), mark));
    }
#endif
    // Judged at once, without waiting on the name, and no copy keeps the settings.
    QVERIFY(SettingsLock(dir.filePath("Vantorel.ini")).held());
    QVERIFY(!QFileInfo::exists(dir.filePath("elsewhere")));
}

void TestSettingsLock::holderGoneNeverBlocks()
{
#ifdef Q_OS_WIN
    QSKIP("the lock of another process is taken by the flock tool of Linux");
#else
    QTemporaryDir dir;
    const QString ini = dir.filePath("Vantorel.ini");
    // Another process holds the mark, then ends without a word, as a crash does.
    QProcess holder;
    holder.start("flock", {"--exclusive", "--no-fork", ini + ".lock", "sleep", "60"});
    QVERIFY(holder.waitForStarted());
    QTRY_VERIFY(!SettingsLock(ini).held());
    holder.kill();
    QVERIFY(holder.waitForFinished());
    QVERIFY(QFileInfo::exists(ini + ".lock"));
    QVERIFY(SettingsLock(ini).held());
#endif
}

QTEST_GUILESS_MAIN(TestSettingsLock)
#include "tst_settingslock.moc"
