#pragma once

#include "intake/DatagramReader.h"
#include "intake/DecodeMessage.h"

#include <QByteArray>
#include <QHashFunctions>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Intake of the WSJT-X UDP "Decode" report (message type 2), laid out as Protocol.h shows, in
// two reads: the sender first, so that it can be shown even when the rest cannot be read, then
// the fields. A datagram that cannot be read to its message field, or whose values do not fit,
// throws a RuntimeError; the caller drops it.
class UDPMessageProcessing {
public:
    // The sender's Id of a Decode report; none for a datagram of another type or protocol.
    std::optional<QString> ProcessDatagram(const QByteArray& datagram);
    // The rest of the report whose sender ProcessDatagram has just given.
    DecodeFields ProcessDecode();

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

    // What survives of a message when the decoder replays it: it rebuilds a replay from its
    // band activity, which shows an AP marker ("a1", "q3", "q12", with a low-confidence "? "
    // before it) apart from the message and trims the blanks at the end.
    static QByteArrayView replayedMessage(QByteArrayView message);

private:
    // The bytes from index 12 to the end of the message, less the new-decode flag, with the
    // message as a replay sends it.
    std::uint64_t contentOf(qsizetype idEnd, qsizetype restStart, qsizetype messageStart,
                            qsizetype messageEnd) const;

    QByteArray m_datagram;
    qsizetype m_idEnd = 0;
    DatagramReader m_reader;
    DecodeMessage m_message;
};
