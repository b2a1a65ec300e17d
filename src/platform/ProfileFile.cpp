#include "platform/ProfileFile.h"

#include <QFile>
#include <QSaveFile>

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

} // namespace

ProfileFile::ProfileFile(const QString& path)
    : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromLatin1(file.readAll());
    m_lines = text.split(QLatin1Char('\n'));
    for (QString& line : m_lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // A final line break leaves one empty piece that is no line of the file.
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
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
    QByteArray bytes;
    for (const QString& line : m_lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
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
