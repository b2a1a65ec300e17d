#pragma once

#include "intake/DecodeMessage.h"
#include "tallies/TimeOfDay.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <vector>

// Whether this station's clock is in step with the band, from the DT of the stations heard:
// one station with a wrong clock moves only its own DT, a wrong clock here moves them all. Per
// callsign the median DT of its last ten minutes; over the callsigns their median and a 95 %
// interval for it, judged against the mode's levels only when the whole interval lies beyond
// one. A clock set right meanwhile shows as three periods in a row away from the median on one
// side: the ten minutes start afresh there. The line is worked out a few times a second, however
// many decodes arrive.
class ClockCheck : public QObject {
    Q_OBJECT
public:
    static constexpr std::int32_t WindowMs = 10 * 60 * 1000;
    static constexpr int MinStations = 6;
    // A period counts for the step rule with this many callsigns or more.
    static constexpr int StepStations = 4;
    static constexpr int StepPeriods = 3;
    static constexpr int StepTenths = 5;
    static constexpr std::size_t MaxPeriodDecodes = 4096;

    // How far the verdict says the clock is off.
    enum class Level { None, Ok, Check, Wrong };
    struct Verdict {
        QString line;
        Level level = Level::None;
    };

    explicit ClockCheck(QObject* parent);

    // Counts a decode that names a callsign, is new, not doubtful, not from a recording and
    // not one of several streams ("RR73;").
    void add(const DecodeFields& fields);
    Verdict verdict() const;
    QString line() const { return verdict().line; }

signals:
    void verdictChanged(const ClockCheck::Verdict& verdict);

private:
    struct Period {
        std::int32_t timeMs = -1;
        std::vector<std::pair<QString, std::int32_t>> decodes;
    };

    void restart();
    // The median over the stations of their median DT, in tenths, and how many stations.
    std::vector<double> stationMedians() const;
    void closePeriod();
    void announce();

    // Each callsign's DT in tenths.
    RecentByCallsign<std::int32_t> m_stations{WindowMs};
    QString m_mode;
    Period m_period;
    // The periods of the current run away from the median, oldest first.
    std::vector<Period> m_run;
    int m_runSide = 0;
    std::int32_t m_changedAtMs = -1;
    Throttled m_announcement;
};
