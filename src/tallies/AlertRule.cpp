#include "tallies/AlertRule.h"

#include "tallies/TimeOfDay.h"

void AlertRule::track(const QString& callsign)
{
    m_tracked = callsign;
    m_lastHeardMs = -1;
}

bool AlertRule::alerts(const DecodeFields& fields)
{
    if (m_tracked.isEmpty() || fields.Callsign != m_tracked || !fields.IsNew)
        return false;
    const bool silent =
        m_lastHeardMs < 0 || TimeOfDay::msBetween(m_lastHeardMs, fields.TimeMs) >= SilenceMs;
    m_lastHeardMs = fields.TimeMs;
    if (!silent ||
        (m_lastAlertMs >= 0 && TimeOfDay::msBetween(m_lastAlertMs, fields.TimeMs) < PeriodMs))
        return false;
    m_lastAlertMs = fields.TimeMs;
    return true;
}
