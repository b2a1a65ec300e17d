#include "Captures.h"
#include "core/RuntimeError.h"
#include "intake/DecodeDatagramWriter.h"
#include "intake/UDPMessageProcessing.h"

#include <QTest>

#include <functional>
#include <limits>

namespace {

// Records what the intake gives.
struct RecordingSink {
    QStringList ids;
    QList<DecodeFields> decodes;
};

DecodeReport sample()
{
    DecodeReport report;
    report.id = QStringLiteral("ABC");
    report.timeMs = 45'015'000;
    report.snr = -12;
    report.deltaTime = 0.2;
    report.message = QStringLiteral("CQ K1ABC FN42");
    return report;
}

// Runs one datagram through the intake with the boundary the window puts around it; returns
// false when the datagram was dropped by a failure.
bool process(UDPMessageProcessing& intake, const QByteArray& datagram, RecordingSink& sink)
{
    try {
        if (const std::optional<QString> id = intake.ProcessDatagram(datagram)) {
            sink.ids << *id;
            sink.decodes << intake.ProcessDecode();
        }
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

} // namespace

class TestUdpMessageProcessing : public QObject {
    Q_OBJECT
private slots:
    void sampleDecodeGivesItsTexts();
    void knownDatagramHasItsBytes();
    void typeFilterLooksAtByteElevenOnly_data();
    void typeFilterLooksAtByteElevenOnly();
    void wrongMagicLeavesNoTrace();
    void otherFieldsHaveNoEffect();
    void contentIsEverythingButTheNewFlag();
    void replayedMessage_data();
    void replayedMessage();
    void decoderReplayGivesEachDecodeItsContent();
    void dtText_data();
    void dtText();
    void timeText_data();
    void timeText();
    void callsign_data();
    void callsign();
    void nullTextsReadAsEmpty();
    void messageEndsAtItsFirstNul();
    void everyTruncationIsDroppedCleanly();
    void valuesThatDoNotFitAreDropped();
    void hostileLengthFieldsCostNothing();
    void dropDoesNotDisturbNextDatagram();
};

void TestUdpMessageProcessing::sampleDecodeGivesItsTexts()
{
    UDPMessageProcessing intake;
    RecordingSink sink;
    QVERIFY(process(intake, DecodeDatagramWriter::encode(sample()), sink));
    QCOMPARE(sink.ids, QStringList{"ABC"});
    QCOMPARE(sink.decodes.size(), 1);
    const DecodeFields& fields = sink.decodes.first();
    QCOMPARE(fields.TimeText, QString("12:30:15"));
    QCOMPARE(fields.SnrText, QString("-12"));
    QCOMPARE(fields.DtText, QString("+0.2"));
    QCOMPARE(fields.Callsign, QString("K1ABC"));
    QCOMPARE(fields.Message, QString("CQ K1ABC FN42"));
    QCOMPARE(fields.Snr, -12);
}

void TestUdpMessageProcessing::knownDatagramHasItsBytes()
{
    // A Decode report as the decoders put it on the wire, written out by hand.
    const QByteArray wire = QByteArray::fromHex("adbccbda"         // magic
                                                "00000002"         // schema
                                                "00000002"         // type: Decode
                                                "00000003414243"   // Id "ABC"
                                                "01"               // new decode
                                                "02aedfd8"         // 45,015,000 ms
                                                "fffffff4"         // SNR -12
                                                "3fc999999999999a" // DT 0.2
                                                "000005dc"         // 1500 Hz
                                                "000000017e"       // mode "~"
                                                "0000000d" +
                                                QByteArray("CQ K1ABC FN42").toHex() +
                                                "0000"); // low confidence, off air
    QCOMPARE(DecodeDatagramWriter::encode(sample()).toHex(), wire.toHex());
    UDPMessageProcessing intake;
    RecordingSink sink;
    QVERIFY(process(intake, wire, sink));
    QCOMPARE(sink.ids, QStringList{"ABC"});
    QCOMPARE(sink.decodes.size(), 1);
    QCOMPARE(sink.decodes.first().TimeText, QString("12:30:15"));
    QCOMPARE(sink.decodes.first().Snr, -12);
    QCOMPARE(sink.decodes.first().Callsign, QString("K1ABC"));
}

void TestUdpMessageProcessing::typeFilterLooksAtByteElevenOnly_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<bool>("decoded");
    QTest::newRow("status 1") << 1u << false;
    QTest::newRow("heartbeat 0") << 0u << false;
    QTest::newRow("decode 2") << 2u << true;
    QTest::newRow("0x102 ends in 2") << 0x102u << true;
    QTest::newRow("clear 3") << 3u << false;
}

void TestUdpMessageProcessing::typeFilterLooksAtByteElevenOnly()
{
    QFETCH(quint32, type);
    QFETCH(bool, decoded);
    QByteArray datagram = DecodeDatagramWriter::encode(sample());
    datagram[8] = static_cast<char>(type >> 24);
    datagram[9] = static_cast<char>(type >> 16);
    datagram[10] = static_cast<char>(type >> 8);
    datagram[11] = static_cast<char>(type);
    UDPMessageProcessing intake;
    RecordingSink sink;
    QVERIFY(process(intake, datagram, sink));
    QCOMPARE(sink.decodes.size(), decoded ? 1 : 0);
    QCOMPARE(sink.ids.size(), decoded ? 1 : 0);
}

void TestUdpMessageProcessing::wrongMagicLeavesNoTrace()
{
    QByteArray datagram = DecodeDatagramWriter::encode(sample());
    datagram[0] = 0x00;
    UDPMessageProcessing intake;
    RecordingSink sink;
    QVERIFY(process(intake, datagram, sink));
    QVERIFY(sink.ids.isEmpty());
    QVERIFY(sink.decodes.isEmpty());
}

void TestUdpMessageProcessing::otherFieldsHaveNoEffect()
{
    DecodeReport report = sample();
    report.isNew = false;
    report.deltaFrequency = 0xFFFFFFFF;
    report.mode = QStringLiteral("FT4 with a long mode text");
    QByteArray datagram = DecodeDatagramWriter::encode(report);
    datagram[4] = 0x7F;            // schema
    datagram.append(5000, '\xEE'); // anything after the message
    UDPMessageProcessing intake;
    RecordingSink sink;
    QVERIFY(process(intake, datagram, sink));
    QCOMPARE(sink.decodes.size(), 1);
    QCOMPARE(sink.decodes.first().Callsign, QString("K1ABC"));
    QCOMPARE(sink.decodes.first().Message, QString("CQ K1ABC FN42"));
}

void TestUdpMessageProcessing::contentIsEverythingButTheNewFlag()
{
    UDPMessageProcessing intake;
    const auto decodeOf = [&intake](const DecodeReport& report) {
        RecordingSink sink;
        if (!process(intake, DecodeDatagramWriter::encode(report), sink) || sink.decodes.isEmpty())
            qFatal("not decoded");
        return sink.decodes.first();
    };
    const DecodeFields original = decodeOf(sample());
    QVERIFY(original.IsNew);
    DecodeReport replay = sample();
    replay.isNew = false;
    replay.offAir = true;
    replay.lowConfidence = true;
    const DecodeFields replayed = decodeOf(replay);
    QVERIFY(!replayed.IsNew);
    QCOMPARE(replayed.Content, original.Content);
    const std::function<void(DecodeReport&)> changes[] = {
        [](DecodeReport& r) { r.id += "2"; },
        [](DecodeReport& r) { r.timeMs += 15'000; },
        [](DecodeReport& r) { r.snr -= 1; },
        [](DecodeReport& r) { r.deltaTime += 0.1; },
        [](DecodeReport& r) { r.deltaFrequency += 1; },
        [](DecodeReport& r) { r.mode = "+"; },
        [](DecodeReport& r) { r.message += " A"; },
        // The same bytes, moved from the Id to the mode.
        [](DecodeReport& r) {
            r.id = "AB";
            r.mode = "C~";
        },
    };
    for (const auto& change : changes) {
        DecodeReport other = sample();
        change(other);
        QVERIFY(decodeOf(other).Content != original.Content);
    }
}

void TestUdpMessageProcessing::replayedMessage_data()
{
    QTest::addColumn<QByteArray>("arrived");
    QTest::addColumn<QByteArray>("replayed");
    const QByteArray call = "CQ K1ABC FN42";
    const QByteArray padded = call + QByteArray(23, ' ');
    QTest::newRow("plain") << call << call;
    QTest::newRow("final blanks") << call + " \t " << call;
    QTest::newRow("AP, low confidence") << padded + "? a1" << call;
    QTest::newRow("AP") << padded + "  a7" << call;
    QTest::newRow("Q65 marker") << padded + "  q3" << call;
    QTest::newRow("Q65 two digits") << padded + "? q12" << call;
    QTest::newRow("Q65 averaged") << padded + "  q2*" << call;
    QTest::newRow("a letter without digit") << call + " a" << call + " a";
    QTest::newRow("capitals are the message")
        << QByteArray("K1ABC W9XYZ A1") << QByteArray("K1ABC W9XYZ A1");
    QTest::newRow("a question mark alone") << call + " ?" << call + " ?";
    // The decoder looks for the marker at the end of its whole line, blank or not before it.
    QTest::newRow("a marker alone") << QByteArray("a1") << QByteArray();
}

void TestUdpMessageProcessing::replayedMessage()
{
    QFETCH(QByteArray, arrived);
    QFETCH(QByteArray, replayed);
    QCOMPARE(UDPMessageProcessing::replayedMessage(arrived).toByteArray(), replayed);
}

void TestUdpMessageProcessing::decoderReplayGivesEachDecodeItsContent()
{
    const QList<QByteArray> datagrams = capturedDatagrams(QStringLiteral("wsjtx-2.6.1-replay"));
    REQUIRE_CAPTURE(datagrams);
    UDPMessageProcessing intake;
    QList<DecodeFields> arrived;
    QList<DecodeFields> replayed;
    for (const QByteArray& datagram : datagrams) {
        RecordingSink sink;
        QVERIFY(process(intake, datagram, sink));
        for (const DecodeFields& fields : sink.decodes)
            (fields.IsNew ? arrived : replayed) << fields;
    }
    QCOMPARE(arrived.size(), 21);
    QCOMPARE(replayed.size(), 21);
    QSet<std::uint64_t> contents;
    for (const DecodeFields& fields : arrived)
        contents << fields.Content;
    QCOMPARE(contents.size(), 21);
    // The band activity is sent again in the order it arrived.
    for (qsizetype i = 0; i < arrived.size(); ++i)
        QCOMPARE(replayed[i].Content, arrived[i].Content);
    // The AP decode is shown as it arrived, its replay as it came.
    const auto ap = std::find_if(arrived.begin(), arrived.end(), [](const DecodeFields& f) {
        return f.Message.endsWith(QLatin1String("? a1"));
    });
    QVERIFY(ap != arrived.end());
    QCOMPARE(replayed[ap - arrived.begin()].Message, QString("CQ K1ABC FN42"));
    // The decoder's own flags: doubtful when new, no longer when replayed; a recording.
    QVERIFY(ap->LowConfidence);
    QVERIFY(!replayed[ap - arrived.begin()].LowConfidence);
    for (const DecodeFields& fields : arrived) {
        QCOMPARE(fields.Mode, QString("~"));
        QVERIFY(fields.OffAir);
    }
}

void TestUdpMessageProcessing::dtText_data()
{
    QTest::addColumn<double>("dt");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tenths");
    QTest::newRow("zero") << 0.0 << "+0.0" << 0;
    QTest::newRow("negative zero") << -0.0 << "+0.0" << 0;
    QTest::newRow("minus half") << -0.5 << "-0.5" << -5;
    QTest::newRow("just below zero") << -0.04 << "-0.0" << 0;
    QTest::newRow("half up away from zero") << 0.25 << "+0.3" << 3;
    QTest::newRow("half down away from zero") << -0.25 << "-0.3" << -3;
    QTest::newRow("reads as 0.15") << 0.15 << "+0.2" << 2;
    QTest::newRow("reads as 0.55") << 0.55 << "+0.6" << 6;
    QTest::newRow("carry into units") << 0.96 << "+1.0" << 10;
    QTest::newRow("carry across nines") << -9.97 << "-10.0" << -100;
    QTest::newRow("carry across every nine") << 99.96 << "+100.0" << 1000;
    QTest::newRow("whole") << 2.0 << "+2.0" << 20;
    QTest::newRow("large") << 12345.67 << "+12345.7" << 123457;
    QTest::newRow("tiny") << 1e-300 << "+0.0" << 0;
    QTest::newRow("nine whole digits, capped") << 999999999.9 << "+999999999.9" << 1'000'000'000;
    QTest::newRow("nine whole digits below zero, capped")
        << -987654321.0 << "-987654321.0" << -1'000'000'000;
    QTest::newRow("beyond a billion tenths") << -1e10 << "-10000000000.0" << -1'000'000'000;
}

void TestUdpMessageProcessing::dtText()
{
    QFETCH(double, dt);
    QFETCH(QString, text);
    QFETCH(int, tenths);
    QCOMPARE(UDPMessageProcessing::dtText(dt), text);
    // The number the text shows, for the steps that count with it.
    QCOMPARE(UDPMessageProcessing::dtTenths(dt), tenths);
}

void TestUdpMessageProcessing::timeText_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("midnight") << 0 << "00:00:00";
    QTest::newRow("last second") << 86'399'000 << "23:59:59";
    QTest::newRow("whole day dropped") << 86'400'000 << "00:00:00";
    QTest::newRow("fraction cut") << 45'015'999 << "12:30:15";
    QTest::newRow("many days") << std::numeric_limits<int>::max() << "20:31:23";
}

void TestUdpMessageProcessing::timeText()
{
    QFETCH(int, ms);
    QFETCH(QString, text);
    QCOMPARE(UDPMessageProcessing::timeText(ms), text);
}

void TestUdpMessageProcessing::callsign_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("callsign");
    const auto row = [](const char* message, const char* callsign) {
        QTest::newRow(message) << QString(message) << QString(callsign);
    };
    row("CQ K1ABC FN42", "K1ABC");
    row("CQ DX K1ABC FN42", "K1ABC");
    row("CQ TEST K1ABC FN42", "K1ABC");
    row("CQ POTA K1ABC/P FN42", "K1ABC/P");
    row("CQ E K1ABC", "K1ABC");
    row("CQ 123 K1ABC FN42", "K1ABC");
    row("CQ 149 K1ABC", "K1ABC");
    row("CQ NZ K1ABC", "K1ABC");
    row("CQ 73 K1ABC", "K1ABC");
    // Words after CQ that are no modifier are taken as the call, if they can be one.
    row("CQ ABCDE K1ABC", "");
    row("CQ W9XYZ1 K1ABC", "W9XYZ1");
    row("CQ 1234 K1ABC", "");
    row("K1ABC W9XYZ -12", "W9XYZ");
    row("cq K1ABC FN42", "K1ABC");
    row("cq DX K1ABC", "");
    row("TU; W9XYZ K1ABC R 579 MA", "K1ABC");
    row("TU; CQ DX K1ABC FN42", "K1ABC");
    row("CQ  K1ABC", "");
    row(" CQ K1ABC FN42", "");
    row("W9XYZ K1ABC\t -05", "K1ABC");
    row("CQ K1ABC/P FN42", "K1ABC/P");
    // Hashed calls name the same station as the call in full.
    row("W9XYZ <K1ABC> RR73", "K1ABC");
    row("N0ABC RR73; VE3XYZ <KH1/KH7Z> -16", "KH1/KH7Z");
    row("K1ABC <KH1/KH7Z> R-09", "KH1/KH7Z");
    row("CQ KH1/KH7Z AH48", "KH1/KH7Z");
    row("<K1ABC/P> <W9XYZ> RR73", "W9XYZ");
    row("CQ DX <...>", "");
    row("W9XYZ <<K1ABC>> 73", "");
    // Words that cannot be a callsign give none.
    row("TNX FER QSO 73", "");
    row("TNX RR73 GL", "");
    row("K1ABC rr73", "");
    row("DE W9XYZ 73", "W9XYZ");
    row("W9XYZ K1ABC-1 73", "");
    // Too few words for the rule: the decode still counts, under no callsign.
    for (const char* message :
         {"", "K1ABC", "QRZ", "CQ", "CQ DX", "CQ TEST", "CQ POTA", "CQ ABC", "CQ 599",
          "K1ABC RR73; W9XYZ", "W9XYZ RR73; K1ABC", "TU; K1ABC", "TU;"})
        row(message, "");
}

