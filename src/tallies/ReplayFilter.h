#pragma once

#include "intake/DecodeMessage.h"

#include <cstdint>
#include <vector>

// The decodes received in this run, by their content, so that a decoder replaying its band
// activity (every decode still shown, sent again as not new, when another program asks it to)
// changes nothing: a replayed decode the run has already received is skipped, one it missed is
// taken once. The last Capacity decodes are remembered, the oldest forgotten first; a replay of
// a decode older than that is taken as one missed.
class ReplayFilter {
public:
    // Over five hours of the busiest FT8 band (200 decodes a period of 15 s), in 6 MB.
    static constexpr std::size_t Capacity = std::size_t{1} << 18;

    explicit ReplayFilter(std::size_t capacity = Capacity);

    // Whether the decode is to be shown and counted; it is remembered either way.
    bool admit(const DecodeFields& fields);

private:
    // An open-addressed table of the remembered contents, at most half full, with 0 for an
    // empty slot: a constant cost per decode, and memory fixed at the first decode.
    std::size_t slotOf(std::uint64_t key) const;
    void remove(std::uint64_t key);

    const std::size_t m_capacity;
    std::vector<std::uint64_t> m_slots;
    // The remembered contents in the order received, as a ring once full.
    std::vector<std::uint64_t> m_order;
    std::size_t m_oldest = 0;
};
