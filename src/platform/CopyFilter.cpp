#include "platform/CopyFilter.h"

void CopyFilter::forget(const Seen& seen)
{
    // A later datagram of the same key has its own entry.
    const auto first = m_firstSeen.constFind(seen.key);
    if (first != m_firstSeen.cend() && *first == seen.atMs)
        m_firstSeen.erase(first);
}

bool CopyFilter::isCopy(quint16 port, QByteArrayView datagram, std::int64_t nowMs)
{
    while (!m_order.empty() &&
           (nowMs - m_order.front().atMs > WindowMs || m_order.size() >= MaxRemembered)) {
        forget(m_order.front());
        m_order.pop_front();
    }
    const std::uint64_t key =
        qHashBits(datagram.data(), static_cast<std::size_t>(datagram.size()), port);
    if (m_firstSeen.contains(key))
        return true;
    m_firstSeen.insert(key, nowMs);
    m_order.push_back({nowMs, key});
    return false;
}
