#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace NumberParse {

// Lenient reading of a number at the start of a text: blanks, tabs and line feeds anywhere are
// ignored, the longest leading decimal number is taken and the rest dropped; "&H" and "&O"
// introduce hexadecimal and octal digits. A text that does not start with a number gives 0, a
// number beyond the range of a double gives NaN. "." is the decimal separator in every locale.
double leadingNumber(const QString& text);

// Strict reading: the whole text, blanks around it aside, must be one decimal number with "."
// as separator and an optional sign. Nothing else is accepted.
std::optional<double> wholeNumber(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// A number rounded half to even into a UDP port, 1 to 65535; nullopt outside that range.
std::optional<std::uint16_t> toPort(double value);

// A float that holds value exactly enough for a window position; nullopt when out of range.
std::optional<float> toFloat(double value);

} // namespace NumberParse
