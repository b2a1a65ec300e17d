#pragma once

#include <cstdint>

// Counters are 16- or 32-bit signed; leaving the range is an OverflowError, never a wrap.
namespace Checked {

std::int16_t narrow16(std::int64_t value);
std::int32_t narrow32(std::int64_t value);

inline std::int16_t add16(std::int16_t a, std::int32_t b)
{
    return narrow16(std::int64_t{a} + b);
}

inline std::int32_t add32(std::int32_t a, std::int32_t b)
{
    return narrow32(std::int64_t{a} + b);
}

} // namespace Checked
