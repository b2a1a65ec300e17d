#pragma once

#include "intake/DecodeDatagramWriter.h"

#include <QString>

#include <cstdint>

// Made-up band traffic: CQ calls and exchanges among a fixed number of distinct callsigns,
// with SNR and DT spread the way a busy band spreads them. The same index always gives the
// same report, so runs can be repeated.
namespace Traffic {

QString callsign(std::uint32_t number);
DecodeReport report(std::uint64_t index, std::uint32_t distinctCallsigns);

} // namespace Traffic
