#include "FlexGrid.h"

#include "Geometry.h"
#include "NumberParse.h"
#include "RuntimeError.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

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
        , m_alignment(columns, GeneralAlignment)
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
            return QVariant::fromValue(alignment(index.column(), cell.text));
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
        noteChanged(row, row);
    }

    void setBack(int row, int col, const QColor& color)
    {
        check(row, col);
        Cell& cell = m_cells[offset(row, col)];
        if (cell.back == color)
            return;
        cell.back = color;
        noteChanged(row, row);
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
        m_firstChanged = -1;
        endResetModel();
    }

    void clear()
    {
        for (Cell& cell : m_cells)
            cell = Cell{};
        if (m_rows > 0)
            noteChanged(0, m_rows - 1);
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
    const QColor& backColor() const { return m_backColor; }

    // A column without an alignment of its own puts numbers at the right, text at the left.
    Qt::Alignment alignment(int col, const QString& text) const
    {
        const Qt::Alignment own = m_alignment[col];
        if (own != GeneralAlignment)
            return own;
        const Qt::Alignment side = NumberParse::wholeNumber(text) ? Qt::AlignRight : Qt::AlignLeft;
        return side | Qt::AlignVCenter;
    }

private:
    static constexpr Qt::Alignment GeneralAlignment = {};

    // Cells change many times between two repaints: the views hear of them once per turn of
    // the event loop, as one range of rows.
    void noteChanged(int first, int last)
    {
        if (m_firstChanged < 0) {
            m_firstChanged = first;
            m_lastChanged = last;
            QMetaObject::invokeMethod(this, &Model::announceChanges, Qt::QueuedConnection);
        } else {
            m_firstChanged = qMin(m_firstChanged, first);
            m_lastChanged = qMax(m_lastChanged, last);
        }
    }

    void announceChanges()
    {
        if (m_firstChanged < 0)
            return;
        const int first = m_firstChanged;
        m_firstChanged = -1;
        emit dataChanged(index(first, 0), index(m_lastChanged, m_columns - 1));
    }

    qsizetype offset(int row, int col) const
    {
        return static_cast<qsizetype>(row) * m_columns + col;
    }

    int m_rows = 0;
    const int m_columns;
    const QColor m_backColor;
    QVector<Qt::Alignment> m_alignment;
    QVector<Cell> m_cells;
    int m_firstChanged = -1; // -1: nothing waits to be announced
    int m_lastChanged = -1;
};

// Draws each cell as the grid control does: its background, its text clipped at the cell's
// edges (not elided), and the current cell with a frame instead of a fill, so its own colour
// stays visible, whether or not the grid has the focus.
class FlexGrid::CellPainter : public QStyledItemDelegate {
public:
    explicit CellPainter(FlexGrid& grid)
        : QStyledItemDelegate(&grid)
        , m_grid(grid)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const Model& model = *m_grid.m_model;
        const Cell& cell = model.cell(index.row(), index.column());
        const QRect rect = option.rect;
        painter->fillRect(rect, cell.back.isValid() ? cell.back : model.backColor());
        if (!cell.text.isEmpty()) {
            const Qt::Alignment alignment = model.alignment(index.column(), cell.text);
            // No character is narrower than a pixel: a text of thousands of characters is laid
            // out only as far as the cell can show it.
            const qsizetype shown = rect.width();
            const QString text =
                alignment & Qt::AlignRight ? cell.text.right(shown) : cell.text.left(shown);
            painter->setPen(option.palette.color(QPalette::Text));
            painter->drawText(rect.adjusted(TextMargin, 0, -TextMargin, 0),
                              static_cast<int>(alignment) | Qt::TextSingleLine, text);
        }
        if (index != m_grid.currentIndex())
            return;
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
    }

private:
    static constexpr int TextMargin = 2;
    const FlexGrid& m_grid;
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
    // The current cell is the grid's own (row, col), shown by the frame; nothing is selected.
    setSelectionMode(NoSelection);
    setItemDelegate(new CellPainter(*this));
    // Scrolling follows the first visible row only, never a change of the current cell.
    setAutoScroll(false);
    // Tab leaves the grid for the next control instead of walking its cells.
    setTabKeyNavigation(false);
    setEditTriggers(NoEditTriggers);
    setWordWrap(false);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(192, 192, 192); "
                                 "background-color: rgb(128, 128, 128); }"));
    // The user's own scrolling (wheel, scroll bar, keys on it) stands until the program asks
    // for a first visible row again.
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { m_topRowRequested = false; });
    // The press made the clicked cell current (currentChanged).
    connect(this, &QAbstractItemView::clicked, this, &FlexGrid::cellClicked);
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
    scheduleViewUpdate();
}

void FlexGrid::setCol(int col)
{
    m_model->checkColumn(col);
    m_col = col;
    scheduleViewUpdate();
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
    m_topRowRequested = true;
    scheduleViewUpdate();
}

void FlexGrid::scheduleViewUpdate()
{
    // Scrolling asks the display server where the pointer is: a round trip per call. Rows and
    // cells change many times between two repaints, so the view follows once per event-loop turn.
    if (m_viewUpdatePending)
        return;
    m_viewUpdatePending = true;
    QMetaObject::invokeMethod(this, &FlexGrid::updateView, Qt::QueuedConnection);
}

void FlexGrid::updateView()
{
    m_viewUpdatePending = false;
    // While hidden the scroll range is not laid out; showing the grid updates it.
    if (!isVisible())
        return;
    const QModelIndex current = m_model->index(m_row, m_col);
    if (current.isValid() && current != currentIndex())
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    if (!m_topRowRequested)
        return;
    int top = m_topRow;
    // The current row, when the requested top leaves it cut by the bottom edge, is shown whole.
    const int rowHeight = verticalHeader()->defaultSectionSize();
    const int wholeRows = rowHeight > 0 ? viewport()->height() / rowHeight : 0;
    const int below = m_row - top;
    if (wholeRows > 0 && below >= wholeRows && below * rowHeight < viewport()->height())
        top = m_row - wholeRows + 1;
    verticalScrollBar()->setValue(top);
}

void FlexGrid::updateGeometries()
{
    QTableView::updateGeometries();
    scheduleViewUpdate();
}

void FlexGrid::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    scheduleViewUpdate();
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
    QTableView::mousePressEvent(event);
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        currentIndex().isValid()) {
        emit cellClicked();
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    // Scrolling otherwise follows the program only: a cell reached by the keyboard is shown,
    // and that scroll is the user's own until the program asks for a first visible row again.
    if (currentIndex().isValid() && currentIndex() != before) {
        scrollTo(currentIndex());
        m_topRowRequested = false;
    }
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The arrow keys move the current cell the program reads, as a click does.
    if (current.isValid()) {
        m_row = current.row();
        m_col = current.column();
    }
}
