#include "TestFields.h"
#include "tallies/ReplayFilter.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <deque>

namespace {

DecodeFields decode(std::uint64_t content, bool isNew)
{
    DecodeFields fields = testFields("K1ABC");
    fields.Content = content;
    fields.IsNew = isNew;
    return fields;
}

} // namespace

// Which decodes a replay may add: only those the run has not received.
class TestReplayFilter : public QObject {
    Q_OBJECT
private slots:
    void replayAddsOnlyWhatWasMissed();
    void oldestAreForgottenFirst();
    void agreesWithAPlainListOverAnyRun();
};

void TestReplayFilter::replayAddsOnlyWhatWasMissed()
{
    ReplayFilter filter;
    QVERIFY(filter.admit(decode(1, true)));
    // The same words again as a new decode: a decode of its own.
    QVERIFY(filter.admit(decode(1, true)));
    QVERIFY(!filter.admit(decode(1, false)));
    // Missed before the replay: taken once, then known.
    QVERIFY(filter.admit(decode(2, false)));
    QVERIFY(!filter.admit(decode(2, false)));
    QVERIFY(filter.admit(decode(2, true)));
}

void TestReplayFilter::oldestAreForgottenFirst()
{
    ReplayFilter filter(3);
    for (const std::uint64_t content : {1, 2, 3, 4})
        QVERIFY(filter.admit(decode(content, true)));
    // 1 is forgotten, 2 to 4 are known; remembering 1 again forgets 2.
    QVERIFY(filter.admit(decode(1, false)));
    QVERIFY(filter.admit(decode(2, false)));
    for (const std::uint64_t content : {4, 1, 2})
        QVERIFY(!filter.admit(decode(content, false)));
}

void TestReplayFilter::agreesWithAPlainListOverAnyRun()
{
    // Few slots and contents that share their low bits, so that probes collide, wrap around
    // the table's end and are moved back when an entry is forgotten.
    constexpr std::size_t Capacity = 8;
    ReplayFilter filter(Capacity);
    std::deque<std::uint64_t> remembered;
    QRandomGenerator random(31);
    for (int step = 0; step < 20000; ++step) {
        const std::uint64_t content = random.bounded(24) * 16 + random.bounded(3) + 1;
        const bool isNew = random.bounded(3) == 0;
        const bool known =
            std::find(remembered.begin(), remembered.end(), content) != remembered.end();
        QCOMPARE(filter.admit(decode(content, isNew)), isNew || !known);
        if (!known) {
            remembered.push_back(content);
            if (remembered.size() > Capacity)
                remembered.pop_front();
        }
    }
}

QTEST_APPLESS_MAIN(TestReplayFilter)
#include "tst_replayfilter.moc"
