#pragma once

#include <QString>
#include <QStringList>

// An INI file read and written with the rules of the private-profile functions: section and
// key names match regardless of letter case, blanks around names and values are trimmed, a
// value is read up to 255 characters, a missing key gives its default, and writing keeps every
// other section, key, comment and line order, creating the file and the section when missing.
// A value in a pair of quotes, single or double, reads without them. Text is 8-bit (Latin-1),
// or UTF-8 or UTF-16 after their byte-order mark; lines end in CR LF, LF or a lone CR. A file
// is written back in its own encoding, with its mark and its line ends; a new one is Latin-1
// with CR LF.
class ProfileFile {
public:
    static constexpr int ValueBufferSize = 256;

    // Reads the file if it exists; a missing or unreadable file reads as empty.
    explicit ProfileFile(const QString& path);

    QString value(const QString& section, const QString& key, const QString& defaultText) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    // Writes the whole file to a temporary file beside it and renames that over the old one, so
    // the old file stays whole when any part of the write fails. Returns false with a reason.
    bool save(QString* error) const;

private:
    enum class Encoding { Latin1, Utf8Bom, Utf16LE, Utf16BE };

    // Index of the header line of the section, or -1.
    qsizetype findSection(const QString& section) const;
    // Index of the key's line in the section starting after header, or -1.
    qsizetype findKey(qsizetype header, const QString& key) const;
    qsizetype sectionEnd(qsizetype header) const;

    QString m_path;
    QStringList m_lines;
    Encoding m_encoding = Encoding::Latin1;
    QString m_lineEnd = QStringLiteral("\r\n");
    bool m_finalLineEnd = true;
};
