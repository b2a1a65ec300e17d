#include "intake/UDPMessageProcessing.h"

#include "core/Checked.h"
#include "core/RuntimeError.h"
#include "intake/Protocol.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

std::optional<QString> UDPMessageProcessing::ProcessDatagram(const QByteArray& datagram)
{
    if (datagram.size() <= Protocol::TypeOffset ||
        static_cast<unsigned char>(datagram.at(Protocol::TypeOffset)) !=
            static_cast<std::uint32_t>(Protocol::MessageType::Decode))
        return std::nullopt;
    m_datagram = datagram;
    m_reader.reset(m_datagram);
    if (m_reader.ReadUInt32AsDouble() != Protocol::Magic)
        return std::nullopt;
    m_reader.ReadInt32(); // schema
    m_reader.ReadInt32(); // message type
    m_message.Id = DatagramReader::CutAtNul(m_reader.ReadText());
    m_idEnd = m_reader.cursor();
    return m_message.Id;
}

QByteArrayView UDPMessageProcessing::replayedMessage(QByteArrayView message)
{
    const auto isBlank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    const auto trimEnd = [&isBlank](QByteArrayView text) {
        while (!text.isEmpty() && isBlank(text.back()))
            text.chop(1);
        return text;
    };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    message = trimEnd(message);
    // The marker at the end: "a0".."a9", "q0".."q9", then for "q" a second digit or "*".
    qsizetype marker = -1;
    const qsizetype n = message.size();
    if (n >= 3 && message[n - 3] == 'q' && isDigit(message[n - 2]) &&
        (isDigit(message[n - 1]) || message[n - 1] == '*'))
        marker = n - 3;
    else if (n >= 2 && (message[n - 2] == 'a' || message[n - 2] == 'q') && isDigit(message[n - 1]))
        marker = n - 2;
    if (marker < 0)
        return message;
    // The low-confidence "?" and one blank before the marker go with it.
    if (marker >= 2 && message[marker - 2] == '?' && isBlank(message[marker - 1]))
        marker -= 2;
    return trimEnd(message.first(marker));
}

std::uint64_t UDPMessageProcessing::contentOf(qsizetype idEnd, qsizetype restStart,
                                              qsizetype messageStart, qsizetype messageEnd) const
{
    // A text cut short by the datagram's end moves the cursor past it.
    const auto part = [this](qsizetype from, qsizetype to) {
        from = qMin(from, m_datagram.size());
        return QByteArrayView(m_datagram).sliced(from, qMin(to, m_datagram.size()) - from);
    };
    const QByteArrayView head = part(Protocol::TypeOffset + 1, idEnd);
    const QByteArrayView fields = part(restStart, messageStart);
    const QByteArrayView message =
        replayedMessage(part(messageStart + Protocol::TextLengthBytes, messageEnd));
    std::size_t hash = qHashBits(head.data(), static_cast<std::size_t>(head.size()));
    hash = qHashBits(fields.data(), static_cast<std::size_t>(fields.size()), hash);
    return qHashBits(message.data(), static_cast<std::size_t>(message.size()), hash);
}

DecodeFields UDPMessageProcessing::ProcessDecode()
{
    m_message.NewDecode = m_reader.ReadBool();
    const qsizetype restStart = m_reader.cursor();
    m_message.TimeMs = m_reader.ReadInt32();
    m_message.Snr = Checked::narrow16(m_reader.ReadInt32());
    m_message.DeltaTime = m_reader.ReadDouble();
    m_reader.ReadInt32(); // delta frequency
    const QString mode = DatagramReader::CutAtNul(m_reader.ReadText());
    const qsizetype messageStart = m_reader.cursor();
    m_message.Message = DatagramReader::CutAtNul(m_reader.ReadText());
    const qsizetype messageEnd = m_reader.cursor();
    // The two flags after the message; a decoder of an older schema sends neither.
    const auto flagAt = [this](qsizetype at) {
        return at >= 0 && at < m_datagram.size() && m_datagram.at(at) != 0;
    };

    DecodeFields fields;
    fields.DtText = dtText(m_message.DeltaTime);
    fields.DtTenths = dtTenths(m_message.DeltaTime);
    const QStringList words = splitWords(m_message.Message);
    fields.Callsign = stationCallsign(pickCallsign(words).remove(QLatin1Char('\t')));
    fields.TimeText = timeText(m_message.TimeMs);
    fields.TimeMs = m_message.TimeMs;
    fields.SnrText = QString::number(m_message.Snr);
    fields.Snr = m_message.Snr;
    fields.Message = m_message.Message;
    fields.IsNew = m_message.NewDecode;
    fields.Mode = mode;
    fields.LowConfidence = flagAt(messageEnd);
    fields.OffAir = flagAt(messageEnd + 1);
    fields.Content = contentOf(m_idEnd, restStart, messageStart, messageEnd);
    return fields;
}

