#pragma once

#include <QColor>
#include <QStringList>
#include <QTableView>
#include <QVector>

// A view of a table model's text cells, addressed by row and column from 0, with no header rows
// or columns. Offers the members of the flexible grid control the window is built from: row and
// column counts, column widths, one height for all rows, column alignment, cell texts and
// background colours, the current cell, the first visible row, click and mouse-down events. An
// address outside the grid throws SubscriptError. A column without an alignment of its own
// shows numbers at the right and text at the left; a cell without a colour of its own has the
// grid's background colour.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    FlexGrid(const QColor& backColor, QWidget* parent);

    int rows() const;
    int cols() const;

    void setColWidth(int col, int twips);
    void setRowHeightAll(int twips);
    void setColAlignment(int col, Qt::Alignment alignment);

    QString textMatrix(int row, int col) const;

    // The current cell. While the user holds it (moving through the grid with the keyboard,
    // or pressing a cell with the mouse until its release), the program's setRow, setCol and
    // setTopRow wait: the grid shows their cell with a dashed frame and neither moves nor
    // scrolls under the user. A pick, Escape, leaving the grid or the window ends the hold,
    // and the program's latest cell and first visible row apply. A pick takes the row the user
    // chose, or nothing when the program has written over it meanwhile.
    int row() const { return m_row; }
    int col() const { return m_col; }
    void setRow(int row);
    void setCol(int col);
    // Invalid for a cell without a colour of its own.
    QColor cellBackColor(int row, int col) const;
    // The colour and alignment a cell is drawn with.
    QColor drawnBackColor(int row, int col) const;
    Qt::Alignment cellAlignment(int row, int col) const;

    int topRow() const { return m_topRow; }
    // A negative row shows the top of the grid. When the current row would be left cut by the
    // bottom edge, the grid scrolls just far enough to show it whole.
    void setTopRow(int row);

signals:
    // A click on a cell, after that cell became the current cell, also when the grid scrolled
    // between press and release; also Enter or Space on the current cell, so that the keyboard
    // does what the mouse does.
    void cellClicked();
    void mouseDown(Qt::MouseButton button);
    // The context-menu key or Shift+F10, which stand for the right button.
    void menuKeyPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void updateGeometries() override;
    void showEvent(QShowEvent* event) override;

private:
    class CellPainter;
    static constexpr Qt::Alignment GeneralAlignment = {};
    void checkRow(int row) const;
    void checkColumn(int col) const;
    Qt::Alignment alignment(int col, const QString& text) const;
    void scheduleViewUpdate();
    // Brings the first visible row and the drawn current cell in line with the grid's state.
    void updateView();
    void endHold();
    QStringList rowTexts(int row) const;
    // Starts or moves the hold to the row the user chose, as it reads now.
    void holdChosenRow(int row);
    // The held row still shows what the user chose.
    bool chosenRowStands(int row) const;

    const QColor m_backColor;
    QVector<Qt::Alignment> m_alignment;
    int m_row = 0;
    int m_col = 0;
    bool m_held = false;
    // The texts of the row the user chose when they chose it.
    QStringList m_chosenTexts;
    // The program's cell, asked for while the user held the current cell; -1: none.
    int m_wantedRow = -1;
    int m_wantedCol = -1;
    QPersistentModelIndex m_pressed;
    int m_pressScroll = 0;
    int m_topRow = 0;
    // The first visible row was asked for after the user last scrolled: the view follows it.
    bool m_topRowRequested = true;
    int m_rowHeightTwips = -1;
    bool m_viewUpdatePending = false;
};
