#include "tallies/ClockCheck.h"

#include "intake/UDPMessageProcessing.h"
#include "tallies/OrderStatistics.h"
#include "tallies/TimeOfDay.h"

#include <cmath>

namespace {

struct Levels {
    const char* mode;
    int checkTenths;
    int wrongTenths;
    const char* wrongText;
};

const Levels* levelsFor(const QString& mode)
{
    static const Levels ft8{"FT8", 5, 10, "1 s"};
    static const Levels ft4{"FT4", 4, 8, "0.8 s"};
    if (mode == QLatin1String("~"))
        return &ft8;
    if (mode == QLatin1String("+"))
        return &ft4;
    return nullptr;
}

} // namespace

ClockCheck::ClockCheck(QObject* parent)
    : QObject(parent)
    , m_announcement(*this, [this] { announce(); })
{
}

void ClockCheck::add(const DecodeFields& fields)
{
    if (fields.Callsign.isEmpty() || !fields.IsNew || fields.LowConfidence || fields.OffAir ||
        fields.Message.contains(QLatin1String("RR73;")))
        return;
    // Another mode has other periods and levels: its ten minutes start afresh.
    if (fields.Mode != m_mode) {
        m_mode = fields.Mode;
        restart();
        m_period = {};
        m_changedAtMs = -1;
    }
    // The decoder stamps every decode of a period with the period's start.
    if (fields.TimeMs != m_period.timeMs) {
        closePeriod();
        m_period = {fields.TimeMs, {}};
    }
    // A period holds a few hundred decodes at the most; a sender that stamps more with one time
    // adds nothing to the step rule.
    if (m_period.decodes.size() < MaxPeriodDecodes)
        m_period.decodes.emplace_back(fields.Callsign, fields.DtTenths);
    m_stations.add(fields.Callsign, fields.TimeMs, fields.DtTenths);
    m_announcement.ask();
}

void ClockCheck::restart()
{
    m_stations.clear();
    m_run.clear();
    m_runSide = 0;
}

std::vector<double> ClockCheck::stationMedians() const
{
    std::vector<double> medians;
    medians.reserve(static_cast<std::size_t>(m_stations.stations().size()));
    std::vector<double> dts;
    for (const auto& samples : m_stations.stations()) {
        dts.clear();
        for (const auto& sample : samples)
            dts.push_back(sample.value);
        medians.push_back(OrderStatistics::median(dts));
    }
    return medians;
}

void ClockCheck::closePeriod()
{
    if (static_cast<int>(m_period.decodes.size()) < StepStations)
        return;
    std::vector<double> medians = stationMedians();
    if (static_cast<int>(medians.size()) < MinStations)
        return;
    const double m = OrderStatistics::median(medians);
    std::vector<double> dts;
    for (const auto& decode : m_period.decodes)
        dts.push_back(decode.second);
    const double away = OrderStatistics::median(dts) - m;
    const int side = away > StepTenths ? 1 : away < -StepTenths ? -1 : 0;
    if (side == 0 || side != m_runSide)
        m_run.clear();
    m_runSide = side;
    if (side == 0)
        return;
    m_run.push_back(m_period);
    if (static_cast<int>(m_run.size()) < StepPeriods)
        return;
    // The clock was set meanwhile: the ten minutes start with the periods that showed it.
    const std::vector<Period> run = std::move(m_run);
    restart();
    for (const Period& period : run)
        for (const auto& [callsign, dt] : period.decodes)
            m_stations.add(callsign, period.timeMs, dt);
    m_changedAtMs = run.front().timeMs;
}

ClockCheck::Verdict ClockCheck::verdict() const
{
    std::vector<double> medians = stationMedians();
    const int n = static_cast<int>(medians.size());
    if (n < MinStations) {
        QString text =
            QStringLiteral("Clock: too few stations yet (%1 of %2)").arg(n).arg(MinStations);
        if (m_changedAtMs >= 0)
            text += QStringLiteral("; clock changed at ") +
                    UDPMessageProcessing::timeText(m_changedAtMs);
        return {text, Level::None};
    }
    std::sort(medians.begin(), medians.end());
    std::vector<double> copy = medians;
    const double m = OrderStatistics::median(copy);
    const int k = OrderStatistics::intervalRank(n);
    const double low = medians[static_cast<std::size_t>(k - 1)];
    const double high = medians[static_cast<std::size_t>(n - k)];
    const QString median = OrderStatistics::signedTenths(m);
    const QString interval =
        QStringLiteral("95 % between %1 and %2")
            .arg(OrderStatistics::signedTenths(low), OrderStatistics::signedTenths(high));
    const Levels* levels = levelsFor(m_mode);
    if (!levels)
        return {QStringLiteral("Clock: median DT %1 s over %2 stations in 10 min (%3)")
                    .arg(median)
                    .arg(n)
                    .arg(interval),
                Level::None};
    // A positive DT: every station starts late here, so this clock is fast.
    const int side = low > levels->checkTenths ? 1 : high < -levels->checkTenths ? -1 : 0;
    if (side == 0)
        return {QStringLiteral("Clock OK: median DT %1 s over %2 stations in 10 min")
                    .arg(median)
                    .arg(n),
                Level::Ok};
    const QString about = OrderStatistics::signedTenths(std::fabs(m)).mid(1) +
                          (side > 0 ? QStringLiteral(" s fast") : QStringLiteral(" s slow"));
    const QString figures =
        QStringLiteral("(median DT %1 s over %2 stations; %3)").arg(median).arg(n).arg(interval);
    const bool wrong = side > 0 ? low > levels->wrongTenths : high < -levels->wrongTenths;
    if (wrong)
        return {
            QStringLiteral("Your clock is about %1: %2 needs it within %3 %4")
                .arg(about, QLatin1String(levels->mode), QLatin1String(levels->wrongText), figures),
            Level::Wrong};
    return {QStringLiteral("Check your clock: about %1 %2").arg(about, figures), Level::Check};
}

void ClockCheck::announce()
{
    emit verdictChanged(verdict());
}
