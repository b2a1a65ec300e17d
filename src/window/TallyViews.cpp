#include "window/TallyViews.h"

#include "tallies/CallsignTally.h"
#include "tallies/CellTable.h"
#include "tallies/ChangeCheck.h"
#include "tallies/ClockCheck.h"
#include "tallies/DecodeLog.h"
#include "tallies/TrackedHistory.h"
#include "widgets/CallsignBox.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"

#include <QLabel>

namespace TallyViews {

void showTally(const CallsignTally& tally, QLabel& status, ChartControl& chart,
               std::function<void(const QString&)> dtCaption)
{
    for (int row = 1; row <= CallsignTally::BucketCount; ++row)
        chart.setRowLabel(row, CallsignTally::RowLabels[row - 1]);
    QObject::connect(&tally, &CallsignTally::changed, &status,
                     [&tally, &status, &chart, dtCaption]() noexcept {
                         status.setText(tally.statusCaption());
                         dtCaption(tally.dtCaption());
                         showHistogram(tally, chart);
                     });
}

void showHistogram(const CallsignTally& tally, ChartControl& chart) noexcept
{
    chart.setChartData(tally.chartData());
}

void showClock(ClockCheck& clock, ChartControl& histogram)
{
    const auto show = [&histogram](const ClockCheck::Verdict& verdict) noexcept {
        // Red for a clock the mode cannot work with, dark orange for one to check.
        const QColor color = verdict.level == ClockCheck::Level::Wrong   ? QColor(192, 0, 0)
                             : verdict.level == ClockCheck::Level::Check ? QColor(160, 80, 0)
                                                                         : QColor();
        histogram.setVerdict(verdict.line, 2, color);
    };
    QObject::connect(&clock, &ClockCheck::verdictChanged, &histogram, show);
    show(clock.verdict());
}

void showChange(ChangeCheck& change, ChartControl& snrChart)
{
    // What a change of transmit power did is heard elsewhere, never here.
    const auto show = [&snrChart](const QString& line) noexcept {
        snrChart.setVerdict(line + QStringLiteral("\nTransmit power changes do not show here."), 3);
    };
    QObject::connect(&change, &ChangeCheck::lineChanged, &snrChart, show);
    show(change.line());
}

void showLog(DecodeLog& log, FlexGrid& grid)
{
    grid.setModel(&log.page());
    QObject::connect(&log, &DecodeLog::logged, &grid, [&log, &grid]() noexcept {
        grid.setRow(log.newestRow());
        grid.setCol(DecodeLog::Callsign);
        grid.setTopRow(log.topRow());
    });
}

void showHistory(TrackedHistory& history, const CallsignBox& box, FlexGrid& grid,
                 ChartControl& chart)
{
    grid.setModel(&history.page());
    QObject::connect(&box, &QLineEdit::textChanged, &history, &TrackedHistory::setTrackedCallsign);
    history.setTrackedCallsign(box.text());
    QObject::connect(&history, &TrackedHistory::pageStarted, &grid, [&grid]() noexcept {
        grid.setCol(TrackedHistory::Time);
        grid.setTopRow(0);
    });
    QObject::connect(&history, &TrackedHistory::scrolled, &grid, [&grid](int topRow) noexcept {
        // The history keeps its first row to show inside its page.
        if (topRow < grid.rows())
            grid.setTopRow(topRow);
    });
    QObject::connect(&history, &TrackedHistory::pointSet, &chart,
                     [&chart](int series, int point, int snr) noexcept {
                         chart.setRow(point);
                         chart.setColumn(series);
                         chart.setData(snr);
                     });
    QObject::connect(&history, &TrackedHistory::pointsCleared, &chart, [&chart]() noexcept {
        for (int series = 1; series <= TrackedHistory::SeriesCount; ++series) {
            chart.setColumn(series);
            for (int point = 1; point <= TrackedHistory::ChartPoints; ++point) {
                chart.setRow(point);
                chart.clearPoint();
            }
        }
    });
}

} // namespace TallyViews
