#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTest>

// What the real decoder sent, one datagram a file in arrival order, kept beside the project
// (CAPTURES_DIR): the decoder's own bytes, which no writer of this project can stand in for.
inline QList<QByteArray> capturedDatagrams(const QString& capture)
{
    const QDir dir(QStringLiteral(CAPTURES_DIR "/") + capture);
    QList<QByteArray> datagrams;
    for (const QString& name : dir.entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            datagrams << file.readAll();
    }
    return datagrams;
}

// Skips the calling test where the captures are not beside this clone.
#define REQUIRE_CAPTURE(datagrams)                                                                 \
    if ((datagrams).isEmpty())                                                                     \
    QSKIP("no decoder captures in " CAPTURES_DIR)
