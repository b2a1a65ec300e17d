#include "widgets/ChartControl.h"

#include "core/RuntimeError.h"

#include <QLabel>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Chart texts in Arial, readable at 100 % scale.
QFont chartFont()
{
    return QFont(QStringLiteral("Arial"), 8);
}

// One colour per series, as a chart of this kind draws them by default: blue, then green.
QColor seriesColor(int column)
{
    return column == 1 ? QColor(0x20, 0x9f, 0xdf) : QColor(0x99, 0xca, 0x53);
}

void styleAxis(QCPAxis& axis)
{
    axis.setTickLabelFont(chartFont());
    axis.setLabelFont(chartFont());
    axis.setBasePen(QPen(QColor(0x8c, 0x8c, 0x8c)));
    axis.setTickPen(QPen(QColor(0x8c, 0x8c, 0x8c)));
    axis.setSubTicks(false);
    axis.grid()->setPen(QPen(QColor(0xe0, 0xe0, 0xe0)));
}

// A line graph whose points on the edges of the value range are drawn whole: its drawing is
// cut only a point's size beyond the axis rectangle. The values never leave the range.
class WholePointGraph : public QCPGraph {
public:
    using QCPGraph::QCPGraph;

protected:
    QRect clipRect() const override
    {
        const int room = static_cast<int>(std::ceil(scatterStyle().size() / 2 + pen().widthF()));
        return QCPGraph::clipRect().adjusted(-room, -room, room, room);
    }
};

} // namespace

ChartControl::ChartControl(Style style, int rows, int columns, QWidget* parent)
    : QCustomPlot(parent)
    , m_style(style)
    , m_rows(rows)
    , m_columns(columns)
    , m_values(rows * columns, 0.0)
    , m_set(rows * columns, false)
    , m_rowTicker(new QCPAxisTickerText)
    , m_valueTicker(new QCPAxisTickerFixed)
{
    for (int r = 1; r <= rows; ++r)
        m_labels << QStringLiteral("R%1").arg(r);
    // In the tab order, so that a screen reader can reach the chart and read its data.
    setFocusPolicy(Qt::StrongFocus);

    styleAxis(*xAxis);
    styleAxis(*yAxis);
    m_valueTicker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    yAxis->setTicker(m_valueTicker);

    if (m_style == Style::Bars) {
        m_bars = new QCPBars(xAxis, yAxis);
        m_bars->setWidth(0.5);
        m_bars->setPen(Qt::NoPen);
        m_bars->setBrush(seriesColor(1));
        xAxis->setTicker(m_rowTicker);
        xAxis->setRange(0.5, rows + 0.5);
        xAxis->grid()->setVisible(false);
        m_valueTicker->setTickStep(1);
        yAxis->setRange(0, 1);
    } else {
        auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
        ticker->setTickStep(10);
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        xAxis->setTicker(ticker);
        // Half a point of room either side, so the first and last points are drawn whole.
        xAxis->setRange(0.5, rows + 0.5);
        // Before the graphs: each one's legend entry takes the legend's font when it is made.
        legend->setFont(chartFont());
        for (int c = 1; c <= columns; ++c) {
            QCPGraph* graph = new WholePointGraph(xAxis, yAxis);
            graph->setName(QStringLiteral("C%1").arg(c));
            graph->setPen(QPen(seriesColor(c), 2));
            graph->setScatterStyle(
                QCPScatterStyle(QCPScatterStyle::ssDisc, seriesColor(c), seriesColor(c), 6));
            m_graphs << graph;
        }
        // The legend in a row of its own above the plot, centred.
        legend->setVisible(true);
        legend->setBorderPen(Qt::NoPen);
        legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
        axisRect()->insetLayout()->take(legend);
        auto* row = new QCPLayoutGrid;
        plotLayout()->insertRow(0);
        plotLayout()->addElement(0, 0, row);
        plotLayout()->setRowStretchFactor(0, 0.001);
        row->addElement(0, 0, new QCPLayoutElement(this));
        row->addElement(0, 1, legend);
        row->addElement(0, 2, new QCPLayoutElement(this));
        legend->setMaximumSize(legend->minimumOuterSizeHint());
    }
    syncPlot();
    setAccessibleDescription(describe());
}

void ChartControl::setAxisTitles(const QString& rowAxis, const QString& valueAxis)
{
    xAxis->setLabel(rowAxis);
    yAxis->setLabel(valueAxis);
}

void ChartControl::setValueRange(double minimum, double maximum)
{
    yAxis->setRange(minimum, maximum);
    m_valueTicker->setTickStep(5);
}

