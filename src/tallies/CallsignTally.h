#pragma once

#include "DecodeMessage.h"

#include <QSet>
#include <QStringList>
#include <QVector>

#include <array>
#include <cstdint>

class ChartControl;
class QAction;
class QLabel;

// The statistics of the run: the callsigns heard, in order of first hearing, a 13-bucket
// histogram of the DT of each callsign's first decode, the lowest SNR and the total of decodes.
// Shows them in the status label, the DT chart and, while the DT view shows, the bottom label.
class CallsignTally {
public:
    static constexpr int BucketCount = 13;
    static const QStringList RowLabels;

    CallsignTally(QLabel& label3, QLabel& label1, const QAction& mnuShowDT, ChartControl& chart);

    // Gives the chart its 13 zero values and row labels, as before the first decode.
    void prepareChart();
    void TallyDecode(const DecodeFields& fields);

    // "DT....Total unique callsign:  N"
    QString dtCaption() const;

    const QStringList& uniqueCallsigns() const { return m_uniqueCallsigns; }
    std::int32_t uniqueCount() const { return m_uniqueCount; }
    const std::array<std::int16_t, BucketCount>& bucketCounts() const { return m_buckets; }
    std::int16_t lowestSnr() const { return m_lowestSnr; }
    std::int32_t totalRecords() const { return m_totalRecords; }

    // The bucket, from 1, of a DT in tenths of a second: every value falls into exactly one.
    static int bucketOf(std::int32_t dtTenths);

private:
    void showChart();

    QLabel& m_label3;
    QLabel& m_label1;
    const QAction& m_mnuShowDT;
    ChartControl& m_chart;

    QStringList m_uniqueCallsigns;
    QSet<QString> m_known;
    std::int32_t m_uniqueCount = 0;
    std::array<std::int16_t, BucketCount> m_buckets{};
    QVector<std::int16_t> m_chartData;
    std::int16_t m_lowestSnr = 0;
    std::int32_t m_totalRecords = 0;
};
