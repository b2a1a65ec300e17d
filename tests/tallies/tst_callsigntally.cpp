#include "TestFields.h"
#include "core/RuntimeError.h"
#include "tallies/CallsignTally.h"

#include <QSignalSpy>
#include <QTest>

namespace {

DecodeFields decode(const char* callsign, std::int16_t snr, std::int32_t dtTenths)
{
    return testFields(QString::fromLatin1(callsign), snr, dtTenths);
}

} // namespace

// The run's statistics on their own, without a window.
class TestCallsignTally : public QObject {
    Q_OBJECT
private slots:
    void countsFirstHearingsAndEveryDecode();
    void overflowEndsTheDecodeUnannounced();
};

void TestCallsignTally::countsFirstHearingsAndEveryDecode()
{
    CallsignTally tally;
    QSignalSpy changed(&tally, &CallsignTally::changed);
    tally.TallyDecode(decode("K1ABC", -5, 3));
    tally.TallyDecode(decode("K1ABC", -21, -10)); // a repeat: only the total and the lowest SNR
    tally.TallyDecode(decode("", 2, 0));          // no callsign: never a first hearing
    tally.TallyDecode(decode("W9XYZ", 7, -6));
    QCOMPARE(changed.size(), 4);
    QCOMPARE(tally.uniqueCallsigns(), (QStringList{"K1ABC", "W9XYZ"}));
    QCOMPARE(tally.totalRecords(), 4);
    QCOMPARE(tally.lowestSnr(), -21);
    QCOMPARE(tally.statusCaption(), QString("Lowest dB: -21 in total received records  4"));
    QCOMPARE(tally.dtCaption(), QString("DT....Total unique callsign:  2"));
    QVector<std::int16_t> buckets(CallsignTally::BucketCount, 0);
    buckets[9] = 1; // +0.3
    buckets[0] = 1; // -0.6 and below
    QCOMPARE(tally.chartData(), buckets);
}

void TestCallsignTally::overflowEndsTheDecodeUnannounced()
{
    CallsignTally tally;
    for (int i = 0; i < 32767; ++i)
        tally.TallyDecode(decode(qPrintable(QStringLiteral("K%1").arg(i)), -1, 0));
    QSignalSpy changed(&tally, &CallsignTally::changed);
    QVERIFY_THROWS_EXCEPTION(OverflowError, tally.TallyDecode(decode("N0NEW", -30, 0)));
    // Listed and counted before the full bucket ended the decode; nothing after it.
    QCOMPARE(tally.uniqueCallsigns().last(), QString("N0NEW"));
    QCOMPARE(tally.totalRecords(), 32767);
    QCOMPARE(tally.lowestSnr(), -1);
    QCOMPARE(changed.size(), 0);
}

QTEST_GUILESS_MAIN(TestCallsignTally)
#include "tst_callsigntally.moc"
