#pragma once

#include <QString>

#include <functional>

class CallsignBox;
class CallsignTally;
class ChangeCheck;
class ClockCheck;
class ChartControl;
class DecodeLog;
class FlexGrid;
class QLabel;
class TrackedHistory;

// The views that show the tallies' state in the window's controls. They run as the state
// changes, inside a datagram's processing, so none of them throws: each hands a control only
// values its tally keeps in range.
namespace TallyViews {

// The lowest SNR and total in status, the histogram and its row labels in chart, and the unique
// count to dtCaption, the DT view's caption.
void showTally(const CallsignTally& tally, QLabel& status, ChartControl& chart,
               std::function<void(const QString&)> dtCaption);
void showHistogram(const CallsignTally& tally, ChartControl& chart) noexcept;

// Whether this clock is right, below the DT histogram.
void showClock(ClockCheck& clock, ChartControl& histogram);
// What a change at this station did, below the SNR chart.
void showChange(ChangeCheck& change, ChartControl& snrChart);

// The log's page in grid, its newest row the current cell and in view.
void showLog(DecodeLog& log, FlexGrid& grid);

// The history's page in grid and its points in chart; the callsign in box is the one tracked.
void showHistory(TrackedHistory& history, const CallsignBox& box, FlexGrid& grid,
                 ChartControl& chart);

} // namespace TallyViews
