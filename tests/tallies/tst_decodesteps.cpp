#include "Captures.h"
#include "TestFields.h"
#include "Traffic.h"
#include "intake/DecodeDatagramWriter.h"
#include "tallies/CallsignTally.h"
#include "tallies/CellTable.h"
#include "tallies/DecodeLog.h"
#include "tallies/DecodeSteps.h"
#include "tallies/TrackedHistory.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

// The steps as they ran, in order, and the senders as they were said.
struct StepRecorder {
    QStringList steps;
    QStringList senders;

    explicit StepRecorder(DecodeSteps& decodeSteps)
    {
        QObject::connect(&decodeSteps.tally(), &CallsignTally::changed,
                         [this] { steps << "tally"; });
        QObject::connect(&decodeSteps.history(), &TrackedHistory::pointSet,
                         [this] { steps << "track"; });
        QObject::connect(&decodeSteps.log(), &DecodeLog::logged, [this] { steps << "log"; });
        QObject::connect(&decodeSteps.history(), &TrackedHistory::scrolled,
                         [this] { steps << "scroll"; });
        QObject::connect(&decodeSteps, &DecodeSteps::senderRead, [this](const QString& id) {
            steps << "sender";
            senders << id;
        });
    }
};

} // namespace

// Every datagram through the intake and the four steps, without a window or a socket.
class TestDecodeSteps : public QObject {
    Q_OBJECT
private slots:
    void stepsRunInOrderThenTheSenderIsSaid();
    void senderIsSaidForAReportCutShortAfterIt();
    void decoderTrafficAndItsReplayCountEachDecodeOnce();
    void otherDatagramsChangeNothing();
    void failureEndsTheDatagramAtItsStep();
    void uniqueTestMatchesWholeCallsigns();
    void firstDtOfEachCallsignFillsItsBucket_data();
    void firstDtOfEachCallsignFillsItsBucket();
    void mutatedDatagramsNeverDisturbTheNextOne();
};

void TestDecodeSteps::stepsRunInOrderThenTheSenderIsSaid()
{
    DecodeSteps steps(Qt::cyan, nullptr);
    steps.history().setTrackedCallsign("K1ABC");
    StepRecorder recorder(steps);
    steps.process(decodeDatagram("CQ K1ABC FN42", 5, 0.2, 45'015'000, "ABC"));
    QCOMPARE(recorder.steps, (QStringList{"tally", "track", "log", "scroll", "sender"}));
    QCOMPARE(recorder.senders, QStringList{"ABC"});
    const CellTable& page = steps.log().page();
    const QStringList row{" 1", "12:30:15", "5", "+0.2", "K1ABC", "CQ K1ABC FN42"};
    for (int column = 0; column < DecodeLog::ColumnCount; ++column)
        QCOMPARE(page.text(0, column), row[column]);
    QCOMPARE(page.background(0, DecodeLog::Callsign), QColor(Qt::cyan));
    // The first decode's SNR is the lowest, whatever its sign.
    QCOMPARE(steps.tally().lowestSnr(), 5);

    // Too short for a callsign, a decode is still logged and counted, and tracks nothing.
    recorder.steps.clear();
    steps.process(decodeDatagram("CQ DX", -14, 0.2, 0, "Other"));
    QCOMPARE(recorder.steps, (QStringList{"tally", "log", "scroll", "sender"}));
    QCOMPARE(page.text(1, DecodeLog::Message), QString("CQ DX"));
    QCOMPARE(page.text(1, DecodeLog::Callsign), QString());
    QCOMPARE(steps.tally().totalRecords(), 2);
    QCOMPARE(steps.tally().lowestSnr(), -14);
}

