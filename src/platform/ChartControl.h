#pragma once

#include <QChartView>
#include <QStringList>
#include <QVector>

#include <cstdint>

class QAbstractAxis;
class QBarCategoryAxis;
class QBarSet;
class QLineSeries;
class QValueAxis;

// A chart of data rows (from 1) by series columns (from 1), with the members of the chart
// control the window is built from: the whole data array, one label per row, the current row and
// column and the value at them. An address outside the chart throws SubscriptError, a value that
// is no number TypeMismatchError.
//
// In a line chart a point that was cleared holds 0 but is drawn as a gap, so an empty point is
// never mistaken for a 0 dB report; each run of set points of a series is one drawn line.
//
// The values live here; the drawn series follow them only while the chart is visible, once per
// turn of the event loop, so a hidden chart costs no drawing and a repeated write costs nothing.
class ChartControl : public QChartView {
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
    // The value of the current point, given as decimal text.
    void setData(const QString& text);
    // The current point back to 0, drawn as a gap.
    void clearPoint();
    double value(int row, int column) const;
    bool hasValue(int row, int column) const;

    void setAxisTitles(const QString& rowAxis, const QString& valueAxis);

    // The value-axis range drawn, for a bar chart that grows with its largest value.
    void setValueRange(double minimum, double maximum);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void checkRow(int row) const;
    void checkColumn(int column) const;
    qsizetype offset(int row, int column) const;
    void setPoint(qsizetype i, double value, bool set);
    void markChanged();
    void syncSeries();
    void syncBars();
    void syncLines();
    // The drawn line of one run of a column, made when first needed and kept for reuse.
    QLineSeries* runSeries(int column, qsizetype run);

    const Style m_style;
    const int m_rows;
    const int m_columns;
    QVector<double> m_values;
    QVector<bool> m_set;
    QStringList m_labels;
    int m_row = 1;
    int m_column = 1;
    bool m_changed = true;
    bool m_syncPending = false;

    QBarSet* m_barSet = nullptr;
    QBarCategoryAxis* m_categories = nullptr;
    QAbstractAxis* m_rowAxis = nullptr;
    QValueAxis* m_valueAxis = nullptr;
    // Per column: the line of each run of set points; the first one carries the legend.
    QVector<QList<QLineSeries*>> m_runs;
};
