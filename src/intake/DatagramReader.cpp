#include "intake/DatagramReader.h"

#include "core/Checked.h"
#include "core/RuntimeError.h"

#include <bit>

void DatagramReader::reset(const QByteArray& datagram)
{
    m_bytes = &datagram;
    m_cursor = 0;
}

unsigned char DatagramReader::byteAt(std::int16_t index) const
{
    if (m_bytes == nullptr || index < 0 || index >= m_bytes->size())
        throw SubscriptError();
    return static_cast<unsigned char>(m_bytes->at(index));
}

std::int16_t DatagramReader::indexAt(int offset) const
{
    return Checked::add16(m_cursor, offset);
}

std::uint64_t DatagramReader::readBigEndian(int n)
{
    std::uint64_t value = 0;
    for (int i = 0; i < n; ++i)
        value = (value << 8) | byteAt(indexAt(i));
    m_cursor = indexAt(n);
    return value;
}

double DatagramReader::ReadUInt32AsDouble()
{
    // All four indexes are tested before any byte is used.
    for (int i = 0; i < 4; ++i)
        byteAt(indexAt(i));
    return static_cast<double>(static_cast<std::uint32_t>(readBigEndian(4)));
}

std::int32_t DatagramReader::ReadInt32()
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(readBigEndian(4)));
}

double DatagramReader::ReadDouble()
{
    return std::bit_cast<double>(readBigEndian(8));
}

bool DatagramReader::ReadBool()
{
    return readBigEndian(1) != 0;
}

QString DatagramReader::ReadText()
{
    const std::int16_t length = Checked::narrow16(ReadInt32());
    if (length <= 0)
        return {};
    const std::int16_t end = indexAt(length);
    const qsizetype available =
        qMax<qsizetype>(0, qMin<qsizetype>(end, m_bytes->size()) - m_cursor);
    QString text = QString::fromLatin1(m_bytes->constData() + m_cursor, available);
    m_cursor = end;
    return text;
}

QString DatagramReader::CutAtNul(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}
