#pragma once

#include <QByteArrayView>
#include <QHash>

#include <cstdint>
#include <deque>

// Knows the copies of one datagram that a decoder sends on several interfaces at once: the
// same bytes from the same port, within Window of the first, whatever address each copy
// comes from, so that a decoder whose address changes loses nothing. What is remembered is
// bounded by count as well as by time.
class CopyFilter {
public:
    static constexpr std::int64_t WindowMs = 10'000;
    static constexpr std::size_t MaxRemembered = std::size_t{1} << 16;

    // Whether the datagram is a copy of one taken before; nowMs is a steady clock.
    bool isCopy(quint16 port, QByteArrayView datagram, std::int64_t nowMs);

private:
    struct Seen {
        std::int64_t atMs;
        std::uint64_t key;
    };
    void forget(const Seen& seen);

    std::deque<Seen> m_order;
    QHash<std::uint64_t, std::int64_t> m_firstSeen;
};
