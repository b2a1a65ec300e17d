#pragma once

#include "intake/DecodeMessage.h"

#include <QColor>
#include <QObject>

#include <cstdint>

class CellTable;

// The rolling log of every decode: one row each in pages of 99 rows, the callsign cell
// coloured, the newest row kept in view. State only: the window shows the page.
class DecodeLog : public QObject {
    Q_OBJECT
public:
    enum Column { Number = 0, Time, Snr, Dt, Callsign, Message, ColumnCount };
    static constexpr int GridRows = 100;
    static constexpr int PageRows = 99;

    // callsignColor is the background of each logged callsign.
    DecodeLog(const QColor& callsignColor, QObject* parent);

    void LogDecode(const DecodeFields& fields);
    std::int16_t logRowCounter() const { return m_logRowCounter; }
    void resetCounter() { m_logRowCounter = 1; }

    // The page as a table of GridRows rows by ColumnCount columns.
    CellTable& page() { return *m_page; }
    const CellTable& page() const { return *m_page; }
    // The row of the newest decode, and the first row to show so that it stays in view.
    int newestRow() const { return m_logRowCounter - 2; }
    int topRow() const { return qMax(0, m_logRowCounter - 12); }

signals:
    // A decode was logged at newestRow.
    void logged();

private:
    CellTable* m_page;
    const QColor m_callsignColor;
    // One more than the row the next decode goes to; 100 once a page is full.
    std::int16_t m_logRowCounter = 1;
};