void TestUdpMessageProcessing::callsign()
{
    QFETCH(QString, message);
    QFETCH(QString, callsign);
    DecodeReport report = sample();
    report.message = message;
    UDPMessageProcessing intake;
    RecordingSink sink;
    QVERIFY(process(intake, DecodeDatagramWriter::encode(report), sink));
    QCOMPARE(sink.decodes.size(), 1);
    QCOMPARE(sink.decodes.first().Callsign, callsign);
    QCOMPARE(sink.decodes.first().Message, message);
}

void TestUdpMessageProcessing::nullTextsReadAsEmpty()
{
    // Id and mode as null texts (length FF FF FF FF), then a real message.
    QByteArray datagram = DecodeDatagramWriter::header(Protocol::MessageType::Decode);
    DecodeDatagramWriter::appendUInt32(datagram, 0xFFFFFFFF);
    DecodeDatagramWriter::appendBool(datagram, true);
    DecodeDatagramWriter::appendUInt32(datagram, 1000);
    DecodeDatagramWriter::appendUInt32(datagram, 3);
    DecodeDatagramWriter::appendDouble(datagram, -0.5);
    DecodeDatagramWriter::appendUInt32(datagram, 1200);
    DecodeDatagramWriter::appendUInt32(datagram, 0xFFFFFFFF);
    DecodeDatagramWriter::appendText(datagram, QStringLiteral("W9XYZ K1ABC R-05"));
    UDPMessageProcessing intake;
    RecordingSink sink;
    QVERIFY(process(intake, datagram, sink));
    QCOMPARE(sink.ids, QStringList{""});
    QCOMPARE(sink.decodes.first().SnrText, QString("3"));
    QCOMPARE(sink.decodes.first().DtText, QString("-0.5"));
    QCOMPARE(sink.decodes.first().TimeText, QString("00:00:01"));

    QByteArray nullMessage = datagram.left(datagram.size() - 20);
    DecodeDatagramWriter::appendUInt32(nullMessage, 0xFFFFFFFF);
    QVERIFY(process(intake, nullMessage, sink));
    QCOMPARE(sink.decodes.last().Message, QString());
}

