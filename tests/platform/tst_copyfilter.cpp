#include "platform/CopyFilter.h"

#include <QTest>

// The copies a decoder sends of one datagram on several interfaces, told from datagrams of
// their own.
class TestCopyFilter : public QObject {
    Q_OBJECT
private slots:
    void copies_data();
    void copies();
    void memoryIsBoundedByCount();
};

void TestCopyFilter::copies_data()
{
    // Each step: "port datagram milliseconds", and whether it is a copy.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<bool>>("copies");
    QTest::newRow("a copy microseconds later")
        << QStringList{"2237 A 0", "2237 A 0"} << QList<bool>{false, true};
    QTest::newRow("a copy seconds later, on a slow interface")
        << QStringList{"2237 A 0", "2237 A 2500", "2237 A 9999"} << QList<bool>{false, true, true};
    QTest::newRow("the same bytes long after are a datagram of their own")
        << QStringList{"2237 A 0", "2237 A 10001", "2237 A 10002"}
        << QList<bool>{false, false, true};
    QTest::newRow("the next datagram of the port, whatever its address")
        << QStringList{"2237 A 0", "2237 B 1", "2237 C 2"} << QList<bool>{false, false, false};
    QTest::newRow("the same bytes from another decoder's port")
        << QStringList{"2237 A 0", "2240 A 1"} << QList<bool>{false, false};
}

void TestCopyFilter::copies()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<bool>, copies);
    CopyFilter filter;
    QList<bool> judged;
    for (const QString& step : steps) {
        const QStringList parts = step.split(' ');
        judged << filter.isCopy(parts[0].toUShort(), parts[1].toLatin1(), parts[2].toLongLong());
    }
    QCOMPARE(judged, copies);
}

void TestCopyFilter::memoryIsBoundedByCount()
{
    CopyFilter filter;
    // A flood within one window: the oldest are forgotten, the newest still known.
    for (std::size_t i = 0; i <= CopyFilter::MaxRemembered; ++i)
        QVERIFY(!filter.isCopy(2237, QByteArray::number(qulonglong(i)), 0));
    QVERIFY(!filter.isCopy(2237, QByteArray::number(0), 0));
    QVERIFY(filter.isCopy(2237, QByteArray::number(qulonglong(CopyFilter::MaxRemembered)), 0));
}

QTEST_APPLESS_MAIN(TestCopyFilter)
#include "tst_copyfilter.moc"
