#include "tallies/AlertRule.h"

namespace {

constexpr std::int32_t DayMs = 24 * 60 * 60 * 1000;

std::int32_t since(std::int32_t earlier, std::int32_t now)
{
    return ((now - earlier) % DayMs + DayMs) % DayMs;
}

} // namespace

void AlertRule::track(const QString& callsign)
{
    m_tracked = callsign;
    m_lastHeardMs = -1;
}

bool AlertRule::alerts(const DecodeFields& fields)
{
    if (m_tracked.isEmpty() || fields.Callsign != m_tracked || !fields.IsNew)
        return false;
    const bool silent = m_lastHeardMs < 0 || since(m_lastHeardMs, fields.TimeMs) >= SilenceMs;
    m_lastHeardMs = fields.TimeMs;
    if (!silent || (m_lastAlertMs >= 0 && since(m_lastAlertMs, fields.TimeMs) < PeriodMs))
        return false;
    m_lastAlertMs = fields.TimeMs;
    return true;
}