void TestDecodeSteps::decoderTrafficAndItsReplayCountEachDecodeOnce()
{
    const QList<QByteArray> datagrams = capturedDatagrams(QStringLiteral("wsjtx-2.6.1-replay"));
    REQUIRE_CAPTURE(datagrams);
    DecodeSteps steps(Qt::cyan, nullptr);
    steps.history().setTrackedCallsign(QStringLiteral("K1ABC"));
    QList<std::int16_t> trackedRows;
    connect(&steps.history(), &TrackedHistory::pointSet, this,
            [&] { trackedRows << steps.history().trackedRowCounter(); });
    for (const QByteArray& datagram : datagrams)
        steps.process(datagram);
    QCOMPARE(steps.tally().totalRecords(), 21);
    QCOMPARE(steps.log().newestRow(), 20);
    // K1ABC is heard in nine decodes, the last through AP; the replay adds no row.
    QCOMPARE(trackedRows, (QList<std::int16_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

void TestDecodeSteps::senderIsSaidForAReportCutShortAfterIt()
{
    DecodeSteps steps(Qt::cyan, nullptr);
    StepRecorder recorder(steps);
    const QByteArray whole = decodeDatagram("CQ K1ABC FN42", -5, 0.0, 0, "ABC");
    // Magic, schema, type, and the Id "ABC": cut anywhere after it.
    const int idEnd = 12 + 4 + 3;
    steps.process(whole.left(idEnd));
    steps.process(whole.left(idEnd + 5));
    // Cut inside the Id's length: no sender.
    steps.process(whole.left(14));
    QCOMPARE(recorder.senders, (QStringList{"ABC", "ABC"}));
    QCOMPARE(recorder.steps, (QStringList{"sender", "sender"}));
    QCOMPARE(steps.tally().totalRecords(), 0);
}

void TestDecodeSteps::otherDatagramsChangeNothing()
{
    DecodeSteps steps(Qt::cyan, nullptr);
    StepRecorder recorder(steps);
    for (quint32 type = 0; type < 2000; ++type) {
        if ((type & 0xFF) == 2)
            continue;
        QByteArray other = DecodeDatagramWriter::header(static_cast<Protocol::MessageType>(type));
        other.append(64, '\x11');
        steps.process(other);
    }
    QByteArray wrongMagic = decodeDatagram("CQ K1ABC FN42");
    wrongMagic[0] = '\x00';
    steps.process(wrongMagic);
    steps.process(QByteArray(11, '\x02'));
    QCOMPARE(recorder.steps, QStringList());
    QCOMPARE(steps.tally().totalRecords(), 0);
    // Only byte 11 of the type is looked at.
    QByteArray type0x102 = decodeDatagram("CQ K1ABC FN42");
    type0x102[10] = '\x01';
    steps.process(type0x102);
    QCOMPARE(steps.tally().totalRecords(), 1);
}

void TestDecodeSteps::failureEndsTheDatagramAtItsStep()
{
    DecodeSteps steps(Qt::cyan, nullptr);
    for (std::uint32_t i = 0; i < 32767; ++i)
        steps.process(
            decodeDatagram(QStringLiteral("CQ %1 FN42").arg(Traffic::callsign(i)), -10, 0.0));
    const CallsignTally& tally = steps.tally();
    QCOMPARE(tally.bucketCounts()[6], 32767);
    const std::int16_t logCounter = steps.log().logRowCounter();

    // One more new callsign in the full bucket: listed and counted, then the processing ends;
    // the sender is still said.
    steps.history().setTrackedCallsign("K9NEW");
    StepRecorder recorder(steps);
    steps.process(decodeDatagram("CQ K9NEW FN42", -30, 0.0));
    QCOMPARE(recorder.steps, QStringList{"sender"});
    QCOMPARE(tally.uniqueCount(), 32768);
    QCOMPARE(tally.uniqueCallsigns().last(), QString("K9NEW"));
    QCOMPARE(tally.totalRecords(), 32767);
    QCOMPARE(tally.lowestSnr(), -10);
    QCOMPARE(steps.log().logRowCounter(), logCounter);
    QCOMPARE(steps.history().trackedHistoryText(), QString());

    // Repeats and decodes in other buckets go on normally.
    steps.process(decodeDatagram("CQ K9NEW FN42", -30, 0.0));
    steps.process(decodeDatagram("CQ K8NEW FN42", -30, 0.3));
    QCOMPARE(tally.totalRecords(), 32769);
    QCOMPARE(tally.bucketCounts()[9], 1);
    QCOMPARE(tally.lowestSnr(), -30);
    QCOMPARE(steps.history().trackedRowCounter(), 1);
}

void TestDecodeSteps::uniqueTestMatchesWholeCallsigns()
{
    DecodeSteps steps(Qt::cyan, nullptr);
    for (const char* message : {"CQ Q1ABC FN42", "CQ Q1AB FN42", "CQ 1AB FN42", "CQ Q1ABCD FN42",
                                "CQ q1abc FN42", "CQ Q1AB FN42", "CQ  Q1ABC"})
        steps.process(decodeDatagram(message));
    QCOMPARE(steps.tally().uniqueCallsigns(),
             (QStringList{"Q1ABC", "Q1AB", "1AB", "Q1ABCD", "q1abc"}));
    // The empty callsign counts in the total but is never a new callsign.
    QCOMPARE(steps.tally().totalRecords(), 7);
}

void TestDecodeSteps::firstDtOfEachCallsignFillsItsBucket_data()
{
    QTest::addColumn<double>("dt");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bucket");
    QTest::newRow("-0.6 is the lowest bucket") << -0.6 << "-0.6" << 1;
    QTest::newRow("-1.7") << -1.7 << "-1.7" << 1;
    QTest::newRow("-0.56 shows as -0.6") << -0.56 << "-0.6" << 1;
    QTest::newRow("-0.5") << -0.5 << "-0.5" << 2;
    QTest::newRow("-0.04 shows as -0.0") << -0.04 << "-0.0" << 7;
    QTest::newRow("zero") << 0.0 << "+0.0" << 7;
    QTest::newRow("negative zero") << -0.0 << "+0.0" << 7;
    QTest::newRow("0.1") << 0.1 << "+0.1" << 8;
    QTest::newRow("0.3") << 0.3 << "+0.3" << 10;
    QTest::newRow("0.5") << 0.5 << "+0.5" << 12;
    QTest::newRow("0.54 shows as 0.5") << 0.54 << "+0.5" << 12;
    QTest::newRow("0.6 is the highest bucket") << 0.6 << "+0.6" << 13;
    QTest::newRow("2.4") << 2.4 << "+2.4" << 13;
}

void TestDecodeSteps::firstDtOfEachCallsignFillsItsBucket()
{
    QFETCH(double, dt);
    QFETCH(QString, text);
    QFETCH(int, bucket);
    DecodeSteps steps(Qt::cyan, nullptr);
    const QByteArray decode = decodeDatagram("CQ K1ABC FN42", -10, dt);
    if (std::signbit(dt) && dt == 0) // as the decoders send a DT of zero
        QCOMPARE(decode.mid(31, 8), QByteArray("\x80\0\0\0\0\0\0\0", 8));
    steps.process(decode);
    // A repeat with another DT leaves the histogram alone.
    steps.process(decodeDatagram("W9XYZ K1ABC -07", -10, dt + 1));
    QCOMPARE(steps.log().page().text(0, DecodeLog::Dt), text);
    QVector<std::int16_t> buckets(CallsignTally::BucketCount, 0);
    buckets[bucket - 1] = 1;
    QCOMPARE(steps.tally().chartData(), buckets);
}

void TestDecodeSteps::mutatedDatagramsNeverDisturbTheNextOne()
{
    DecodeSteps steps(Qt::cyan, nullptr);
    QRandomGenerator random(20261207); // fixed seed: the same datagrams every run
    for (int i = 0; i < 20000; ++i) {
        QByteArray mutated = DecodeDatagramWriter::encode(Traffic::report(i, 300));
        switch (random.bounded(4)) {
        case 0: // truncate
            mutated.truncate(static_cast<int>(random.bounded(mutated.size() + 1)));
            break;
        case 1: // flip bytes, the header and length fields included
            for (int flips = random.bounded(1, 6); flips > 0; --flips)
                mutated[random.bounded(mutated.size())] = static_cast<char>(random.bounded(256));
            break;
        case 2: // a hostile length in one of the length fields
        {
            const int at = random.bounded(2) == 0 ? 12 : mutated.size() - 6 - 4 - 13;
            const quint32 lengths[] = {0x7FFFFFFF, 0xFFFFFFFE, 0x8000, 0x7FFF, 0xFFFF};
            const quint32 length = lengths[random.bounded(5)];
            for (int b = 0; b < 4 && at + b < mutated.size(); ++b)
                mutated[at + b] = static_cast<char>(length >> (24 - 8 * b));
            break;
        }
        default: // random garbage that passes the type filter
            mutated = QByteArray(random.bounded(12, 200), '\0');
            for (char& c : mutated)
                c = static_cast<char>(random.bounded(256));
            mutated[11] = 2;
            break;
        }
        steps.process(mutated);
    }
    const qint32 total = steps.tally().totalRecords();
    const int row = steps.log().logRowCounter() > 99 ? 0 : steps.log().logRowCounter() - 1;
    StepRecorder recorder(steps);
    steps.process(decodeDatagram("CQ K1GOOD FN42", -4, 0.2, 45'015'000, "Good"));
    QCOMPARE(recorder.senders, QStringList{"Good"});
    QCOMPARE(steps.tally().totalRecords(), total + 1);
    QCOMPARE(steps.log().page().text(row, DecodeLog::Callsign), QString("K1GOOD"));
    QCOMPARE(steps.log().page().text(row, DecodeLog::Time), QString("12:30:15"));
}

QTEST_GUILESS_MAIN(TestDecodeSteps)
#include "tst_decodesteps.moc"
