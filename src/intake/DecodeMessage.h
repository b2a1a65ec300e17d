#pragma once

#include <QString>

#include <cstdint>

// The fields kept from one Decode report.
struct DecodeMessage {
    QString Id;
    bool NewDecode = true;
    std::int32_t TimeMs = 0;
    std::int16_t Snr = 0;
    double DeltaTime = 0;
    QString Message;
};

// The display texts derived from one Decode report, handed to every per-decode step, with the
// numbers they show, so that no step reads a number back from its text.
struct DecodeFields {
    QString TimeText; // "hh:mm:ss"
    // The time of day it was decoded at, in milliseconds.
    std::int32_t TimeMs = 0;
    QString SnrText; // "-12", "3"
    QString DtText;  // one decimal, "+" from zero up: "+0.2", "-0.5"
    QString Callsign;
    QString Message;
    std::int16_t Snr = 0;
    // The DT as DtText shows it, in tenths of a second; beyond a billion it stays there.
    std::int32_t DtTenths = 0;
    // False for a decode the decoder sends again when it replays its band activity.
    bool IsNew = true;
    // The mode as the decoder marks it: "~" FT8, "+" FT4.
    QString Mode;
    // Decoded with a priori information and judged doubtful by the decoder.
    bool LowConfidence = false;
    // Decoded from a recording, not from the air.
    bool OffAir = false;
    // A fingerprint of what the decode says and its replay says alike (sender, time, SNR, DT,
    // delta frequency, mode, message without its AP marker and final blanks); neither the
    // new-decode flag nor the two flags after the message count.
    std::uint64_t Content = 0;
};
