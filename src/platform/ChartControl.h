#pragma once

#include <QChartView>
#include <QStringList>
#include <QVector>

#include <cstdint>

class QAbstractSeries;
class QBarCategoryAxis;
class QBarSet;
class QValueAxis;

// A chart of data rows (from 1) by series columns (from 1), with the members of the chart
// control the window is built from: the whole data array, one label per row, the current row and
// column and the value at them. An address outside the chart throws SubscriptError, a value that
// is no number TypeMismatchError.
//
// The values live here; the drawn series follow them only while the chart is visible, changed
// points only, so a hidden chart costs no drawing and a repeated write costs nothing.
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
    double value(int row, int column) const;

    // The value-axis range drawn, for a bar chart that grows with its largest value.
    void setValueRange(double minimum, double maximum);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void checkRow(int row) const;
    void checkColumn(int column) const;
    double& at(int row, int column);
    void markChanged();
    void syncSeries();

    const Style m_style;
    const int m_rows;
    const int m_columns;
    QVector<double> m_values;
    QVector<double> m_drawn;
    QStringList m_labels;
    QStringList m_drawnLabels;
    int m_row = 1;
    int m_column = 1;
    bool m_syncPending = false;

    QList<QAbstractSeries*> m_series;
    QBarSet* m_barSet = nullptr;
    QBarCategoryAxis* m_categories = nullptr;
    QValueAxis* m_valueAxis = nullptr;
};
