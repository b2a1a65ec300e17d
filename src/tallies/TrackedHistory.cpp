#include "tallies/TrackedHistory.h"

#include "core/Checked.h"
#include "core/RuntimeError.h"
#include "tallies/CellTable.h"

#include <algorithm>

TrackedHistory::TrackedHistory(QObject* parent)
    : QObject(parent)
    , m_page(new CellTable(PageRows, ColumnCount, this))
{
}

void TrackedHistory::TrackDecode(const DecodeFields& fields)
{
    if (m_tracked.isEmpty() || m_tracked != fields.Callsign)
        return;

    // A full page stays on screen until the next tracked decode needs its room.
    if (m_trackedRowCounter >= PageRows)
        startPage();
    const int row = m_trackedRowCounter;
    m_page->setText(row, Time, fields.TimeText);
    m_page->setText(row, Snr, fields.SnrText);
    m_page->setText(row, Dt, fields.DtText);
    m_page->setText(row, Callsign, fields.Callsign);
    const QString gap = QStringLiteral("  ");
    m_trackedHistoryText += fields.TimeText + gap + fields.SnrText + gap + fields.DtText + gap +
                            fields.Callsign + QStringLiteral("\r\n");
    m_trackedRowCounter = Checked::add16(m_trackedRowCounter, 1);

    if (m_chartPointCounter > ChartPoints) {
        wipeChartPoints();
        m_chartPointCounter = 1;
    }
    const int series = m_colorFlag ? 2 : 1;
    const auto snr = static_cast<std::int16_t>(std::clamp<int>(fields.Snr, SnrFloor, SnrCeiling));
    m_points[(series - 1) * ChartPoints + m_chartPointCounter - 1] = snr;
    emit pointSet(series, m_chartPointCounter, snr);
    m_chartPointCounter = Checked::add16(m_chartPointCounter, 1);
    // The page is full: new points start again in series 1, as after a clear, while the full
    // page stays drawn until the next point.
    if (m_chartPointCounter > ChartPoints)
        m_colorFlag = false;
}

void TrackedHistory::ScrollTrackedHistory()
{
    emit scrolled(topRow());
}

std::optional<std::int16_t> TrackedHistory::point(int series, int point) const
{
    if (series < 1 || series > SeriesCount || point < 1 || point > ChartPoints)
        throw SubscriptError();
    return m_points[(series - 1) * ChartPoints + point - 1];
}

void TrackedHistory::startPage()
{
    m_page->clear();
    m_trackedRowCounter = 0;
    emit pageStarted();
}

void TrackedHistory::wipeChartPoints()
{
    m_points.fill(std::nullopt);
    emit pointsCleared();
}

void TrackedHistory::clearChart()
{
    wipeChartPoints();
    m_colorFlag = false;
    m_chartPointCounter = 1;
}

void TrackedHistory::switchColor()
{
    m_colorFlag = !m_colorFlag;
}

void TrackedHistory::reset()
{
    clearChart();
    m_trackedHistoryText.clear();
    startPage();
}
