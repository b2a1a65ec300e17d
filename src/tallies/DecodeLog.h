#pragma once

#include "DecodeMessage.h"

#include <QColor>

#include <cstdint>

class FlexGrid;

// The rolling log of every decode: one row each in pages of 99 rows, the callsign cell
// coloured, the newest row kept in view.
class DecodeLog {
public:
    enum Column { Number = 0, Time, Snr, Dt, Callsign, Message, ColumnCount };
    static constexpr int GridRows = 100;
    static constexpr int PageRows = 99;
    static constexpr std::uint32_t CallsignColor = 15130800;

    explicit DecodeLog(FlexGrid& grid);

    void LogDecode(const DecodeFields& fields);
    std::int16_t logRowCounter() const { return m_logRowCounter; }
    void resetCounter() { m_logRowCounter = 1; }

private:
    FlexGrid& m_grid;
    const QColor m_callsignColor;
    // One more than the row the next decode goes to; 100 once a page is full.
    std::int16_t m_logRowCounter = 1;
};
