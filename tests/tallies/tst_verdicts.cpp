#include "TestFields.h"
#include "tallies/ChangeCheck.h"
#include "tallies/ClockCheck.h"
#include "tallies/OrderStatistics.h"

#include <QTest>

namespace {

constexpr std::int32_t Noon = 12 * 3600 * 1000;

QString call(int station)
{
    return QStringLiteral("K%1A%2").arg(station % 10).arg(QChar('A' + station / 10));
}

// One period's decodes: station i with DT dts[i] tenths, all stamped with the period's start.
DecodeFields clockDecode(int station, int dtTenths, std::int32_t timeMs,
                         const QString& mode = QStringLiteral("~"))
{
    DecodeFields fields = testFields(call(station), -10, dtTenths);
    fields.TimeMs = timeMs;
    fields.Mode = mode;
    fields.Message = QStringLiteral("CQ %1 FN42").arg(fields.Callsign);
    return fields;
}

DecodeFields snrDecode(int station, int snr, std::int32_t timeMs)
{
    DecodeFields fields = testFields(call(station), static_cast<std::int16_t>(snr));
    fields.TimeMs = timeMs;
    return fields;
}

} // namespace

// The two verdicts on tables of made-up stations, and the order statistics beneath them.
class TestVerdicts : public QObject {
    Q_OBJECT
private slots:
    void orderStatistics();
    void clock_data();
    void clock();
    void clockStepStartsAfresh();
    void change_data();
    void change();
};

void TestVerdicts::orderStatistics()
{
    // The interval's rank and the sign test's thresholds, as published tables give them.
    const QList<int> ranks{0, 1, 1, 1, 2, 2, 2, 3, 3, 3};
    for (int n = 5; n <= 14; ++n)
        QCOMPARE(OrderStatistics::intervalRank(n), ranks[n - 5]);
    QCOMPARE(OrderStatistics::signTestNeeded(5), 6);
    QCOMPARE(OrderStatistics::signTestNeeded(6), 6);
    QCOMPARE(OrderStatistics::signTestNeeded(10), 9);
    QCOMPARE(OrderStatistics::signTestNeeded(15), 12);
    QCOMPARE(OrderStatistics::signTestNeeded(20), 15);
    QCOMPARE(OrderStatistics::signedTenths(-0.4), QString("+0.0"));
    QCOMPARE(OrderStatistics::signedTenths(5.5), QString("+0.6"));
    QCOMPARE(OrderStatistics::signedTenths(-14), QString("-1.4"));
}

void TestVerdicts::clock_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QList<int>>("dts"); // one station each, in tenths
    QTest::addColumn<QString>("line");
    QTest::newRow("too few") << "~" << QList<int>{2, 2, 2, 2, 2}
                             << "Clock: too few stations yet (5 of 6)";
    QTest::newRow("right") << "~" << QList<int>{1, 2, 2, 3, 1, 2, 3, 2}
                           << "Clock OK: median DT +0.2 s over 8 stations in 10 min";
    QTest::newRow("one station far off") << "~" << QList<int>{2, 2, 2, 2, 2, 2, 2, 2, 20}
                                         << "Clock OK: median DT +0.2 s over 9 stations in 10 min";
    QTest::newRow("interval across the level")
        << "~" << QList<int>{4, 5, 6, 6, 7, 8}
        << "Clock OK: median DT +0.6 s over 6 stations in 10 min";
    QTest::newRow("check") << "~" << QList<int>{5, 6, 6, 7, 7, 7, 7, 7, 8, 9, 9, 10}
                           << "Check your clock: about 0.7 s fast (median DT +0.7 s over 12 "
                              "stations; 95 % between +0.6 and +0.9)";
    QTest::newRow("wrong, fast")
        << "~" << QList<int>{12, 13, 13, 14, 14, 14, 15, 15, 16}
        << "Your clock is about 1.4 s fast: FT8 needs it within 1 s "
           "(median DT +1.4 s over 9 stations; 95 % between +1.3 and +1.5)";
    QTest::newRow("wrong, slow")
        << "~" << QList<int>{-12, -13, -13, -14, -14, -14, -15, -15, -16}
        << "Your clock is about 1.4 s slow: FT8 needs it within 1 s "
           "(median DT -1.4 s over 9 stations; 95 % between -1.5 and -1.3)";
    QTest::newRow("FT8 at the FT4 check level")
        << "~" << QList<int>{5, 5, 5, 6, 6, 7}
        << "Clock OK: median DT +0.6 s over 6 stations in 10 min";
    QTest::newRow("FT4 check") << "+" << QList<int>{5, 5, 5, 6, 6, 7}
                               << "Check your clock: about 0.6 s fast (median DT +0.6 s over 6 "
                                  "stations; 95 % between +0.5 and +0.7)";
    QTest::newRow("FT4 wrong") << "+" << QList<int>{9, 9, 10, 10, 11, 11}
                               << "Your clock is about 1.0 s fast: FT4 needs it within 0.8 s "
                                  "(median DT +1.0 s over 6 stations; 95 % between +0.9 and +1.1)";
    QTest::newRow("another mode, figures only")
        << "#" << QList<int>{12, 13, 13, 14, 14, 14, 15, 15, 16}
        << "Clock: median DT +1.4 s over 9 stations in 10 min (95 % between +1.3 and +1.5)";
}

void TestVerdicts::clock()
{
    QFETCH(QString, mode);
    QFETCH(QList<int>, dts);
    QFETCH(QString, line);
    ClockCheck check(nullptr);
    for (int i = 0; i < dts.size(); ++i)
        check.add(clockDecode(i, dts[i], Noon, mode));
    QCOMPARE(check.line(), line);
}

