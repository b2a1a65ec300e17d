#pragma once

#include <QString>

#include <cstdint>

// The text of a whole number as captions and the log show it: one blank before a value of zero
// or more, a minus sign before a negative one (" 7", "-7").
QString numberText(std::int64_t value);

// A float as the settings file stores it: the shortest decimal text that reads back exactly.
QString shortestFloatText(float value);
