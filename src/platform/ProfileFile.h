#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// An INI file read and written with the rules of the private-profile functions: section and
// key names match regardless of letter case, blanks around names and values are trimmed, a
// value is read up to 255 characters, a missing key gives its default, and writing keeps every
// other section, key, comment and line order, creating the file and the section when missing.
// A value in a pair of quotes, single or double, reads without them. Text is 8-bit (Latin-1),
// or UTF-8 or UTF-16 after their byte-order mark; lines end in CR LF, LF or a lone CR. A save
// changes the lines it writes and nothing else: every other line goes back byte for byte, its
// line end and any byte its encoding does not allow included. A new line takes the line end
// of the line before it; a new file is Latin-1 with CR LF.
class ProfileFile {
public:
    static constexpr int ValueBufferSize = 256;

    // Reads the file if it exists; a missing or unreadable file reads as empty.
    explicit ProfileFile(const QString& path);

    // The file could be opened and read as text.
    bool readable() const { return m_opened && m_text; }
    bool hasSection(const QString& section) const { return findSection(section) >= 0; }
    QString value(const QString& section, const QString& key, const QString& defaultText) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    // Writes the whole file to a temporary file beside it and renames that over the old one, so
    // the old file stays whole when any part of the write fails. A file that is no text of a
    // known form (a NUL byte without a byte-order mark: UTF-16 without its mark, a binary
    // file) is left as it is. Returns false with a reason.
    bool save(QString* error) const;

private:
    enum class Encoding { Latin1, Utf8Bom, Utf16LE, Utf16BE };

    struct Line {
        QString text;
        // The line's bytes as read, without its end; null for a line written since.
        QByteArray raw;
        // The bytes that ended it; empty for a last line without a break.
        QByteArray end;
    };

    // Index of the header line of the section, or -1.
    qsizetype findSection(const QString& section) const;
    // Index of the key's line in the section starting after header, or -1.
    qsizetype findKey(qsizetype header, const QString& key) const;
    qsizetype sectionEnd(qsizetype header) const;
    void insertLine(qsizetype at, const QString& text);
    QByteArray encode(const QString& text) const;

    QString m_path;
    QList<Line> m_lines;
    Encoding m_encoding = Encoding::Latin1;
    // The byte-order mark as read.
    QByteArray m_mark;
    // The first line end of the file, for a new line with none before it.
    QString m_lineEnd = QStringLiteral("\r\n");
    bool m_opened = false;
    bool m_text = true;
};
