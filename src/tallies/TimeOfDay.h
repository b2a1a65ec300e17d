#pragma once

#include <QMetaObject>
#include <QObject>

#include <cstdint>
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
