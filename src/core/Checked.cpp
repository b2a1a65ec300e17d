#include "core/Checked.h"

#include "core/RuntimeError.h"

#include <limits>

namespace Checked {

std::int16_t narrow16(std::int64_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw OverflowError();
    return static_cast<std::int16_t>(value);
}

std::int32_t narrow32(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        throw OverflowError();
    return static_cast<std::int32_t>(value);
}

} // namespace Checked
