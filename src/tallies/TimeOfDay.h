#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>

// The decoders stamp each decode with its time of day: spans between them wrap at midnight.
namespace TimeOfDay {

constexpr std::int32_t DayMs = 24 * 60 * 60 * 1000;

// How long after `earlier` the time of day `later` comes, across midnight.
inline std::int32_t msBetween(std::int32_t earlier, std::int32_t later)
{
    return ((later - earlier) % DayMs + DayMs) % DayMs;
}

// The later of the newest time so far (-1: none) and a decode's, a day's wrap allowed for.
inline std::int32_t newest(std::int32_t latest, std::int32_t time)
{
    return latest < 0 || msBetween(latest, time) < DayMs / 2 ? time : latest;
}

} // namespace TimeOfDay

// Runs a call once, a moment after it was first asked for, however often it is asked for
// meanwhile: a summary of many decodes is worked out a few times a second, not per decode.
class Throttled {
public:
    static constexpr int DelayMs = 250;

    Throttled(QObject& context, std::function<void()> call)
        : m_call(std::move(call))
    {
        m_timer.setSingleShot(true);
        m_timer.setInterval(DelayMs);
        QObject::connect(&m_timer, &QTimer::timeout, &context, [this] { m_call(); });
    }

    void ask()
    {
        if (!m_timer.isActive())
            m_timer.start();
    }

private:
    const std::function<void()> m_call;
    QTimer m_timer;
};

// Per callsign, its values of the last windowMs before the newest time added, at most
// MaxSamples of them (ten minutes of the busiest band are a few thousand): a constant cost per
// value, and memory bounded whatever a sender does with its times.
template <typename Value> class RecentByCallsign {
public:
    struct Sample {
        std::int32_t timeMs;
        Value value;
    };
    using Stations = QHash<QString, std::deque<Sample>>;
    static constexpr std::size_t MaxSamples = std::size_t{1} << 16;

    explicit RecentByCallsign(std::int32_t windowMs)
        : m_windowMs(windowMs)
    {
    }

    void add(const QString& callsign, std::int32_t timeMs, Value value)
    {
        m_latestMs = TimeOfDay::newest(m_latestMs, timeMs);
        m_stations[callsign].push_back({timeMs, value});
        m_order.emplace_back(timeMs, callsign);
        while (!m_order.empty() &&
               (TimeOfDay::msBetween(m_order.front().first, m_latestMs) > m_windowMs ||
                m_order.size() > MaxSamples)) {
            const auto station = m_stations.find(m_order.front().second);
            if (station != m_stations.end()) {
                station->pop_front();
                if (station->empty())
                    m_stations.erase(station);
            }
            m_order.pop_front();
        }
    }

    void clear()
    {
        m_stations.clear();
        m_order.clear();
    }

    const Stations& stations() const { return m_stations; }

private:
    const std::int32_t m_windowMs;
    Stations m_stations;
    std::deque<std::pair<std::int32_t, QString>> m_order;
    std::int32_t m_latestMs = -1;
};