namespace {

// DT to one decimal: the whole part's digits and the tenth, of the value's size. The shortest
// decimal form of the value is rounded, halves away from zero, so that a DT sent as 0.25 or 0.15
// rounds the way it reads.
struct OneDecimal {
    std::string whole;
    char tenth = '0';
};

OneDecimal oneDecimal(double deltaTime)
{
    // A DT that is no number cannot be shown or sorted into the histogram.
    if (!std::isfinite(deltaTime))
        throw TypeMismatchError();
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(deltaTime),
                                      std::chars_format::fixed);
    const std::string digits(buffer, result.ptr);
    const std::size_t point = digits.find('.');
    OneDecimal rounded;
    rounded.whole = point == std::string::npos ? digits : digits.substr(0, point);
    const std::string fraction =
        point == std::string::npos ? std::string() : digits.substr(point + 1);
    rounded.tenth = fraction.empty() ? '0' : fraction[0];
    if (fraction.size() > 1 && fraction[1] >= '5') {
        if (rounded.tenth < '9') {
            ++rounded.tenth;
        } else {
            rounded.tenth = '0';
            std::string& whole = rounded.whole;
            int i = static_cast<int>(whole.size()) - 1;
            while (i >= 0 && whole[i] == '9')
                whole[i--] = '0';
            if (i < 0)
                whole.insert(whole.begin(), '1');
            else
                ++whole[i];
        }
    }
    return rounded;
}

} // namespace

QString UDPMessageProcessing::dtText(double deltaTime)
{
    if (deltaTime == 0)
        return QStringLiteral("+0.0");
    const OneDecimal rounded = oneDecimal(deltaTime);
    QString text =
        QString::fromLatin1(rounded.whole) + QLatin1Char('.') + QLatin1Char(rounded.tenth);
    return deltaTime < 0 ? QLatin1Char('-') + text : QLatin1Char('+') + text;
}

std::int32_t UDPMessageProcessing::dtTenths(double deltaTime)
{
    constexpr std::int32_t Limit = 1'000'000'000;
    const OneDecimal rounded = oneDecimal(deltaTime);
    std::int64_t tenths = Limit;
    if (rounded.whole.size() <= 9) {
        tenths = std::stoll(rounded.whole) * 10 + (rounded.tenth - '0');
        tenths = std::min<std::int64_t>(tenths, Limit);
    }
    return static_cast<std::int32_t>(deltaTime < 0 ? -tenths : tenths);
}

QString UDPMessageProcessing::timeText(std::int32_t timeMs)
{
    if (timeMs < 0)
        throw TypeMismatchError();
    const std::int32_t seconds = (timeMs % 86'400'000) / 1000;
    const std::int32_t parts[] = {seconds / 3600, seconds / 60 % 60, seconds % 60};
    char text[8];
    for (int i = 0; i < 3; ++i) {
        text[3 * i] = static_cast<char>('0' + parts[i] / 10);
        text[3 * i + 1] = static_cast<char>('0' + parts[i] % 10);
        if (i < 2)
            text[3 * i + 2] = ':';
    }
    return QString::fromLatin1(text, sizeof text);
}

QStringList UDPMessageProcessing::splitWords(const QString& message)
{
    if (message.isEmpty())
        return {};
    return message.split(QLatin1Char(' '), Qt::KeepEmptyParts);
}

bool UDPMessageProcessing::isCqModifier(const QString& word)
{
    const auto all = [&word](char from, char to) {
        return std::all_of(word.begin(), word.end(), [from, to](QChar c) {
            return c.unicode() >= from && c.unicode() <= to;
        });
    };
    return (word.size() >= 1 && word.size() <= 4 && all('A', 'Z')) ||
           (word.size() == 3 && all('0', '9'));
}

QString UDPMessageProcessing::pickCallsign(const QStringList& words)
{
    const auto endsPhrase = [](const QString& word) { return word.endsWith(QLatin1Char(';')); };
    // "TU; W9XYZ K1ABC R 579 MA": the words after the greeting are an ordinary exchange.
    const qsizetype first = !words.isEmpty() && endsPhrase(words.first()) ? 1 : 0;
    // A word the message does not have is empty: the decode is still logged and counted, under
    // no callsign.
    const auto word = [&words, first](qsizetype number) {
        return first + number > words.size() ? QString() : words.at(first + number - 1);
    };
    if (word(1) == QLatin1String("CQ")) {
        const QString second = word(2);
        if (second.size() == 2 || isCqModifier(second))
            return word(3);
        return second;
    }
    // "K1ABC RR73; W9XYZ <KH1/KH7Z> -12": the sender is the station after the next call.
    if (endsPhrase(word(2)))
        return word(4);
    return word(2);
}

QString UDPMessageProcessing::stationCallsign(const QString& word)
{
    // A callsign the decoder shows as a resolved hash: "<KH1/KH7Z>" is the station KH1/KH7Z.
    const bool hashed =
        word.size() >= 2 && word.startsWith(QLatin1Char('<')) && word.endsWith(QLatin1Char('>'));
    const QString call = hashed ? word.mid(1, word.size() - 2) : word;
    bool letter = false;
    bool digit = false;
    for (const QChar c : call) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'))
            letter = true;
        else if (u >= u'0' && u <= u'9')
            digit = true;
        else if (u != u'/')
            return QString();
    }
    // Every amateur callsign has a letter and a digit; "RR73" has both and is none.
    if (!letter || !digit || call.compare(QLatin1String("RR73"), Qt::CaseInsensitive) == 0)
        return QString();
    return call;
}
