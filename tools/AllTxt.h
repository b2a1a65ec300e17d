#pragma once

#include "intake/DecodeDatagramWriter.h"

#include <QString>

#include <optional>

// Reads one line of a decoder's ALL.TXT-style log into a Decode report. Two layouts:
//   "231207_123015    14.074 Rx FT8    -12  0.2 1234 CQ K1ABC FN42"
//   "123015 -12  0.2 1234 ~  CQ K1ABC FN42"   (time, SNR, DT, audio offset, mode marker)
// Lines that are neither (blank lines, comments, transmissions) give nullopt.
namespace AllTxt {

std::optional<DecodeReport> parseLine(const QString& line);

} // namespace AllTxt
