#include "tallies/CallsignTally.h"

#include "core/Checked.h"
#include "core/NumberText.h"

#include <algorithm>

const QStringList CallsignTally::RowLabels = {
    QStringLiteral("<-0.6"), QStringLiteral("-0.5"), QStringLiteral("-0.4"), QStringLiteral("-0.3"),
    QStringLiteral("-0.2"),  QStringLiteral("-0.1"), QStringLiteral("0"),    QStringLiteral("0.1"),
    QStringLiteral("0.2"),   QStringLiteral("0.3"),  QStringLiteral("0.4"),  QStringLiteral("0.5"),
    QStringLiteral(">0.6")};

CallsignTally::CallsignTally(QObject* parent)
    : QObject(parent)
{
}

int CallsignTally::bucketOf(std::int32_t dtTenths)
{
    // Bucket 1 holds -0.6 and below, bucket 13 holds 0.6 and above, the others one tenth each.
    return std::clamp(dtTenths, -6, 6) + 7;
}

void CallsignTally::TallyDecode(const DecodeFields& fields)
{
    // An entry counts as heard only when the whole callsign matches; the empty callsign is
    // never a new one.
    if (!fields.Callsign.isEmpty() && !m_known.contains(fields.Callsign)) {
        m_uniqueCallsigns << fields.Callsign;
        m_known.insert(fields.Callsign);
        m_uniqueCount = Checked::add32(m_uniqueCount, 1);
        const int bucket = bucketOf(fields.DtTenths);
        m_buckets[bucket - 1] = Checked::add16(m_buckets[bucket - 1], 1);
    }

    if (m_totalRecords == 0 || fields.Snr < m_lowestSnr)
        m_lowestSnr = fields.Snr;
    m_totalRecords = Checked::add32(m_totalRecords, 1);
    emit changed();
}

QString CallsignTally::dtCaption() const
{
    return QStringLiteral("DT....Total unique callsign: ") + numberText(m_uniqueCount);
}

QString CallsignTally::statusCaption() const
{
    return QStringLiteral("Lowest dB: ") + numberText(m_lowestSnr) +
           QStringLiteral(" in total received records ") + numberText(m_totalRecords);
}

QVector<std::int16_t> CallsignTally::chartData() const
{
    return QVector<std::int16_t>(m_buckets.begin(), m_buckets.end());
}
