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
    const QByteArray bytes = file.readAll();
    // Notepad and PowerShell save with a byte-order mark; Windows' own profile functions read
    // such files.
    QString text;
    if (bytes.startsWith(Utf8Mark)) {
        m_encoding = Encoding::Utf8Bom;
        text = QString::fromUtf8(bytes.mid(Utf8Mark.size()));
    } else if (bytes.startsWith(Utf16LEMark) || bytes.startsWith(Utf16BEMark)) {
        const bool little = bytes.startsWith(Utf16LEMark);
        m_encoding = little ? Encoding::Utf16LE : Encoding::Utf16BE;
        QStringDecoder decode(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                              QStringConverter::Flag::Stateless);
        text = decode(bytes.mid(2));
    } else {
        text = QString::fromLatin1(bytes);
    }
    bool lineEndSeen = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        const bool pair =
            c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n');
        if (!lineEndSeen) {
            m_lineEnd = pair ? QStringLiteral("\r\n") : QString(c);
            lineEndSeen = true;
        }
        m_lines << text.mid(start, i - start);
        i += pair ? 1 : 0;
        start = i + 1;
    }
    // The file's last line may end without a line break.
    m_finalLineEnd = start == text.size();
    if (!m_finalLineEnd)
        m_lines << text.mid(start);
}

qsizetype ProfileFile::findSection(const QString& section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString name = headerName(m_lines[i]);
        if (!name.isNull() && sameName(name, section.trimmed()))
            return i;
    }
    return -1;
}

qsizetype ProfileFile::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && headerName(m_lines[i]).isNull())
        ++i;
    return i;
}

qsizetype ProfileFile::findKey(qsizetype header, const QString& key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const QString& line = m_lines[i];
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
    const QString& text = m_lines[line];
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
        m_lines << QLatin1Char('[') + section + QLatin1Char(']');
        m_lines << entry;
        return;
    }
    const qsizetype line = findKey(header, key);
    if (line >= 0) {
        m_lines[line] = entry;
        return;
    }
    // A new key goes after the last non-blank line of its section.
    qsizetype insertAt = sectionEnd(header);
    while (insertAt > header + 1 && m_lines[insertAt - 1].trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, entry);
}

bool ProfileFile::save(QString* error) const
{
    QString text = m_lines.join(m_lineEnd);
    // The last line keeps its break, or its lack of one.
    if (m_finalLineEnd && !m_lines.isEmpty())
        text += m_lineEnd;
    QByteArray bytes;
    switch (m_encoding) {
    case Encoding::Latin1:
        bytes = text.toLatin1();
        break;
    case Encoding::Utf8Bom:
        bytes = Utf8Mark + text.toUtf8();
        break;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        const bool little = m_encoding == Encoding::Utf16LE;
        QStringEncoder encode(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                              QStringConverter::Flag::Stateless);
        bytes = (little ? Utf16LEMark : Utf16BEMark) + QByteArray(encode(text));
        break;
    }
    }
    const auto fail = [error](const QString& reason) {
        if (error != nullptr)
            *error = reason;
        return false;
    };
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
