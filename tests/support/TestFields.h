#pragma once

#include "intake/DecodeMessage.h"
#include "intake/UDPMessageProcessing.h"

#include <QString>

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
