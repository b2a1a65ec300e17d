#include "Traffic.h"

#include <cstdlib>

namespace Traffic {

namespace {

std::uint64_t mix(std::uint64_t value)
{
    // splitmix64: a cheap, well-spread hash of the index.
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

const char* const Grids[] = {"FN42", "EM73", "JO65", "IO91", "PM95", "QF56", "KP20", "GG66"};

} // namespace

QString callsign(std::uint32_t number)
{
    // Q-prefixed calls cannot belong to a real station: prefix letter, digit, 3-4 letters.
    QString suffix;
    std::uint32_t rest = number / 10;
    for (int i = 0; i < 4; ++i) {
        suffix.prepend(QChar('A' + static_cast<char>(rest % 26)));
        rest /= 26;
    }
    return QStringLiteral("Q%1%2").arg(number % 10).arg(suffix);
}

DecodeReport report(std::uint64_t index, std::uint32_t distinctCallsigns)
{
    const std::uint64_t h = mix(index);
    const std::uint32_t count = distinctCallsigns == 0 ? 1 : distinctCallsigns;
    const QString caller = callsign(static_cast<std::uint32_t>(h % count));
    const QString other = callsign(static_cast<std::uint32_t>((h >> 20) % count));
    const int snr = static_cast<int>((h >> 40) % 45) - 28;

    DecodeReport report;
    report.timeMs = static_cast<std::uint32_t>((index * 15000 / 40) % 86'400'000);
    report.snr = snr;
    report.deltaTime = (static_cast<int>((h >> 8) % 25) - 10) / 10.0;
    report.deltaFrequency = static_cast<std::uint32_t>(200 + (h >> 16) % 2800);
    report.mode = QStringLiteral("~");
    switch ((h >> 50) % 5) {
    case 0:
        report.message = QStringLiteral("CQ %1 %2").arg(caller, Grids[(h >> 12) % 8]);
        break;
    case 1:
        report.message = QStringLiteral("%1 %2 %3%4")
                             .arg(other, caller, QString(QChar(snr < 0 ? '-' : '+')))
                             .arg(std::abs(snr), 2, 10, QChar('0'));
        break;
    case 2:
        report.message = QStringLiteral("%1 %2 RR73").arg(other, caller);
        break;
    case 3:
        report.message = QStringLiteral("%1 %2 73").arg(other, caller);
        break;
    default:
        report.message = QStringLiteral("CQ DX %1 %2").arg(caller, Grids[(h >> 14) % 8]);
        break;
    }
    return report;
}

} // namespace Traffic
