#include "AllTxt.h"

#include <QHash>
#include <QRegularExpression>

namespace AllTxt {

namespace {

std::optional<std::uint32_t> timeOfDay(const QString& hhmmss)
{
    if (hhmmss.size() != 6 && hhmmss.size() != 4)
        return std::nullopt;
    bool ok = true;
    const int hours = hhmmss.left(2).toInt(&ok);
    if (!ok)
        return std::nullopt;
    const int minutes = hhmmss.mid(2, 2).toInt(&ok);
    if (!ok)
        return std::nullopt;
    const int seconds = hhmmss.size() == 6 ? hhmmss.mid(4, 2).toInt(&ok) : 0;
    if (!ok || hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    return static_cast<std::uint32_t>(((hours * 60 + minutes) * 60 + seconds) * 1000);
}

// The log names the mode; on the wire the decoder marks it with one character.
QString modeMarker(const QString& name)
{
    static const QHash<QString, QString> markers{{"FT8", "~"},    {"FT4", "+"}, {"JT65", "#"},
                                                 {"JT9", "@"},    {"Q65", ":"}, {"JT4", "$"},
                                                 {"MSK144", "&"}, {"FST4", "`"}};
    return markers.value(name, name);
}

} // namespace

std::optional<DecodeReport> parseLine(const QString& line)
{
    static const QRegularExpression dated(QStringLiteral(
        R"(^\s*\d{6}_(\d{4,6})\s+[\d.]+\s+Rx\s+(\S+)\s+(-?\d+)\s+(-?[\d.]+)\s+(\d+)\s+(.*\S)\s*$)"));
    static const QRegularExpression plain(
        QStringLiteral(R"(^\s*(\d{4,6})\s+(-?\d+)\s+(-?[\d.]+)\s+(\d+)\s+(\S)\s+(.*\S)\s*$)"));

    DecodeReport report;
    QString time;
    if (const auto match = dated.match(line); match.hasMatch()) {
        time = match.captured(1);
        report.mode = modeMarker(match.captured(2));
        report.snr = match.captured(3).toInt();
        report.deltaTime = match.captured(4).toDouble();
        report.deltaFrequency = match.captured(5).toUInt();
        report.message = match.captured(6);
    } else if (const auto old = plain.match(line); old.hasMatch()) {
        time = old.captured(1);
        report.snr = old.captured(2).toInt();
        report.deltaTime = old.captured(3).toDouble();
        report.deltaFrequency = old.captured(4).toUInt();
        report.mode = old.captured(5);
        report.message = old.captured(6);
    } else {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> timeMs = timeOfDay(time);
    if (!timeMs)
        return std::nullopt;
    report.timeMs = *timeMs;
    // The log pads messages into columns; on the wire words stand one blank apart.
    report.message = report.message.simplified();
    return report;
}

} // namespace AllTxt
