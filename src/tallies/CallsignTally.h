#pragma once

#include "intake/DecodeMessage.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <array>
#include <cstdint>

// The statistics of the run: the callsigns heard, in order of first hearing, a 13-bucket
// histogram of the DT of each callsign's first decode, the lowest SNR and the total of decodes.
// State only: the window shows it.
class CallsignTally : public QObject {
    Q_OBJECT
public:
    static constexpr int BucketCount = 13;
    static const QStringList RowLabels;

    explicit CallsignTally(QObject* parent = nullptr);

    void TallyDecode(const DecodeFields& fields);

    // "DT....Total unique callsign:  N"
    QString dtCaption() const;
    // "Lowest dB: -21 in total received records  2"
    QString statusCaption() const;

    const QStringList& uniqueCallsigns() const { return m_uniqueCallsigns; }
    std::int32_t uniqueCount() const { return m_uniqueCount; }
    const std::array<std::int16_t, BucketCount>& bucketCounts() const { return m_buckets; }
    // The histogram as the chart takes it, one value per bucket.
    QVector<std::int16_t> chartData() const;
    std::int16_t lowestSnr() const { return m_lowestSnr; }
    std::int32_t totalRecords() const { return m_totalRecords; }

    // The bucket, from 1, of a DT in tenths of a second: every value falls into exactly one.
    static int bucketOf(std::int32_t dtTenths);

signals:
    // A decode was tallied to its end.
    void changed();

private:
    QStringList m_uniqueCallsigns;
    QSet<QString> m_known;
    std::int32_t m_uniqueCount = 0;
    std::array<std::int16_t, BucketCount> m_buckets{};
    std::int16_t m_lowestSnr = 0;
    std::int32_t m_totalRecords = 0;
};
