#include "DecodeLog.h"

#include "Checked.h"
#include "FlexGrid.h"
#include "Geometry.h"
#include "NumberText.h"

DecodeLog::DecodeLog(FlexGrid& grid)
    : m_grid(grid)
    , m_callsignColor(Geometry::winColor(CallsignColor))
{
}

void DecodeLog::LogDecode(const DecodeFields& fields)
{
    // A full page stays on screen until the next decode needs its room.
    if (m_logRowCounter > PageRows) {
        m_grid.setRows(GridRows);
        m_grid.clear();
        m_logRowCounter = 1;
        m_grid.setTopRow(0);
    }
    const int row = m_logRowCounter - 1;
    m_grid.setTextMatrix(row, Number, numberText(m_logRowCounter));
    m_grid.setTextMatrix(row, Time, fields.TimeText);
    m_grid.setTextMatrix(row, Snr, fields.SnrText);
    m_grid.setTextMatrix(row, Dt, fields.DtText);
    m_grid.setTextMatrix(row, Callsign, fields.Callsign);
    m_grid.setTextMatrix(row, Message, fields.Message);
    m_grid.setRow(row);
    m_grid.setCol(Callsign);
    m_grid.setCellBackColor(m_callsignColor);
    m_logRowCounter = Checked::add16(m_logRowCounter, 1);
    m_grid.setTopRow(Checked::add16(m_logRowCounter, -12));
}