void TestUdpMessageProcessing::messageEndsAtItsFirstNul()
{
    DecodeReport report = sample();
    report.message = QStringLiteral("CQ K1ABC FN42") + QChar(0) + QStringLiteral("junk");
    UDPMessageProcessing intake;
    RecordingSink sink;
    QVERIFY(process(intake, DecodeDatagramWriter::encode(report), sink));
    QCOMPARE(sink.decodes.first().Message, QString("CQ K1ABC FN42"));
    QCOMPARE(sink.decodes.first().Callsign, QString("K1ABC"));
}

void TestUdpMessageProcessing::everyTruncationIsDroppedCleanly()
{
    // Cut a real datagram at every length: each piece is either ignored or dropped, and the
    // only piece that yields a decode is one that still holds the whole message.
    const QByteArray whole = DecodeDatagramWriter::encode(sample());
    const int messageEnd = whole.size() - 2; // two flags follow the message
    UDPMessageProcessing intake;
    for (int size = 0; size < whole.size(); ++size) {
        RecordingSink sink;
        process(intake, whole.left(size), sink);
        if (size >= messageEnd) {
            QCOMPARE(sink.decodes.size(), 1);
        } else if (size < messageEnd - 13) {
            // Cut before the message text: nothing to show.
            QVERIFY2(sink.decodes.isEmpty(), qPrintable(QString::number(size)));
        } else {
            // Cut inside the message text: only what is there is read, never past the end.
            QVERIFY(sink.decodes.size() <= 1);
            for (const DecodeFields& fields : sink.decodes)
                QVERIFY(QString("CQ K1ABC FN42").startsWith(fields.Message));
        }
        QVERIFY(sink.ids.size() <= 1);
        if (size < 16)
            QVERIFY(sink.ids.isEmpty());
    }
}

