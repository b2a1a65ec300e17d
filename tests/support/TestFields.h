#pragma once

#include "intake/DecodeDatagramWriter.h"
#include "intake/DecodeMessage.h"
#include "intake/UDPMessageProcessing.h"

#include <QString>

// A Decode datagram as a decoder sends it.
inline QByteArray decodeDatagram(const QString& message, int snr = -10, double dt = 0.1,
                                 quint32 timeMs = 43'200'000,
                                 const QString& id = QStringLiteral("WSJT-X"))
{
    DecodeReport report;
    report.id = id;
    report.message = message;
    report.snr = snr;
    report.deltaTime = dt;
    report.timeMs = timeMs;
    return DecodeDatagramWriter::encode(report);
}

// A decode's fields as the intake derives them, with the texts matching the numbers.
inline DecodeFields testFields(const QString& callsign, std::int16_t snr = -10,
                               std::int32_t dtTenths = 0,
                               const QString& time = QStringLiteral("12:00:15"))
{
    DecodeFields fields;
    fields.TimeText = time;
    fields.Snr = snr;
    fields.SnrText = QString::number(snr);
    fields.DtTenths = dtTenths;
    fields.DtText = UDPMessageProcessing::dtText(dtTenths / 10.0);
    fields.Callsign = callsign;
    fields.Message = QStringLiteral("CQ ") + callsign + QStringLiteral(" FN42");
    return fields;
}
