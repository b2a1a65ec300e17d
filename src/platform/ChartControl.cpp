#include "ChartControl.h"

#include "NumberParse.h"
#include "RuntimeError.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Axis labels are drawn as rich text: "<-0.6" would otherwise read as a tag.
QStringList shownLabels(const QStringList& labels)
{
    QStringList shown;
    for (const QString& label : labels)
        shown << label.toHtmlEscaped();
    return shown;
}

} // namespace

ChartControl::ChartControl(Style style, int rows, int columns, QWidget* parent)
    : QChartView(parent)
    , m_style(style)
    , m_rows(rows)
    , m_columns(columns)
    , m_values(rows * columns, 0.0)
    , m_drawn(rows * columns, 0.0)
{
    for (int r = 1; r <= rows; ++r)
        m_labels << QStringLiteral("R%1").arg(r);
    m_drawnLabels = m_labels;

    auto* chart = new QChart();
    chart->legend()->setVisible(m_style == Style::Lines);
    chart->setMargins(QMargins(2, 2, 2, 2));
    QFont font(QStringLiteral("Arial"), 7);
    chart->legend()->setFont(font);
    m_valueAxis = new QValueAxis(chart);
    m_valueAxis->setLabelsFont(font);
    m_valueAxis->setLabelFormat(QStringLiteral("%d"));

    if (m_style == Style::Bars) {
        auto* series = new QBarSeries(chart);
        m_barSet = new QBarSet(QStringLiteral("C1"), series);
        for (int r = 0; r < rows; ++r)
            m_barSet->append(0.0);
        series->append(m_barSet);
        chart->addSeries(series);
        m_categories = new QBarCategoryAxis(chart);
        m_categories->setLabelsFont(font);
        // Escaped labels are measured by their markup and would be cut needlessly.
        m_categories->setTruncateLabels(false);
        m_categories->append(shownLabels(m_labels));
        chart->addAxis(m_categories, Qt::AlignBottom);
        series->attachAxis(m_categories);
        m_valueAxis->setRange(0, 1);
        m_valueAxis->setTickCount(2);
        m_series << series;
    } else {
        auto* xAxis = new QValueAxis(chart);
        xAxis->setLabelsFont(font);
        xAxis->setRange(1, rows);
        xAxis->setLabelFormat(QStringLiteral("%d"));
        xAxis->setTickType(QValueAxis::TicksDynamic);
        xAxis->setTickAnchor(0);
        xAxis->setTickInterval(10);
        chart->addAxis(xAxis, Qt::AlignBottom);
        for (int c = 1; c <= columns; ++c) {
            auto* series = new QLineSeries(chart);
            series->setName(QStringLiteral("C%1").arg(c));
            series->setPointsVisible(true);
            for (int r = 1; r <= rows; ++r)
                series->append(r, 0.0);
            chart->addSeries(series);
            series->attachAxis(xAxis);
            m_series << series;
        }
    }
    chart->addAxis(m_valueAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : m_series)
        series->attachAxis(m_valueAxis);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
}

void ChartControl::checkRow(int row) const
{
    if (row < 1 || row > m_rows)
        throw SubscriptError();
}

void ChartControl::checkColumn(int column) const
{
    if (column < 1 || column > m_columns)
        throw SubscriptError();
}

double& ChartControl::at(int row, int column)
{
    return m_values[(column - 1) * m_rows + (row - 1)];
}

double ChartControl::value(int row, int column) const
{
    checkRow(row);
    checkColumn(column);
    return m_values[(column - 1) * m_rows + (row - 1)];
}

void ChartControl::setChartData(const QVector<std::int16_t>& values)
{
    if (values.size() != m_rows)
        throw SubscriptError();
    bool changed = false;
    for (int r = 1; r <= m_rows; ++r) {
        double& slot = at(r, 1);
        const double next = values[r - 1];
        changed = changed || slot != next;
        slot = next;
    }
    if (changed)
        markChanged();
}

void ChartControl::setRowLabel(int row, const QString& label)
{
    checkRow(row);
    if (m_labels[row - 1] == label)
        return;
    m_labels[row - 1] = label;
    markChanged();
}

QString ChartControl::rowLabel(int row) const
{
    checkRow(row);
    return m_labels[row - 1];
}

void ChartControl::setRow(int row)
{
    checkRow(row);
    m_row = row;
}

void ChartControl::setColumn(int column)
{
    checkColumn(column);
    m_column = column;
}

void ChartControl::setData(const QString& text)
{
    const std::optional<double> parsed = NumberParse::wholeNumber(text);
    if (!parsed)
        throw TypeMismatchError();
    double& slot = at(m_row, m_column);
    if (slot == *parsed)
        return;
    slot = *parsed;
    markChanged();
}

void ChartControl::setValueRange(double minimum, double maximum)
{
    m_valueAxis->setRange(minimum, maximum);
    m_valueAxis->setTickCount(static_cast<int>((maximum - minimum) / 5) + 1);
}

void ChartControl::markChanged()
{
    if (m_syncPending || !isVisible())
        return;
    m_syncPending = true;
    // Many writes between two repaints make one update of the drawn series.
    QMetaObject::invokeMethod(this, &ChartControl::syncSeries, Qt::QueuedConnection);
}

void ChartControl::showEvent(QShowEvent* event)
{
    syncSeries();
    QChartView::showEvent(event);
}

void ChartControl::syncSeries()
{
    m_syncPending = false;
    if (m_labels != m_drawnLabels && m_categories != nullptr) {
        m_categories->setCategories(shownLabels(m_labels));
        m_drawnLabels = m_labels;
    }
    for (int c = 1; c <= m_columns; ++c) {
        for (int r = 1; r <= m_rows; ++r) {
            const qsizetype i = (c - 1) * m_rows + (r - 1);
            if (m_values[i] == m_drawn[i])
                continue;
            m_drawn[i] = m_values[i];
            if (m_barSet != nullptr)
                m_barSet->replace(r - 1, m_values[i]);
            else
                static_cast<QLineSeries*>(m_series[c - 1])->replace(r - 1, r, m_values[i]);
        }
    }
    if (m_style == Style::Bars) {
        // Counts are whole numbers: ticks at a 1-2-5 step keep every label distinct.
        const double top = std::max(1.0, *std::max_element(m_drawn.begin(), m_drawn.end()));
        double step = 1;
        for (int i = 0; top / step > 8; ++i)
            step *= i % 3 == 1 ? 2.5 : 2;
        const double ticks = std::ceil(top / step);
        m_valueAxis->setRange(0, ticks * step);
        m_valueAxis->setTickCount(static_cast<int>(ticks) + 1);
    }
}
