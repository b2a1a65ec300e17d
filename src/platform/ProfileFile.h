#pragma once

#include <QString>
#include <QStringList>

// An INI file read and written with the rules of the private-profile functions: section and
// key names match regardless of letter case, blanks around names and values are trimmed, a
// value is read up to 255 characters, a missing key gives its default, and writing keeps every
// other section, key, comment and line order, creating the file and the section when missing.
// Text is 8-bit (Latin-1); lines are written with CR LF.
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
    // Index of the header line of the section, or -1.
    qsizetype findSection(const QString& section) const;
    // Index of the key's line in the section starting after header, or -1.
    qsizetype findKey(qsizetype header, const QString& key) const;
    qsizetype sectionEnd(qsizetype header) const;

    QString m_path;
    QStringList m_lines;
};
