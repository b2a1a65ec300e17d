#include "NumberText.h"

#include <charconv>

QString numberText(std::int64_t value)
{
    const QString digits = QString::number(value);
    return value >= 0 ? QLatin1Char(' ') + digits : digits;
}

QString shortestFloatText(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
