#pragma once

#include "intake/DatagramReader.h"
#include "intake/DecodeMessage.h"

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

// Intake of the WSJT-X UDP "Decode" report (message type 2), laid out as Protocol.h shows. A
// datagram that cannot be read to its message field, or whose values do not fit, throws a
// RuntimeError; the caller drops it.
class UDPMessageProcessing {
public:
    void ProcessDatagram(const QByteArray& datagram, DecodeSink& sink);
    void ProcessDecode(const QByteArray& datagram, DecodeSink& sink);

    const DecodeMessage& lastMessage() const { return m_message; }

    // The derived texts, each of them on its own.
    static QString dtText(double deltaTime);
    // The same DT in tenths of a second, as the text shows it.
    static std::int32_t dtTenths(double deltaTime);
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
