#pragma once

#include "DatagramReader.h"
#include "DecodeMessage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

// Where the decoded datagram goes: the window shows the sender and runs the per-decode steps.
class DecodeSink {
public:
    virtual ~DecodeSink() = default;
    virtual void showSenderId(const QString& id) = 0;
    virtual void runDecodeSteps(const DecodeFields& fields) = 0;
};

// Intake of the WSJT-X UDP "Decode" report (message type 2). Wire layout, all numbers
// big-endian, texts as a 4-byte signed length L and L bytes (L <= 0: empty, nothing follows):
//
//   offset        field               kept as
//   0             magic 0xADBCCBDA    must match, else the datagram is ignored
//   4             schema              discarded
//   8             message type        only byte 11 is tested (== 2) before decoding
//   12            Id (text)           Id, shown in the window caption
//   16+L1         new-decode flag     discarded
//   17+L1         time (ms of day)    TimeMs
//   21+L1         SNR (dB)            Snr, 16-bit
//   25+L1         DT (double, s)      DeltaTime
//   33+L1         delta frequency     discarded
//   37+L1         mode (text)         discarded
//   41+L1+L2      message (text)      Message; nothing after it is read
//
// A datagram that cannot be read to its message field, or whose values do not fit, throws a
// RuntimeError; the caller drops it.
class UDPMessageProcessing {
public:
    static constexpr double MagicNumber = 2914831322.0;
    static constexpr int TypeOffset = 11;
    static constexpr char DecodeType = 2;

    void ProcessDatagram(const QByteArray& datagram, DecodeSink& sink);
    void ProcessDecode(const QByteArray& datagram, DecodeSink& sink);

    const DecodeMessage& lastMessage() const { return m_message; }

    // The derived texts, each of them on its own.
    static QString dtText(double deltaTime);
    static QString timeText(std::int32_t timeMs);
    // Picks the callsign from the message words; a message too short for the rule gives the
    // empty callsign.
    // A first word ending in ";" is a greeting that is skipped; a second word ending in ";"
    // closes a report to another station, and the sender is the fourth word.
    static QString pickCallsign(const QStringList& words);
    // The station the picked word names: a hashed "<CALL>" is CALL; a word that cannot be a
    // callsign (no letter, no digit, other characters than letters, digits and "/", or
    // "RR73") names no station and gives the empty callsign.
    static QString stationCallsign(const QString& word);
    static QStringList splitWords(const QString& message);
    // A word after "CQ" that directs the call rather than naming the caller: "DX", "TEST",
    // "POTA", "123".
    static bool isCqModifier(const QString& word);

private:
    DatagramReader m_reader;
    DecodeMessage m_message;
};
