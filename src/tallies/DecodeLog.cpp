#include "tallies/DecodeLog.h"

#include "core/Checked.h"
#include "core/NumberText.h"
#include "tallies/CellTable.h"

DecodeLog::DecodeLog(const QColor& callsignColor, QObject* parent)
    : QObject(parent)
    , m_page(new CellTable(GridRows, ColumnCount, this))
    , m_callsignColor(callsignColor)
{
}

void DecodeLog::LogDecode(const DecodeFields& fields)
{
    // A full page stays on screen until the next decode needs its room.
    if (m_logRowCounter > PageRows) {
        m_page->clear();
        m_logRowCounter = 1;
    }
    const int row = m_logRowCounter - 1;
    m_page->setText(row, Number, numberText(m_logRowCounter));
    m_page->setText(row, Time, fields.TimeText);
    m_page->setText(row, Snr, fields.SnrText);
    m_page->setText(row, Dt, fields.DtText);
    m_page->setText(row, Callsign, fields.Callsign);
    m_page->setText(row, Message, fields.Message);
    m_page->setBackground(row, Callsign, m_callsignColor);
    m_logRowCounter = Checked::add16(m_logRowCounter, 1);
    emit logged();
}
