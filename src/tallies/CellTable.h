#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QVector>

// A page of text cells of a fixed size, each with an optional background colour, addressed by
// row and column from 0; an address outside the page throws SubscriptError. Cells change many
// times between two repaints: the views hear of the changes once per turn of the event loop, as
// one range of rows.
class CellTable : public QAbstractTableModel {
    Q_OBJECT
public:
    CellTable(int rows, int columns, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // The text, and the background colour of a cell that has one of its own.
    QVariant data(const QModelIndex& index, int role) const override;

    const QString& text(int row, int column) const;
    void setText(int row, int column, const QString& text);
    // Invalid: the view's own background.
    QColor background(int row, int column) const;
    void setBackground(int row, int column, const QColor& color);
    // Empties every cell and its colour; the size stays.
    void clear();

private:
    struct Cell {
        QString text;
        QColor back;
    };

    Cell& cell(int row, int column);
    const Cell& cell(int row, int column) const;
    void noteChanged(int first, int last);
    void announceChanges();

    const int m_rows;
    const int m_columns;
    QVector<Cell> m_cells;
    int m_firstChanged = -1; // -1: nothing waits to be announced
    int m_lastChanged = -1;
};
