#include "CallsignTally.h"

#include "ChartControl.h"
#include "Checked.h"
#include "NumberParse.h"
#include "NumberText.h"
#include "RuntimeError.h"

#include <QAction>
#include <QLabel>

const QStringList CallsignTally::RowLabels = {
    QStringLiteral("<-0.6"), QStringLiteral("-0.5"), QStringLiteral("-0.4"), QStringLiteral("-0.3"),
    QStringLiteral("-0.2"),  QStringLiteral("-0.1"), QStringLiteral("0"),    QStringLiteral("0.1"),
    QStringLiteral("0.2"),   QStringLiteral("0.3"),  QStringLiteral("0.4"),  QStringLiteral("0.5"),
    QStringLiteral(">0.6")};

CallsignTally::CallsignTally(QLabel& label3, QLabel& label1, const QAction& mnuShowDT,
                             ChartControl& chart)
    : m_label3(label3)
    , m_label1(label1)
    , m_mnuShowDT(mnuShowDT)
    , m_chart(chart)
    , m_chartData(BucketCount, 0)
{
}

void CallsignTally::prepareChart()
{
    m_chartData.fill(0);
    showChart();
}

int CallsignTally::bucketOf(double dt)
{
    // Bucket 1 holds -0.6 and below, bucket 13 holds 0.6 and above, the others one tenth each;
    // the values compared are those of the one-decimal texts.
    if (dt <= -0.6)
        return 1;
    if (dt >= 0.6)
        return BucketCount;
    static constexpr std::array<double, 11> Tenths = {-0.5, -0.4, -0.3, -0.2, -0.1, 0.0,
                                                      0.1,  0.2,  0.3,  0.4,  0.5};
    for (std::size_t i = 0; i < Tenths.size(); ++i) {
        if (dt == Tenths[i])
            return static_cast<int>(i) + 2;
    }
    return 0;
}

void CallsignTally::TallyDecode(const DecodeFields& fields)
{
    // An entry counts as heard only when the whole callsign matches; the empty callsign is
    // never a new one.
    if (!fields.Callsign.isEmpty() && !m_known.contains(fields.Callsign)) {
        m_uniqueCallsigns << fields.Callsign;
        m_known.insert(fields.Callsign);
        m_uniqueCount = Checked::add32(m_uniqueCount, 1);
        const std::optional<double> dt = NumberParse::wholeNumber(fields.DtText);
        if (!dt)
            throw TypeMismatchError();
        const int bucket = bucketOf(*dt);
        if (bucket > 0)
            m_buckets[bucket - 1] = Checked::add16(m_buckets[bucket - 1], 1);
    }

    const std::optional<double> snr = NumberParse::wholeNumber(fields.SnrText);
    if (!snr)
        throw TypeMismatchError();
    const std::optional<std::int16_t> snr16 = NumberParse::toInt16(*snr);
    if (!snr16)
        throw OverflowError();
    if (m_totalRecords == 0 || *snr16 < m_lowestSnr)
        m_lowestSnr = *snr16;
    m_totalRecords = Checked::add32(m_totalRecords, 1);

    m_label3.setText(QStringLiteral("Lowest dB: ") + numberText(m_lowestSnr) +
                     QStringLiteral(" in total received records ") + numberText(m_totalRecords));
    if (!m_mnuShowDT.isEnabled())
        m_label1.setText(dtCaption());

    std::copy(m_buckets.begin(), m_buckets.end(), m_chartData.begin());
    showChart();
}

QString CallsignTally::dtCaption() const
{
    return QStringLiteral("DT....Total unique callsign: ") + numberText(m_uniqueCount);
}

void CallsignTally::showChart()
{
    m_chart.setChartData(m_chartData);
    for (int row = 1; row <= BucketCount; ++row)
        m_chart.setRowLabel(row, RowLabels[row - 1]);
}
