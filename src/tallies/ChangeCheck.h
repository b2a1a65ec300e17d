#pragma once

#include "intake/DecodeMessage.h"
#include "tallies/TimeOfDay.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <cstdint>
#include <deque>
#include <vector>

// What a change at this station did (another antenna, a preamp, a filter), from the stations
// heard both before and after it: each press of "Change color" starts a block, A before the
// first press, then B, A, B... For each callsign heard in two adjacent blocks, in each block's
// last 15 minutes, the difference of its median SNR on B and on A; one vote per callsign,
// the median of its differences. SNR is floored near -24 dB: a value at or below -20 counts
// only by its side of another above it, two such give no vote. A verdict only where a sign
// test says so. The blocks are the user's switches, apart from the chart's pages. The line is
// worked out a few times a second, however many decodes arrive.
class ChangeCheck : public QObject {
    Q_OBJECT
public:
    static constexpr std::int32_t WindowMs = 15 * 60 * 1000;
    static constexpr int CensoredDb = -20;

    explicit ChangeCheck(QObject* parent);

    // Counts a decode that names a callsign, is new, not doubtful and not from a recording.
    void add(const DecodeFields& fields);
    // The user switched: the next decodes belong to the other set-up.
    void switchBlock();
    // 0 for A, 1 for B.
    int side() const { return static_cast<int>(m_closed.size() % 2); }
    QString line() const;

signals:
    void lineChanged(const QString& line);

private:
    using Medians = QHash<QString, double>;

    Medians openMedians() const;
    // The difference on B less A between two adjacent blocks, per callsign in both.
    static void addDifferences(const Medians& earlier, const Medians& later, bool laterIsB,
                               QHash<QString, std::vector<double>>& differences);
    void announce();

    // The block being heard now: each callsign's SNR.
    RecentByCallsign<std::int16_t> m_open{WindowMs};
    // Each closed block's medians, oldest first; the differences of closed pairs, kept.
    std::vector<Medians> m_closed;
    QHash<QString, std::vector<double>> m_closedDifferences;
    QSet<QString> m_heardOnA;
    QSet<QString> m_heardOnB;
    Throttled m_announcement;
};
