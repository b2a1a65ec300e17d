#include "FlexGrid.h"

#include "Geometry.h"
#include "RuntimeError.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include <cmath>

namespace {

struct Cell {
    QString text;
    QColor back; // invalid: the grid's own background
};

} // namespace

class FlexGrid::Model : public QAbstractTableModel {
public:
    Model(int columns, const QColor& backColor, QObject* parent)
        : QAbstractTableModel(parent)
        , m_columns(columns)
        , m_backColor(backColor)
        , m_alignment(columns, Qt::AlignRight | Qt::AlignVCenter)
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const Cell& cell = m_cells[offset(index.row(), index.column())];
        switch (role) {
        case Qt::DisplayRole:
            return cell.text;
        case Qt::BackgroundRole:
            return cell.back.isValid() ? cell.back : m_backColor;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(m_alignment[index.column()]);
        default:
            return {};
        }
    }

    void check(int row, int col) const
    {
        if (row < 0 || row >= m_rows || col < 0 || col >= m_columns)
            throw SubscriptError();
    }

    void checkColumn(int col) const
    {
        if (col < 0 || col >= m_columns)
            throw SubscriptError();
    }

    void checkRow(int row) const
    {
        if (row < 0 || row >= m_rows)
            throw SubscriptError();
    }

    const Cell& cell(int row, int col) const
    {
        check(row, col);
        return m_cells[offset(row, col)];
    }

    void setText(int row, int col, const QString& text)
    {
        check(row, col);
        Cell& cell = m_cells[offset(row, col)];
        if (cell.text == text)
            return;
        cell.text = text;
        const QModelIndex changed = index(row, col);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }

    void setBack(int row, int col, const QColor& color)
    {
        check(row, col);
        Cell& cell = m_cells[offset(row, col)];
        if (cell.back == color)
            return;
        cell.back = color;
        const QModelIndex changed = index(row, col);
        emit dataChanged(changed, changed, {Qt::BackgroundRole});
    }

    void setRows(int rows)
    {
        if (rows < 0)
            throw SubscriptError();
        if (rows == m_rows)
            return;
        beginResetModel();
        m_rows = rows;
        m_cells.resize(static_cast<qsizetype>(rows) * m_columns);
        endResetModel();
    }

    void clear()
    {
        for (Cell& cell : m_cells)
            cell = Cell{};
        if (m_rows > 0)
            emit dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1));
    }

    void setAlignment(int col, Qt::Alignment alignment)
    {
        checkColumn(col);
        m_alignment[col] = alignment;
        if (m_rows > 0)
            emit dataChanged(index(0, col), index(m_rows - 1, col), {Qt::TextAlignmentRole});
    }

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

private:
    qsizetype offset(int row, int col) const
    {
        return static_cast<qsizetype>(row) * m_columns + col;
    }

    int m_rows = 0;
    const int m_columns;
    const QColor m_backColor;
    QVector<Qt::Alignment> m_alignment;
    QVector<Cell> m_cells;
};

FlexGrid::FlexGrid(int columns, const QColor& backColor, QWidget* parent)
    : QTableView(parent)
    , m_model(new Model(columns, backColor, this))
{
    setModel(m_model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setWordWrap(false);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(192, 192, 192); "
                                 "background-color: rgb(128, 128, 128); }"));
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        m_row = index.row();
        m_col = index.column();
        emit cellClicked();
    });
}

int FlexGrid::rows() const
{
    return m_model->rows();
}

void FlexGrid::setRows(int rows)
{
    m_model->setRows(rows);
    m_row = qMin(m_row, qMax(0, rows - 1));
}

int FlexGrid::cols() const
{
    return m_model->columns();
}

void FlexGrid::setColWidth(int col, int twips)
{
    m_model->checkColumn(col);
    setColumnWidth(col, Geometry::toPixels(twips, *this));
}

int FlexGrid::colWidth(int col) const
{
    m_model->checkColumn(col);
    return static_cast<int>(std::lround(Geometry::toTwips(columnWidth(col), *this)));
}

void FlexGrid::setRowHeightAll(int twips)
{
    // Asked for on every decode: only an actual change relays the view out.
    if (twips == m_rowHeightTwips)
        return;
    m_rowHeightTwips = twips;
    verticalHeader()->setDefaultSectionSize(Geometry::toPixels(twips, *this));
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment)
{
    m_model->setAlignment(col, alignment);
}

QString FlexGrid::textMatrix(int row, int col) const
{
    return m_model->cell(row, col).text;
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    m_model->setText(row, col, text);
}

void FlexGrid::setRow(int row)
{
    m_model->checkRow(row);
    m_row = row;
}

void FlexGrid::setCol(int col)
{
    m_model->checkColumn(col);
    m_col = col;
}

void FlexGrid::setCellBackColor(const QColor& color)
{
    m_model->setBack(m_row, m_col, color);
}

QColor FlexGrid::cellBackColor(int row, int col) const
{
    return m_model->cell(row, col).back;
}

void FlexGrid::clear()
{
    m_model->clear();
}

void FlexGrid::setTopRow(int row)
{
    if (row >= rows())
        throw SubscriptError();
    m_topRow = qMax(0, row);
    applyTopRow();
}

void FlexGrid::applyTopRow()
{
    // While hidden the scroll range is not laid out yet; updateGeometries applies it later.
    if (isVisible())
        verticalScrollBar()->setValue(m_topRow);
}

void FlexGrid::updateGeometries()
{
    QTableView::updateGeometries();
    verticalScrollBar()->setValue(m_topRow);
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
    QTableView::mousePressEvent(event);
}
