#pragma once

#include "intake/DecodeMessage.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <optional>

class CellTable;

// The history of the tracked callsign: a page of 50 rows, a text of one line per decode, and
// SNR points in pages of 70 drawn into one of two series, switched by the colour button. State
// only: the window shows the page and the points.
class TrackedHistory : public QObject {
    Q_OBJECT
public:
    enum Column { Time = 0, Snr, Dt, Callsign, ColumnCount };
    static constexpr int PageRows = 50;
    static constexpr int ChartPoints = 70;
    static constexpr int SeriesCount = 2;
    static constexpr int SnrCeiling = 15;
    static constexpr int SnrFloor = -30;

    explicit TrackedHistory(QObject* parent);

    // The callsign whose decodes are tracked; empty tracks none.
    void setTrackedCallsign(const QString& callsign) { m_tracked = callsign; }

    void TrackDecode(const DecodeFields& fields);
    void ScrollTrackedHistory();
    // Every point empty; new points to series 1 from point 1.
    void clearChart();
    // New points go to the other series.
    void switchColor();
    // Starts the history afresh, as a new pick does.
    void reset();

    // The page as a table of PageRows rows by ColumnCount columns.
    CellTable& page() { return *m_page; }
    const CellTable& page() const { return *m_page; }
    // The first row of the page to show.
    int topRow() const { return qMax(0, m_trackedRowCounter - 5); }
    const QString& trackedHistoryText() const { return m_trackedHistoryText; }
    // The SNR of a point (series and point from 1), clamped to the chart's range; none when
    // the point is empty.
    std::optional<std::int16_t> point(int series, int point) const;
    std::int16_t trackedRowCounter() const { return m_trackedRowCounter; }
    std::int16_t chartPointCounter() const { return m_chartPointCounter; }
    bool colorFlag() const { return m_colorFlag; }

signals:
    // A page begins: it shows from its top.
    void pageStarted();
    // After each decode, tracked or not: the first row to show.
    void scrolled(int topRow);
    void pointSet(int series, int point, int snr);
    void pointsCleared();

private:
    void startPage();
    void wipeChartPoints();

    CellTable* m_page;
    QString m_tracked;
    // Row of the next tracked decode; 50 once a page is full.
    std::int16_t m_trackedRowCounter = 0;
    QString m_trackedHistoryText;
    std::array<std::optional<std::int16_t>, SeriesCount * ChartPoints> m_points{};
    // Point of the next tracked decode; 71 once the chart is full.
    std::int16_t m_chartPointCounter = 1;
    bool m_colorFlag = false;
};
