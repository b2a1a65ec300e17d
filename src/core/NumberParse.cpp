#include "core/NumberParse.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace NumberParse {

namespace {

bool isIgnoredBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

double radixNumber(const std::string& text, std::size_t from, int radix)
{
    double value = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

// A decimal number in "." notation, whatever the user's locale says; nullopt when it lies
// beyond the range of a double.
std::optional<double> decimal(std::string_view text)
{
    // from_chars takes a minus sign but no plus sign.
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc())
        return std::nullopt;
    return value;
}

} // namespace

double leadingNumber(const QString& text)
{
    std::string compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (!isIgnoredBlank(c))
            compact.push_back(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '?');
    }
    if (compact.size() >= 2 && compact[0] == '&') {
        const char kind = compact[1];
        if (kind == 'H' || kind == 'h')
            return radixNumber(compact, 2, 16);
        if (kind == 'O' || kind == 'o')
            return radixNumber(compact, 2, 8);
    }

    // Longest prefix of the form [sign] digits [. digits] [(e|E) [sign] digits].
    std::size_t i = 0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-'))
        ++i;
    const std::size_t mantissaStart = i;
    while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i])))
        ++i;
    if (i < compact.size() && compact[i] == '.') {
        ++i;
        while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i])))
            ++i;
    }
    const bool hasDigits = compact.find_first_of("0123456789", mantissaStart) < i;
    if (!hasDigits)
        return 0;
    std::size_t end = i;
    if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-'))
            ++j;
        const std::size_t exponentDigits = j;
        while (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j])))
            ++j;
        if (j > exponentDigits)
            end = j;
    }
    return decimal(std::string_view(compact).substr(0, end))
        .value_or(std::numeric_limits<double>::quiet_NaN());
}

std::optional<double> wholeNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // Only plain decimal notation: digits, one point, a leading sign, an exponent.
    int i = 0;
    if (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-'))
        ++i;
    bool digits = false;
    while (i < trimmed.size() && isDigit(trimmed[i])) {
        ++i;
        digits = true;
    }
    if (i < trimmed.size() && trimmed[i] == QLatin1Char('.')) {
        ++i;
        while (i < trimmed.size() && isDigit(trimmed[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('e') || trimmed[i] == QLatin1Char('E'))) {
        ++i;
        if (i < trimmed.size() &&
            (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-')))
            ++i;
        bool exponentDigits = false;
        while (i < trimmed.size() && isDigit(trimmed[i])) {
            ++i;
            exponentDigits = true;
        }
        if (!exponentDigits)
            return std::nullopt;
    }
    if (i != trimmed.size())
        return std::nullopt;
    return decimal(trimmed.toLatin1().toStdString());
}

double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

std::optional<std::uint16_t> toPort(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= 1 && rounded <= std::numeric_limits<std::uint16_t>::max()))
        return std::nullopt;
    return static_cast<std::uint16_t>(rounded);
}

std::optional<float> toFloat(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

} // namespace NumberParse