void ChartControl::setVerdict(const QString& text, int lines, const QColor& color)
{
    if (!m_verdict) {
        m_verdict = new QLabel(this);
        m_verdict->setObjectName(objectName() + QStringLiteral("Verdict"));
        m_verdict->setTextFormat(Qt::PlainText);
        m_verdict->setWordWrap(true);
        m_verdict->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_verdict->setFont(chartFont());
        m_verdictRoom = new QCPLayoutElement(this);
        plotLayout()->addElement(plotLayout()->rowCount(), 0, m_verdictRoom);
        plotLayout()->setRowStretchFactor(plotLayout()->rowCount() - 1, 0.001);
    }
    const int height = lines * m_verdict->fontMetrics().lineSpacing() + 2;
    // Only a change of its room lays the plot out again; a new text alone is no redraw.
    const bool newRoom = m_verdictRoom->minimumSize().height() != height;
    m_verdictRoom->setMinimumSize(0, height);
    m_verdictRoom->setMaximumSize(QWIDGETSIZE_MAX, height);
    m_verdict->setText(text);
    QPalette palette = m_verdict->palette();
    palette.setColor(QPalette::WindowText,
                     color.isValid() ? color : this->palette().color(QPalette::WindowText));
    m_verdict->setPalette(palette);
    m_verdict->setGeometry(4, this->height() - height, width() - 8, height);
    m_verdict->show();
    if (newRoom)
        m_plotStale = true;
    scheduleSync();
}

QString ChartControl::verdict() const
{
    return m_verdict ? m_verdict->text() : QString();
}

void ChartControl::resizeEvent(QResizeEvent* event)
{
    QCustomPlot::resizeEvent(event);
    if (m_verdict)
        m_verdict->setGeometry(4, height() - m_verdictRoom->minimumSize().height(), width() - 8,
                               m_verdictRoom->minimumSize().height());
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

void ChartControl::setData(double value)
{
    setPoint(offset(m_row, m_column), value, true);
}

void ChartControl::clearPoint()
{
    setPoint(offset(m_row, m_column), 0.0, false);
}

void ChartControl::markChanged()
{
    m_plotStale = true;
    scheduleSync();
}

void ChartControl::scheduleSync()
{
    if (m_syncPending)
        return;
    m_syncPending = true;
    // Many writes between two repaints make one update of the plot and of the description.
    QMetaObject::invokeMethod(this, &ChartControl::syncTurn, Qt::QueuedConnection);
}

void ChartControl::showEvent(QShowEvent* event)
{
    if (m_plotStale) {
        syncPlot();
        replot(rpQueuedReplot);
    }
    QCustomPlot::showEvent(event);
}

void ChartControl::syncTurn()
{
    m_syncPending = false;
    const QString description =
        verdict().isEmpty() ? describe() : describe() + QLatin1Char('\n') + verdict();
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
    if (m_plotStale && isVisible()) {
        syncPlot();
        replot(rpQueuedReplot);
    }
}

void ChartControl::syncPlot()
{
    m_plotStale = false;
    if (m_style == Style::Bars)
        syncBars();
    else
        syncLines();
}

void ChartControl::syncBars()
{
    QVector<double> keys(m_rows);
    for (int r = 1; r <= m_rows; ++r) {
        keys[r - 1] = r;
        m_rowTicker->addTick(r, m_labels[r - 1]);
    }
    m_bars->setData(keys, m_values.mid(0, m_rows), true);
    // Counts are whole numbers: ticks at a 1-2-5 step keep every label distinct.
    const double top =
        std::max(1.0, *std::max_element(m_values.begin(), m_values.begin() + m_rows));
    double step = 1;
    for (int i = 0; top / step > 8; ++i)
        step *= i % 3 == 1 ? 2.5 : 2;
    m_valueTicker->setTickStep(step);
    yAxis->setRange(0, std::ceil(top / step) * step);
}

void ChartControl::syncLines()
{
    QVector<double> keys(m_rows);
    QVector<double> points(m_rows);
    for (int c = 1; c <= m_columns; ++c) {
        for (int r = 1; r <= m_rows; ++r) {
            const qsizetype i = offset(r, c);
            keys[r - 1] = r;
            // A point not set is NaN, which the plot leaves as a gap in its line.
            points[r - 1] = m_set[i] ? m_values[i] : std::numeric_limits<double>::quiet_NaN();
        }
        m_graphs[c - 1]->setData(keys, points, true);
    }
}

QString ChartControl::describe() const
{
    QStringList parts;
    if (m_style == Style::Bars) {
        for (int r = 1; r <= m_rows; ++r)
            parts << m_labels[r - 1] + QStringLiteral(": ") + QString::number(m_values[r - 1]);
        return parts.join(QStringLiteral(", "));
    }
    for (int c = 1; c <= m_columns; ++c) {
        QStringList points;
        for (int r = 1; r <= m_rows; ++r) {
            const qsizetype i = offset(r, c);
            if (m_set[i])
                points << QString::number(r) + QStringLiteral(": ") + QString::number(m_values[i]);
        }
        parts << QStringLiteral("C%1: ").arg(c) + (points.isEmpty()
                                                       ? QStringLiteral("none")
                                                       : points.join(QStringLiteral(", ")));
    }
    return parts.join(QStringLiteral("; "));
}
