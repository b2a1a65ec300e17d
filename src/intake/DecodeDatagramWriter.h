#pragma once

#include "intake/Protocol.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// One Decode report as a sender puts it on the wire; used by the sender tool, the tests and the
// benchmarks. Texts are sent as UTF-8, as the decoders do.
struct DecodeReport {
    QString id = QStringLiteral("WSJT-X");
    bool isNew = true;
    std::uint32_t timeMs = 0;
    std::int32_t snr = 0;
    double deltaTime = 0;
    std::uint32_t deltaFrequency = 1500;
    QString mode = QStringLiteral("~");
    QString message;
    bool lowConfidence = false;
    bool offAir = false;
};

class DecodeDatagramWriter {
public:
    static QByteArray encode(const DecodeReport& report);

    // The building blocks, for datagrams of any shape.
    static void appendUInt32(QByteArray& out, std::uint32_t value);
    static void appendDouble(QByteArray& out, double value);
    static void appendBool(QByteArray& out, bool value);
    static void appendText(QByteArray& out, const QString& text);
    // The header common to every message type: magic number, schema, the type.
    static QByteArray header(Protocol::MessageType type);
};
