#pragma once

#include <QHash>
#include <QMetaObject>
#include <QObject>
#include <QString>

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

// Runs a call at most once per turn of the event loop, however often asked for in a turn.
class OncePerTurn {
public:
    OncePerTurn(QObject& context, std::function<void()> call)
        : m_context(context)
        , m_call(std::move(call))
    {
    }

    void ask()
    {
        if (m_pending)
            return;
        m_pending = true;
        QMetaObject::invokeMethod(
            &m_context,
            [this] {
                m_pending = false;
                m_call();
            },
            Qt::QueuedConnection);
    }

private:
    QObject& m_context;
    const std::function<void()> m_call;
    bool m_pending = false;
};

// Per callsign, its values of the last windowMs before the newest time added: a constant cost
// per value, and no more than the window holds.
template <typename Value> class RecentByCallsign {
public:
    struct Sample {
        std::int32_t timeMs;
        Value value;
    };
    using Stations = QHash<QString, std::deque<Sample>>;

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
               TimeOfDay::msBetween(m_order.front().first, m_latestMs) > m_windowMs) {
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
