#include "tallies/CellTable.h"

#include "core/RuntimeError.h"

CellTable::CellTable(int rows, int columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_rows(rows)
    , m_columns(columns)
    , m_cells(static_cast<qsizetype>(rows) * columns)
{
}

int CellTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CellTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant CellTable::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Cell& c = cell(index.row(), index.column());
    if (role == Qt::DisplayRole)
        return c.text;
    if (role == Qt::BackgroundRole && c.back.isValid())
        return c.back;
    return {};
}

CellTable::Cell& CellTable::cell(int row, int column)
{
    return const_cast<Cell&>(std::as_const(*this).cell(row, column));
}

const CellTable::Cell& CellTable::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        throw SubscriptError();
    return m_cells[static_cast<qsizetype>(row) * m_columns + column];
}

const QString& CellTable::text(int row, int column) const
{
    return cell(row, column).text;
}

void CellTable::setText(int row, int column, const QString& text)
{
    Cell& c = cell(row, column);
    if (c.text == text)
        return;
    c.text = text;
    noteChanged(row, row);
}

QColor CellTable::background(int row, int column) const
{
    return cell(row, column).back;
}

void CellTable::setBackground(int row, int column, const QColor& color)
{
    Cell& c = cell(row, column);
    if (c.back == color)
        return;
    c.back = color;
    noteChanged(row, row);
}

void CellTable::clear()
{
    for (Cell& c : m_cells)
        c = Cell{};
    if (m_rows > 0)
        noteChanged(0, m_rows - 1);
}

void CellTable::noteChanged(int first, int last)
{
    if (m_firstChanged < 0) {
        m_firstChanged = first;
        m_lastChanged = last;
        QMetaObject::invokeMethod(this, &CellTable::announceChanges, Qt::QueuedConnection);
    } else {
        m_firstChanged = qMin(m_firstChanged, first);
        m_lastChanged = qMax(m_lastChanged, last);
    }
}

void CellTable::announceChanges()
{
    if (m_firstChanged < 0)
        return;
    const int first = m_firstChanged;
    m_firstChanged = -1;
    emit dataChanged(index(first, 0), index(m_lastChanged, m_columns - 1));
}
