#include "intake/DecodeDatagramWriter.h"

#include "intake/Protocol.h"

#include <bit>

void DecodeDatagramWriter::appendUInt32(QByteArray& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

void DecodeDatagramWriter::appendDouble(QByteArray& out, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    appendUInt32(out, static_cast<std::uint32_t>(bits >> 32));
    appendUInt32(out, static_cast<std::uint32_t>(bits));
}

void DecodeDatagramWriter::appendBool(QByteArray& out, bool value)
{
    out.append(value ? 1 : 0);
}

void DecodeDatagramWriter::appendText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    appendUInt32(out, static_cast<std::uint32_t>(utf8.size()));
    out.append(utf8);
}

QByteArray DecodeDatagramWriter::header(Protocol::MessageType type)
{
    QByteArray out;
    appendUInt32(out, Protocol::Magic);
    appendUInt32(out, Protocol::Schema);
    appendUInt32(out, static_cast<std::uint32_t>(type));
    return out;
}

QByteArray DecodeDatagramWriter::encode(const DecodeReport& report)
{
    QByteArray out = header(Protocol::MessageType::Decode);
    appendText(out, report.id);
    appendBool(out, report.isNew);
    appendUInt32(out, report.timeMs);
    appendUInt32(out, static_cast<std::uint32_t>(report.snr));
    appendDouble(out, report.deltaTime);
    appendUInt32(out, report.deltaFrequency);
    appendText(out, report.mode);
    appendText(out, report.message);
    appendBool(out, report.lowConfidence);
    appendBool(out, report.offAir);
    return out;
}
