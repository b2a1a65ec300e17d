#include "core/NumberText.h"

#include <charconv>

QString numberText(std::int64_t value)
{
    // Written by hand: this runs several times for every decode.
    char buffer[24] = {' '};
    const auto result = std::to_chars(buffer + 1, buffer + sizeof buffer, value);
    const char* start = value >= 0 ? buffer : buffer + 1;
    return QString::fromLatin1(start, result.ptr - start);
}

QString shortestFloatText(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
