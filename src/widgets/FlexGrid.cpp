#include "widgets/FlexGrid.h"

#include "core/NumberParse.h"
#include "core/RuntimeError.h"
#include "widgets/Geometry.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <cmath>

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
        const QString cellText = index.data(Qt::DisplayRole).toString();
        const QRect rect = option.rect;
        painter->fillRect(rect, m_grid.drawnBackColor(index.row(), index.column()));
        if (!cellText.isEmpty()) {
            const Qt::Alignment alignment = m_grid.alignment(index.column(), cellText);
            // No character is narrower than a pixel: a text of thousands of characters is laid
            // out only as far as the cell can show it.
            const qsizetype shown = rect.width();
            const QString text =
                alignment & Qt::AlignRight ? cellText.right(shown) : cellText.left(shown);
            painter->setPen(option.palette.color(QPalette::Text));
            painter->drawText(rect.adjusted(TextMargin, 0, -TextMargin, 0),
                              static_cast<int>(alignment) | Qt::TextSingleLine, text);
        }
        // A held row the program wrote over is no longer the user's choice: no frame says so.
        const bool current = index == m_grid.currentIndex() &&
                             (!m_grid.m_held || m_grid.chosenRowStands(index.row()));
        // Where the program's newest cell waits while the user holds the current one.
        const bool waiting = m_grid.m_held && index.row() == m_grid.m_wantedRow &&
                             index.column() == m_grid.m_wantedCol;
        if (!current && !waiting)
            return;
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), current ? 2 : 1,
                             current ? Qt::SolidLine : Qt::DashLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
    }

private:
    static constexpr int TextMargin = 2;
    const FlexGrid& m_grid;
};

FlexGrid::FlexGrid(const QColor& backColor, QWidget* parent)
    : QTableView(parent)
    , m_backColor(backColor)
{
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
}

int FlexGrid::rows() const
{
    return model() ? model()->rowCount() : 0;
}

int FlexGrid::cols() const
{
    return model() ? model()->columnCount() : 0;
}

void FlexGrid::checkRow(int row) const
{
    if (row < 0 || row >= rows())
        throw SubscriptError();
}

void FlexGrid::checkColumn(int col) const
{
    if (col < 0 || col >= cols())
        throw SubscriptError();
}

void FlexGrid::setColWidth(int col, int twips)
{
    checkColumn(col);
    setColumnWidth(col, Geometry::toPixels(twips, *this));
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
    checkColumn(col);
    if (m_alignment.size() <= col)
        m_alignment.resize(col + 1, GeneralAlignment);
    m_alignment[col] = alignment;
    viewport()->update();
}

Qt::Alignment FlexGrid::cellAlignment(int row, int col) const
{
    return alignment(col, textMatrix(row, col));
}

Qt::Alignment FlexGrid::alignment(int col, const QString& text) const
{
    const Qt::Alignment own = col < m_alignment.size() ? m_alignment[col] : GeneralAlignment;
    if (own != GeneralAlignment)
        return own;
    const bool number = NumberParse::wholeNumber(text).has_value();
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QString FlexGrid::textMatrix(int row, int col) const
{
    checkRow(row);
    checkColumn(col);
    return model()->index(row, col).data(Qt::DisplayRole).toString();
}

QColor FlexGrid::drawnBackColor(int row, int col) const
{
    const QColor own = cellBackColor(row, col);
    return own.isValid() ? own : m_backColor;
}

void FlexGrid::setRow(int row)
{
    checkRow(row);
    if (m_held) {
        m_wantedRow = row;
        m_wantedCol = m_wantedCol < 0 ? m_col : m_wantedCol;
        viewport()->update();
        return;
    }
    m_row = row;
    scheduleViewUpdate();
}

void FlexGrid::setCol(int col)
{
    checkColumn(col);
    if (m_held) {
        m_wantedCol = col;
        m_wantedRow = m_wantedRow < 0 ? m_row : m_wantedRow;
        viewport()->update();
        return;
    }
    m_col = col;
    scheduleViewUpdate();
}

QStringList FlexGrid::rowTexts(int row) const
{
    QStringList texts;
    for (int col = 0; col < cols(); ++col)
        texts << model()->index(row, col).data(Qt::DisplayRole).toString();
    return texts;
}

void FlexGrid::holdChosenRow(int row)
{
    m_held = true;
    m_chosenTexts = rowTexts(row);
}

bool FlexGrid::chosenRowStands(int row) const
{
    // A new page, or decodes filling an empty row, put another decode where the user chose.
    return row >= 0 && row < rows() && rowTexts(row) == m_chosenTexts;
}

void FlexGrid::endHold()
{
    if (!m_held)
        return;
    m_held = false;
    m_chosenTexts.clear();
    if (m_wantedRow >= 0 && m_wantedRow < rows() && m_wantedCol < cols()) {
        m_row = m_wantedRow;
        m_col = m_wantedCol;
    }
    m_wantedRow = -1;
    m_wantedCol = -1;
    scheduleViewUpdate();
    viewport()->update();
}

QColor FlexGrid::cellBackColor(int row, int col) const
{
    checkRow(row);
    checkColumn(col);
    return model()->index(row, col).data(Qt::BackgroundRole).value<QColor>();
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
    if (!model())
        return;
    const QModelIndex current = model()->index(m_row, m_col);
    if (current.isValid() && current != currentIndex())
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    if (!m_topRowRequested || m_held)
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
    if (event->button() == Qt::LeftButton) {
        m_pressed = indexAt(event->position().toPoint());
        m_pressScroll = verticalScrollBar()->value();
        // The pressed cell is the user's until the release, whatever arrives meanwhile.
        if (m_pressed.isValid())
            holdChosenRow(m_pressed.row());
    }
    QTableView::mousePressEvent(event);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !m_pressed.isValid())
        return;
    const QPersistentModelIndex pressed = m_pressed;
    m_pressed = QPersistentModelIndex();
    const QPoint at = event->position().toPoint();
    // Rows that scrolled under a still pointer leave the pressed cell the one clicked.
    const bool scrolled = verticalScrollBar()->value() != m_pressScroll;
    const bool onPressed = indexAt(at) == pressed || (scrolled && viewport()->rect().contains(at));
    if (onPressed && chosenRowStands(pressed.row())) {
        m_row = pressed.row();
        m_col = pressed.column();
        emit cellClicked();
    }
    endHold();
}

void FlexGrid::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    // Another window, this one's dialogs included, ends the hold: the user works elsewhere
    // and the log follows the decodes again. A popup menu over the grid does not.
    if (event->reason() != Qt::PopupFocusReason)
        endHold();
}

void FlexGrid::contextMenuEvent(QContextMenuEvent* event)
{
    // The right button is already told by mouseDown.
    if (event->reason() != QContextMenuEvent::Mouse)
        emit menuKeyPressed();
    event->accept();
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        currentIndex().isValid()) {
        if (!m_held || chosenRowStands(m_row))
            emit cellClicked();
        endHold();
        event->accept();
        return;
    }
    if ((key == Qt::Key_Menu && plain) ||
        (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        emit menuKeyPressed();
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape && plain && m_held) {
        endHold();
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    // Scrolling otherwise follows the program only: a cell reached by the keyboard is shown,
    // and that scroll is the user's own until the program asks for a first visible row again.
    if (currentIndex().isValid() && currentIndex() != before) {
        holdChosenRow(currentIndex().row());
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
