#pragma once

#include <qcustomplot.h>

#include <QSharedPointer>
#include <QStringList>
#include <QVector>

#include <cstdint>

// A chart of data rows (from 1) by series columns (from 1), with the members of the chart
// control the window is built from: the whole data array, one label per row, the current row and
// column and the value at them. An address outside the chart throws SubscriptError.
//
// In a line chart a point that was cleared holds 0 but is drawn as a gap, so an empty point is
// never mistaken for a 0 dB report.
//
// The values live here. Once per turn of the event loop the chart's accessible description is
// brought up to date with them, so a screen reader can read the data, and, while the chart is
// visible, the plot is redrawn once: a hidden chart costs no drawing however many writes arrive.
class ChartControl : public QCustomPlot {
    Q_OBJECT
public:
    enum class Style { Bars, Lines };

    ChartControl(Style style, int rows, int columns, QWidget* parent);

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }

    // One value per row of series column 1.
    void setChartData(const QVector<std::int16_t>& values);
    void setRowLabel(int row, const QString& label);
    QString rowLabel(int row) const;

    int row() const { return m_row; }
    int column() const { return m_column; }
    void setRow(int row);
    void setColumn(int column);
    // The value of the current point.
    void setData(double value);
    // The current point back to 0, drawn as a gap.
    void clearPoint();
    double value(int row, int column) const;
    bool hasValue(int row, int column) const;

    void setAxisTitles(const QString& rowAxis, const QString& valueAxis);

    // The fixed value range of a line chart, with a tick every 5.
    void setValueRange(double minimum, double maximum);

    // What the chart means, in words below the plot, which gives up lines of room for it (the
    // chart's place stays); the accessible description ends with the same text.
    void setVerdict(const QString& text, int lines, const QColor& color = QColor());
    QString verdict() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void checkRow(int row) const;
    void checkColumn(int column) const;
    qsizetype offset(int row, int column) const;
    void setPoint(qsizetype i, double value, bool set);
    void markChanged();
    // The description, and the plot where stale, brought up to date once this turn.
    void scheduleSync();
    void syncTurn();
    void syncPlot();
    void syncBars();
    void syncLines();
    // The data as a screen reader reads it: every bar with its label, or the set points of
    // each series with their numbers.
    QString describe() const;

    const Style m_style;
    const int m_rows;
    const int m_columns;
    QVector<double> m_values;
    QVector<bool> m_set;
    QStringList m_labels;
    int m_row = 1;
    int m_column = 1;
    bool m_plotStale = true;
    bool m_syncPending = false;

    QCPBars* m_bars = nullptr;
    QSharedPointer<QCPAxisTickerText> m_rowTicker;
    QSharedPointer<QCPAxisTickerFixed> m_valueTicker;
    QVector<QCPGraph*> m_graphs;
    QLabel* m_verdict = nullptr;
    QCPLayoutElement* m_verdictRoom = nullptr;
};
