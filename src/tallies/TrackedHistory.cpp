#include "TrackedHistory.h"

#include "ChartControl.h"
#include "Checked.h"
#include "FlexGrid.h"

#include <QLineEdit>

#include <algorithm>

TrackedHistory::TrackedHistory(const QLineEdit& text1, FlexGrid& grid, ChartControl& chart)
    : m_text1(text1)
    , m_grid(grid)
    , m_chart(chart)
{
}

void TrackedHistory::TrackDecode(const DecodeFields& fields)
{
    const QString tracked = m_text1.text();
    if (tracked.isEmpty() || tracked != fields.Callsign)
        return;

    // A full page stays on screen until the next tracked decode needs its room.
    if (m_trackedRowCounter >= PageRows) {
        m_grid.clear();
        m_grid.setRows(PageRows);
        m_trackedRowCounter = 0;
        m_grid.setCol(Time);
        m_grid.setTopRow(0);
    }
    const int row = m_trackedRowCounter;
    m_grid.setTextMatrix(row, Time, fields.TimeText);
    m_grid.setTextMatrix(row, Snr, fields.SnrText);
    m_grid.setTextMatrix(row, Dt, fields.DtText);
    m_grid.setTextMatrix(row, Callsign, fields.Callsign);
    const QString gap = QStringLiteral("  ");
    m_trackedHistoryText += fields.TimeText + gap + fields.SnrText + gap + fields.DtText + gap +
                            fields.Callsign + QStringLiteral("\r\n");
    m_trackedRowCounter = Checked::add16(m_trackedRowCounter, 1);

    if (m_chartPointCounter > ChartPoints) {
        wipeChartPoints();
        m_chartPointCounter = 1;
    }
    m_chart.setRow(m_chartPointCounter);
    m_chart.setColumn(m_colorFlag ? 2 : 1);
    m_chart.setData(std::clamp<int>(fields.Snr, SnrFloor, SnrCeiling));
    m_chartPointCounter = Checked::add16(m_chartPointCounter, 1);
    // The page is full: new points start again in series 1, as after a clear, while the full
    // page stays drawn until the next point.
    if (m_chartPointCounter > ChartPoints)
        m_colorFlag = false;
}

void TrackedHistory::ScrollTrackedHistory()
{
    m_grid.setTopRow(Checked::add16(m_trackedRowCounter, -5));
    m_grid.setRowHeightAll(200);
}

void TrackedHistory::wipeChartPoints()
{
    for (int column = 1; column <= 2; ++column) {
        m_chart.setColumn(column);
        for (int row = 1; row <= ChartPoints; ++row) {
            m_chart.setRow(row);
            m_chart.clearPoint();
        }
    }
}

void TrackedHistory::Clear_Chart2()
{
    wipeChartPoints();
    m_colorFlag = false;
    m_chartPointCounter = 1;
}

void TrackedHistory::Command1_Click()
{
    m_colorFlag = !m_colorFlag;
}

void TrackedHistory::reset()
{
    m_grid.clear();
    Clear_Chart2();
    m_trackedHistoryText.clear();
    m_grid.setRows(PageRows);
    m_trackedRowCounter = 0;
    m_grid.setCol(Time);
    m_grid.setTopRow(0);
}
