#pragma once

#include "DecodeMessage.h"

#include <cstdint>

class ChartControl;
class FlexGrid;
class QLineEdit;

// The history of the tracked callsign (the text of the callsign box): a grid in pages of 50
// rows, a text of one line per decode, and an SNR chart in pages of 70 points drawn into one of
// two series, switched by the colour button.
class TrackedHistory {
public:
    enum Column { Time = 0, Snr, Dt, Callsign, ColumnCount };
    static constexpr int PageRows = 50;
    static constexpr int ChartPoints = 70;
    static constexpr int SnrCeiling = 15;
    static constexpr int SnrFloor = -30;

    TrackedHistory(const QLineEdit& text1, FlexGrid& grid, ChartControl& chart);

    void TrackDecode(const DecodeFields& fields);
    void ScrollTrackedHistory();
    // All 140 points to 0, drawn as gaps; new points to series 1 from row 1.
    void Clear_Chart2();
    void Command1_Click();
    // Starts the history afresh, as a new pick does.
    void reset();

    const QString& trackedHistoryText() const { return m_trackedHistoryText; }
    std::int16_t trackedRowCounter() const { return m_trackedRowCounter; }
    std::int16_t chartPointCounter() const { return m_chartPointCounter; }
    bool colorFlag() const { return m_colorFlag; }

private:
    void wipeChartPoints();

    const QLineEdit& m_text1;
    FlexGrid& m_grid;
    ChartControl& m_chart;

    // Row of the next tracked decode; 50 once a page is full.
    std::int16_t m_trackedRowCounter = 0;
    QString m_trackedHistoryText;
    // Point of the next tracked decode; 71 once the chart is full.
    std::int16_t m_chartPointCounter = 1;
    bool m_colorFlag = false;
};
