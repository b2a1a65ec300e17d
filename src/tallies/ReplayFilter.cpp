#include "tallies/ReplayFilter.h"

#include <bit>

namespace {

// The table keeps 0 for an empty slot: the one content that hashes to it shares a key.
std::uint64_t keyOf(std::uint64_t content)
{
    return content == 0 ? 1 : content;
}

} // namespace

ReplayFilter::ReplayFilter(std::size_t capacity)
    : m_capacity(capacity)
{
}

std::size_t ReplayFilter::slotOf(std::uint64_t key) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = static_cast<std::size_t>(key) & mask;
    while (m_slots[slot] != 0 && m_slots[slot] != key)
        slot = (slot + 1) & mask;
    return slot;
}

void ReplayFilter::remove(std::uint64_t key)
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t hole = slotOf(key);
    if (m_slots[hole] == 0)
        return;
    m_slots[hole] = 0;
    // Keys after the hole that probed past it move back, so that every key stays reachable
    // from its home slot without tombstones.
    for (std::size_t next = (hole + 1) & mask; m_slots[next] != 0; next = (next + 1) & mask) {
        const std::size_t home = static_cast<std::size_t>(m_slots[next]) & mask;
        if (((next - home) & mask) >= ((next - hole) & mask)) {
            m_slots[hole] = m_slots[next];
            m_slots[next] = 0;
            hole = next;
        }
    }
}

bool ReplayFilter::admit(const DecodeFields& fields)
{
    if (m_slots.empty()) {
        m_slots.assign(std::bit_ceil(2 * m_capacity), 0);
        m_order.reserve(m_capacity);
    }
    const std::uint64_t key = keyOf(fields.Content);
    const std::size_t slot = slotOf(key);
    if (m_slots[slot] == key)
        // A replay of what was received; a new decode that says the same as an earlier one
        // is still a decode of its own.
        return fields.IsNew;
    if (m_order.size() < m_capacity) {
        m_slots[slot] = key;
        m_order.push_back(key);
    } else {
        remove(m_order[m_oldest]);
        m_slots[slotOf(key)] = key;
        m_order[m_oldest] = key;
        m_oldest = (m_oldest + 1) % m_capacity;
    }
    return true;
}
