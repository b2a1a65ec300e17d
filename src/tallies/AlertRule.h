#pragma once

#include "intake/DecodeMessage.h"

#include <QString>

#include <cstdint>

// When a decode of the tracked callsign is worth an alert: the first heard since it was picked,
// or the first after 5 minutes without it, and never a second within one 15-second period, so
// that a burst is one alert. Replays (not new) and other callsigns never alert. Times are the
// decodes' own, across midnight.
class AlertRule {
public:
    static constexpr std::int32_t SilenceMs = 5 * 60 * 1000;
    static constexpr std::int32_t PeriodMs = 15'000;

    // A callsign picked or typed: it has not been heard since. The period of the last alert
    // still holds.
    void track(const QString& callsign);
    // Whether this decode, taken by the replay filter, alerts.
    bool alerts(const DecodeFields& fields);

private:
    QString m_tracked;
    std::int32_t m_lastHeardMs = -1;
    std::int32_t m_lastAlertMs = -1;
};
