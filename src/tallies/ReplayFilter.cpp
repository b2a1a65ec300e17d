#include "tallies/ReplayFilter.h"

ReplayFilter::ReplayFilter(std::size_t capacity)
    : m_capacity(capacity)
{
}

bool ReplayFilter::admit(const DecodeFields& fields)
{
    const qsizetype before = m_seen.size();
    m_seen.insert(fields.Content);
    if (m_seen.size() == before)
        // A replay of what was received; a new decode that says the same as an earlier one
        // is still a decode of its own.
        return fields.IsNew;
    if (m_order.size() < m_capacity) {
        m_order.push_back(fields.Content);
    } else {
        m_seen.remove(m_order[m_oldest]);
        m_order[m_oldest] = fields.Content;
        m_oldest = (m_oldest + 1) % m_capacity;
    }
    return true;
}
