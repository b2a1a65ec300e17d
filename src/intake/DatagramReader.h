#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Reads the fields of one datagram in wire order: big-endian numbers and length-prefixed texts.
// The cursor is 16-bit like the rest of the counters, so no byte past 32,767 can be addressed;
// a read that would need it throws OverflowError, a read past the end throws SubscriptError,
// and the cursor moves only when a numeric read has succeeded.
class DatagramReader {
public:
    // The reader keeps a reference to the bytes; they must outlive the reads.
    void reset(const QByteArray& datagram);

    std::int16_t cursor() const { return m_cursor; }

    double ReadUInt32AsDouble();
    std::int32_t ReadInt32();
    double ReadDouble();
    bool ReadBool();
    // Each byte becomes one character (Latin-1); a text cut short by the end of the datagram
    // yields what is there, and the cursor still moves by the full length.
    QString ReadText();

    static QString CutAtNul(const QString& text);

private:
    unsigned char byteAt(std::int16_t index) const;
    std::int16_t indexAt(int offset) const;
    // Copies n bytes at the cursor, most significant first, and advances only when complete.
    std::uint64_t readBigEndian(int n);

    const QByteArray* m_bytes = nullptr;
    std::int16_t m_cursor = 0;
};
