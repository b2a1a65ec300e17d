#pragma once

#include <QString>

#include <cstdint>

// The fields kept from one Decode report.
struct DecodeMessage {
    QString Id;
    std::int32_t TimeMs = 0;
    std::int16_t Snr = 0;
    double DeltaTime = 0;
    QString Message;
};

// The display texts derived from one Decode report, handed to every per-decode step.
struct DecodeFields {
    QString TimeText; // "hh:mm:ss"
    QString SnrText;  // "-12", "3"
    QString DtText;   // one decimal, "+" from zero up: "+0.2", "-0.5"
    QString Callsign;
    QString Message;
};
