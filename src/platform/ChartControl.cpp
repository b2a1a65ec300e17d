#include "ChartControl.h"

#include "NumberParse.h"
#include "RuntimeError.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QLegendMarker>
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

// Chart texts in Arial, readable at 100 % scale.
QFont chartFont()
{
    return QFont(QStringLiteral("Arial"), 8);
}

} // namespace

ChartControl::ChartControl(Style style, int rows, int columns, QWidget* parent)
    : QChartView(parent)
    , m_style(style)
    , m_rows(rows)
    , m_columns(columns)
    , m_values(rows * columns, 0.0)
    , m_set(rows * columns, false)
    , m_runs(columns)
{
    for (int r = 1; r <= rows; ++r)
        m_labels << QStringLiteral("R%1").arg(r);

    auto* chart = new QChart();
    chart->legend()->setVisible(m_style == Style::Lines);
    chart->legend()->setFont(chartFont());
    chart->setMargins(QMargins(2, 2, 2, 2));
    m_valueAxis = new QValueAxis(chart);
    m_valueAxis->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(m_valueAxis, Qt::AlignLeft);

    if (m_style == Style::Bars) {
        auto* series = new QBarSeries(chart);
        m_barSet = new QBarSet(QStringLiteral("C1"), series);
        for (int r = 0; r < rows; ++r)
            m_barSet->append(0.0);
        series->append(m_barSet);
        chart->addSeries(series);
        m_categories = new QBarCategoryAxis(chart);
        m_categories->append(shownLabels(m_labels));
        m_rowAxis = m_categories;
        chart->addAxis(m_categories, Qt::AlignBottom);
        series->attachAxis(m_categories);
        series->attachAxis(m_valueAxis);
        m_valueAxis->setRange(0, 1);
        m_valueAxis->setTickCount(2);
    } else {
        auto* xAxis = new QValueAxis(chart);
        xAxis->setRange(1, rows);
        xAxis->setLabelFormat(QStringLiteral("%d"));
        xAxis->setTickType(QValueAxis::TicksDynamic);
        xAxis->setTickAnchor(0);
        xAxis->setTickInterval(10);
        m_rowAxis = xAxis;
        chart->addAxis(xAxis, Qt::AlignBottom);
    }
    setChart(chart);
    for (int c = 1; c <= columns && m_style == Style::Lines; ++c)
        runSeries(c, 0);
    for (QAbstractAxis* axis : {m_rowAxis, static_cast<QAbstractAxis*>(m_valueAxis)}) {
        axis->setLabelsFont(chartFont());
        axis->setTitleFont(chartFont());
        // Labels are short; escaped ones are measured by their markup and would be cut needlessly.
        axis->setTruncateLabels(false);
    }
    setRenderHint(QPainter::Antialiasing);
}

void ChartControl::setAxisTitles(const QString& rowAxis, const QString& valueAxis)
{
    m_rowAxis->setTitleText(rowAxis);
    m_valueAxis->setTitleText(valueAxis);
}

void ChartControl::setValueRange(double minimum, double maximum)
{
    m_valueAxis->setRange(minimum, maximum);
    m_valueAxis->setTickCount(static_cast<int>((maximum - minimum) / 5) + 1);
}

QLineSeries* ChartControl::runSeries(int column, qsizetype run)
{
    QList<QLineSeries*>& runs = m_runs[column - 1];
    while (runs.size() <= run) {
        auto* series = new QLineSeries(chart());
        series->setName(QStringLiteral("C%1").arg(column));
        series->setPointsVisible(true);
        chart()->addSeries(series);
        series->attachAxis(m_rowAxis);
        series->attachAxis(m_valueAxis);
        if (!runs.isEmpty()) {
            // Every run of a column is drawn alike and named once in the legend.
            series->setPen(runs.first()->pen());
            for (QLegendMarker* marker : chart()->legend()->markers(series))
                marker->setVisible(false);
        }
        runs << series;
    }
    return runs[run];
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

qsizetype ChartControl::offset(int row, int column) const
{
    return static_cast<qsizetype>(column - 1) * m_rows + (row - 1);
}

double ChartControl::value(int row, int column) const
{
    checkRow(row);
    checkColumn(column);
    return m_values[offset(row, column)];
}

bool ChartControl::hasValue(int row, int column) const
{
    checkRow(row);
    checkColumn(column);
    return m_set[offset(row, column)];
}

void ChartControl::setPoint(qsizetype i, double value, bool set)
{
    if (m_values[i] == value && m_set[i] == set)
        return;
    m_values[i] = value;
    m_set[i] = set;
    markChanged();
}

void ChartControl::setChartData(const QVector<std::int16_t>& values)
{
    if (values.size() != m_rows)
        throw SubscriptError();
    for (int r = 1; r <= m_rows; ++r)
        setPoint(offset(r, 1), values[r - 1], true);
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
    setPoint(offset(m_row, m_column), *parsed, true);
}

void ChartControl::clearPoint()
{
    setPoint(offset(m_row, m_column), 0.0, false);
}

void ChartControl::markChanged()
{
    m_changed = true;
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
    if (!m_changed)
        return;
    m_changed = false;
    if (m_style == Style::Bars)
        syncBars();
    else
        syncLines();
}

void ChartControl::syncBars()
{
    const QStringList labels = shownLabels(m_labels);
    if (m_categories->categories() != labels)
        m_categories->setCategories(labels);
    for (int r = 1; r <= m_rows; ++r) {
        if (m_barSet->at(r - 1) != m_values[r - 1])
            m_barSet->replace(r - 1, m_values[r - 1]);
    }
    // Counts are whole numbers: ticks at a 1-2-5 step keep every label distinct.
    const double top = std::max(1.0, *std::max_element(m_values.begin(), m_values.end()));
    double step = 1;
    for (int i = 0; top / step > 8; ++i)
        step *= i % 3 == 1 ? 2.5 : 2;
    const double ticks = std::ceil(top / step);
    m_valueAxis->setRange(0, ticks * step);
    m_valueAxis->setTickCount(static_cast<int>(ticks) + 1);
}

void ChartControl::syncLines()
{
    for (int c = 1; c <= m_columns; ++c) {
        QList<QList<QPointF>> runs;
        bool inRun = false;
        for (int r = 1; r <= m_rows; ++r) {
            const qsizetype i = offset(r, c);
            if (m_set[i]) {
                if (!inRun)
                    runs.append(QList<QPointF>());
                runs.last().append(QPointF(r, m_values[i]));
            }
            inRun = m_set[i];
        }
        for (qsizetype run = 0; run < std::max(runs.size(), m_runs[c - 1].size()); ++run) {
            QLineSeries* series = runSeries(c, run);
            const QList<QPointF> points = run < runs.size() ? runs[run] : QList<QPointF>();
            if (series->points() != points)
                series->replace(points);
        }
    }
}
