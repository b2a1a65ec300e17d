#include "platform/ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// The section name of a header line "[name]", or a null string when the line is no header.
QString headerName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    const QString name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
    return name.isNull() ? QStringLiteral("") : name;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const QByteArray Utf8Mark("\xEF\xBB\xBF");
const QByteArray Utf16LEMark("\xFF\xFE");
const QByteArray Utf16BEMark("\xFE\xFF");

} // namespace

ProfileFile::ProfileFile(const QString& path)
    : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    m_opened = true;
    const QByteArray bytes = file.readAll();
    // Notepad and PowerShell save with a byte-order mark; Windows' own profile functions read
    // such files.
    if (bytes.startsWith(Utf8Mark)) {
        m_encoding = Encoding::Utf8Bom;
        m_mark = Utf8Mark;
    } else if (bytes.startsWith(Utf16LEMark) || bytes.startsWith(Utf16BEMark)) {
        m_encoding = bytes.startsWith(Utf16LEMark) ? Encoding::Utf16LE : Encoding::Utf16BE;
        m_mark = bytes.left(2);
    } else if (bytes.contains('\0')) {
        // No 8-bit text has a NUL: UTF-16 without its mark, or no text at all.
        m_text = false;
        return;
    }
    const bool wide = m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE;
    const int unit = wide ? 2 : 1;
    const auto codeAt = [&bytes, wide, this](qsizetype i) -> char16_t {
        if (!wide)
            return static_cast<unsigned char>(bytes[i]);
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return m_encoding == Encoding::Utf16LE ? char16_t(first | second << 8)
                                               : char16_t(first << 8 | second);
    };
    QStringDecoder decode(m_encoding == Encoding::Utf16LE   ? QStringConverter::Utf16LE
                          : m_encoding == Encoding::Utf16BE ? QStringConverter::Utf16BE
                          : m_encoding == Encoding::Utf8Bom ? QStringConverter::Utf8
                                                            : QStringConverter::Latin1,
                          QStringConverter::Flag::Stateless);
    bool lineEndSeen = false;
    qsizetype start = m_mark.size();
    qsizetype i = start;
    const auto addLine = [&](qsizetype endStart, qsizetype next) {
        Line line;
        line.raw = bytes.mid(start, endStart - start);
        line.end = bytes.mid(endStart, next - endStart);
        line.text = decode(line.raw);
        m_lines << line;
        start = next;
    };
    // Whole code units only: an odd last byte of UTF-16 stays in the last line's bytes.
    for (; i + unit <= bytes.size(); i += unit) {
        const char16_t c = codeAt(i);
        if (c != u'\r' && c != u'\n')
            continue;
        const bool pair = c == u'\r' && i + 2 * unit <= bytes.size() && codeAt(i + unit) == u'\n';
        if (!lineEndSeen) {
            m_lineEnd = pair ? QStringLiteral("\r\n") : QString(QChar(c));
            lineEndSeen = true;
        }
        const qsizetype next = i + (pair ? 2 : 1) * unit;
        addLine(i, next);
        i = next - unit;
    }
    // The file's last line may end without a line break.
    if (start < bytes.size())
        addLine(bytes.size(), bytes.size());
}

qsizetype ProfileFile::findSection(const QString& section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString name = headerName(m_lines[i].text);
        if (!name.isNull() && sameName(name, section.trimmed()))
            return i;
    }
    return -1;
}

qsizetype ProfileFile::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && headerName(m_lines[i].text).isNull())
        ++i;
    return i;
}

qsizetype ProfileFile::findKey(qsizetype header, const QString& key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const QString& line = m_lines[i].text;
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0 && sameName(line.left(equals).trimmed(), key.trimmed()))
            return i;
    }
    return -1;
}

QString ProfileFile::value(const QString& section, const QString& key,
                           const QString& defaultText) const
{
    const qsizetype header = findSection(section);
    const qsizetype line = header < 0 ? -1 : findKey(header, key);
    if (line < 0)
        return defaultText.left(ValueBufferSize - 1);
    const QString& text = m_lines[line].text;
    QString value = text.mid(text.indexOf(QLatin1Char('=')) + 1).trimmed();
    const bool quoted = value.size() >= 2 &&
                        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                        value.back() == value.front();
    if (quoted)
        value = value.mid(1, value.size() - 2);
    return value.left(ValueBufferSize - 1);
}

void ProfileFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString entry = key + QLatin1Char('=') + value;
    qsizetype header = findSection(section);
    if (header < 0) {
        insertLine(m_lines.size(), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(m_lines.size(), entry);
        return;
    }
    const qsizetype line = findKey(header, key);
    if (line >= 0) {
        // The same entry keeps its bytes.
        if (m_lines[line].text != entry)
            m_lines[line] = {entry, QByteArray(), m_lines[line].end};
        return;
    }
    // A new key goes after the last non-blank line of its section.
    qsizetype insertAt = sectionEnd(header);
    while (insertAt > header + 1 && m_lines[insertAt - 1].text.trimmed().isEmpty())
        --insertAt;
    insertLine(insertAt, entry);
}

void ProfileFile::insertLine(qsizetype at, const QString& text)
{
    const QByteArray fileEnd = encode(m_lineEnd);
    Line line{text, QByteArray(), fileEnd};
    if (at > 0) {
        Line& before = m_lines[at - 1];
        if (before.end.isEmpty()) {
            // After a last line without a break: it gets one, and the new last line has none.
            before.end = fileEnd;
            line.end.clear();
        } else {
            line.end = before.end;
        }
    }
    m_lines.insert(at, line);
}

QByteArray ProfileFile::encode(const QString& text) const
{
    switch (m_encoding) {
    case Encoding::Latin1:
        return text.toLatin1();
    case Encoding::Utf8Bom:
        return text.toUtf8();
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        break;
    }
    QStringEncoder encoder(m_encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                           : QStringConverter::Utf16BE,
                           QStringConverter::Flag::Stateless);
    return encoder(text);
}

bool ProfileFile::save(QString* error) const
{
    const auto fail = [error](const QString& reason) {
        if (error != nullptr)
            *error = reason;
        return false;
    };
    if (!m_text)
        return fail(QStringLiteral("it is not a text file Vantorel can read (UTF-16 without its "
                                   "byte-order mark?), so it was left as it is"));
    QByteArray bytes = m_mark;
    for (const Line& line : m_lines)
        bytes += (line.raw.isNull() ? encode(line.text) : line.raw) + line.end;
    // Unbuffered, so that a write cut short (a full disk, a size limit) shows in the count
    // written: a buffered save would report success over a truncated file.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("the file could not be written whole");
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