void TestUdpMessageProcessing::valuesThatDoNotFitAreDropped()
{
    UDPMessageProcessing intake;
    for (const int snr : {32768, -32769, std::numeric_limits<int>::min()}) {
        DecodeReport report = sample();
        report.snr = snr;
        RecordingSink sink;
        QVERIFY(!process(intake, DecodeDatagramWriter::encode(report), sink));
        QVERIFY(sink.decodes.isEmpty());
    }
    DecodeReport negativeTime = sample();
    negativeTime.timeMs = 0x80000000u;
    RecordingSink sink;
    QVERIFY(!process(intake, DecodeDatagramWriter::encode(negativeTime), sink));
    QVERIFY(sink.decodes.isEmpty());

    for (const double dt :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        DecodeReport report = sample();
        report.deltaTime = dt;
        RecordingSink nanSink;
        QVERIFY(!process(intake, DecodeDatagramWriter::encode(report), nanSink));
        QVERIFY(nanSink.decodes.isEmpty());
    }
}

void TestUdpMessageProcessing::hostileLengthFieldsCostNothing()
{
    UDPMessageProcessing intake;
    for (const quint32 length : {0x7FFFFFFFu, 0xFFFFFFFEu, 0x00008000u, 0x00007FFFu}) {
        QByteArray datagram = DecodeDatagramWriter::header(Protocol::MessageType::Decode);
        DecodeDatagramWriter::appendUInt32(datagram, length);
        datagram.append("ABC");
        RecordingSink sink;
        process(intake, datagram, sink);
        QVERIFY(sink.decodes.isEmpty());
    }
    // The largest UDP payload: an Id that fills it, cut off by the 16-bit cursor.
    QByteArray huge = DecodeDatagramWriter::header(Protocol::MessageType::Decode);
    DecodeDatagramWriter::appendUInt32(huge, Protocol::MaxDatagramBytes - 16);
    huge.append(Protocol::MaxDatagramBytes - 16, 'A');
    RecordingSink sink;
    QVERIFY(!process(intake, huge, sink));
    QVERIFY(sink.decodes.isEmpty());
}

void TestUdpMessageProcessing::dropDoesNotDisturbNextDatagram()
{
    UDPMessageProcessing intake;
    RecordingSink sink;
    const QByteArray good = DecodeDatagramWriter::encode(sample());
    QVERIFY(!process(intake, good.left(30), sink));
    QVERIFY(process(intake, QByteArray(5, '\x02'), sink));
    QVERIFY(process(intake, good, sink));
    QCOMPARE(sink.decodes.size(), 1);
    QCOMPARE(sink.decodes.first().Callsign, QString("K1ABC"));
}

// With an application object, as in the program, the user's locale is in force.
QTEST_GUILESS_MAIN(TestUdpMessageProcessing)
#include "tst_udpmessageprocessing.moc"