void TestVerdicts::clockStepStartsAfresh()
{
    ClockCheck check(nullptr);
    // Decodes that tell nothing of this clock: not new, doubtful, a recording, a second
    // stream, and a station's own many decodes count once.
    for (int period = 0; period < 4; ++period)
        for (int i = 0; i < 6; ++i)
            check.add(clockDecode(i, 14, Noon + period * 15'000));
    QVERIFY(check.line().startsWith("Your clock is about 1.4 s fast"));
    DecodeFields excluded = clockDecode(9, -30, Noon + 60'000);
    for (const auto& exclude : std::initializer_list<std::function<void(DecodeFields&)>>{
             [](DecodeFields& f) { f.IsNew = false; },
             [](DecodeFields& f) { f.LowConfidence = true; },
             [](DecodeFields& f) { f.OffAir = true; },
             [](DecodeFields& f) { f.Message = "K1ABC RR73; W9XYZ <KH1/KH7Z> -12"; },
             [](DecodeFields& f) { f.Callsign.clear(); }}) {
        DecodeFields fields = excluded;
        exclude(fields);
        check.add(fields);
    }
    QVERIFY(check.line().contains("over 6 stations"));
    // Two periods away are a blip; the third in a row is a clock set right.
    for (int period = 4; period < 7; ++period) {
        for (int i = 0; i < 4; ++i)
            check.add(clockDecode(i, 2, Noon + period * 15'000));
        if (period < 6)
            QVERIFY(check.line().startsWith("Your clock is about 1.4 s fast"));
    }
    check.add(clockDecode(0, 2, Noon + 7 * 15'000));
    QCOMPARE(check.line(),
             QString("Clock: too few stations yet (4 of 6); clock changed at 12:01:00"));
    for (int i = 4; i < 6; ++i)
        check.add(clockDecode(i, 2, Noon + 7 * 15'000));
    QCOMPARE(check.line(), QString("Clock OK: median DT +0.2 s over 6 stations in 10 min"));
    // Ten minutes on, stations not heard since are gone.
    check.add(clockDecode(0, 2, Noon + 7 * 15'000 + ClockCheck::WindowMs + 1));
    QCOMPARE(check.line(),
             QString("Clock: too few stations yet (1 of 6); clock changed at 12:01:00"));
}

void TestVerdicts::change_data()
{
    // Blocks A, B, A...: per block the SNR of stations 0, 1, 2... (-99: not heard).
    QTest::addColumn<QList<QList<int>>>("blocks");
    QTest::addColumn<QString>("line");
    const QList<int> a6{-10, -10, -10, -10, -10, -10};
    QTest::newRow("no switch yet") << QList<QList<int>>{a6}
                                   << "Change: press Change color when you switch, and switch "
                                      "back and forth a few times";
    QTest::newRow("not conclusive")
        << QList<QList<int>>{a6, {-8, -8, -8, -8, -12, -12}}
        << "B vs A: not conclusive yet: 4 of 6 stronger on B (6 of 6 or 9 of 10 needed) One "
           "switch only: a band opening or closing looks the same.";
    QTest::newRow("six of six, one switch")
        << QList<QList<int>>{a6, {-7, -7, -8, -7, -6, -7, -5}}
        << "B vs A: 6 of 6 stronger on B, 0 weaker; median +3 dB (95 % between +2 and +4); "
           "only on B: 1, only on A: 0 One switch only: a band opening or closing looks the same.";
    QList<int> a20(20, -12);
    QList<int> b20(20, -9);
    QTest::newRow("twenty stronger over three switches")
        << QList<QList<int>>{a20, b20, a20, b20}
        << "B vs A: 20 of 20 stronger on B, 0 weaker; median +3 dB (95 % between +3 and +3); "
           "only on B: 0, only on A: 0";
    // Near the floor: both low give no vote, one low counts only by its side.
    QTest::newRow("censored near the floor")
        << QList<QList<int>>{{-22, -22, -22, -22, -22, -22, -22, -22, -24},
                             {-15, -15, -15, -15, -15, -15, -14, -21, -22}}
        << "B vs A: 7 of 7 stronger on B, 0 weaker; median +5 dB (95 % between +5 and +6); "
           "only on B: 0, only on A: 0 One switch only: a band opening or closing looks the same.";
    QTest::newRow("nine of ten weaker")
        << QList<QList<int>>{QList<int>(10, -10), {-13, -13, -13, -13, -13, -13, -13, -13, -13, -7}}
        << "B vs A: 9 of 10 weaker on B, 1 stronger; median -3 dB (95 % between -3 and -3); "
           "only on B: 0, only on A: 0 One switch only: a band opening or closing looks the same.";
}

void TestVerdicts::change()
{
    QFETCH(QList<QList<int>>, blocks);
    QFETCH(QString, line);
    ChangeCheck check(nullptr);
    std::int32_t time = Noon;
    for (qsizetype b = 0; b < blocks.size(); ++b) {
        if (b > 0)
            check.switchBlock();
        QCOMPARE(check.side(), int(b % 2));
        for (int station = 0; station < blocks[b].size(); ++station)
            if (blocks[b][station] != -99)
                check.add(snrDecode(station, blocks[b][station], time));
        // Heard before the block's last 15 minutes: not counted.
        check.add(snrDecode(99, -30, time));
        time += ChangeCheck::WindowMs + 15'000;
    }
    QCOMPARE(check.line(), line);
}

QTEST_APPLESS_MAIN(TestVerdicts)
#include "tst_verdicts.moc"
