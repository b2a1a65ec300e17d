#include "AllTxt.h"
#include "core/RuntimeError.h"
#include "intake/DecodeDatagramWriter.h"
#include "intake/UDPMessageProcessing.h"

#include <QFile>
#include <QTest>

namespace {
struct CountingSink {
    int decodes = 0;
    QHash<QString, int> callsigns;
};
} // namespace

class TestSample : public QObject {
    Q_OBJECT
private slots:
    void lineLayouts_data();
    void lineLayouts();
    void everySampleLineIsAnAcceptedDecode();
};

void TestSample::lineLayouts_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("snr");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("mode"); // as the decoder marks it on the wire
    QTest::newRow("dated") << "231207_123015    14.074 Rx FT8    -12  0.2 1234 CQ K1ABC FN42"
                           << true << -12 << "CQ K1ABC FN42"
                           << "~";
    QTest::newRow("dated FT4") << "231207_123015    14.080 Rx FT4    -12  0.2 1234 CQ K1ABC FN42"
                               << true << -12 << "CQ K1ABC FN42"
                               << "+";
    QTest::newRow("plain") << "123015 -3  -0.5 1234 ~  K1ABC  W9XYZ R-05" << true << -3
                           << "K1ABC W9XYZ R-05"
                           << "~";
    QTest::newRow("transmission") << "231207_123030    14.074 Tx FT8      0  0.0 1500 CQ K1ABC"
                                  << false << 0 << ""
                                  << "";
    QTest::newRow("blank") << "" << false << 0 << ""
                           << "";
    QTest::newRow("bad time") << "256099 -3 0.1 1234 ~ CQ K1ABC FN42" << false << 0 << ""
                              << "";
}

void TestSample::lineLayouts()
{
    QFETCH(QString, line);
    QFETCH(bool, valid);
    QFETCH(int, snr);
    QFETCH(QString, message);
    const auto report = AllTxt::parseLine(line);
    QCOMPARE(report.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(report->snr, snr);
    QCOMPARE(report->message, message);
    QFETCH(QString, mode);
    QCOMPARE(report->mode, mode);
    QCOMPARE(report->timeMs, 45'015'000u);
}

void TestSample::everySampleLineIsAnAcceptedDecode()
{
    QFile file(QStringLiteral(SAMPLE_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    UDPMessageProcessing intake;
    CountingSink sink;
    int lines = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty())
            continue;
        ++lines;
        const auto report = AllTxt::parseLine(line);
        QVERIFY2(report.has_value(), qPrintable(line));
        try {
            if (intake.ProcessDatagram(DecodeDatagramWriter::encode(*report))) {
                ++sink.decodes;
                ++sink.callsigns[intake.ProcessDecode().Callsign];
            }
        } catch (const RuntimeError& error) {
            QFAIL(qPrintable(line + QStringLiteral(": ") + QString::fromLatin1(error.what())));
        }
    }
    QVERIFY(lines >= 100);
    QCOMPARE(sink.decodes, lines);
    QVERIFY(sink.callsigns.contains(QStringLiteral("ON4XYZ/P")));
    // The DXpedition is one station, whether its call came whole or hashed.
    QCOMPARE(sink.callsigns.value(QStringLiteral("KH1/KH7Z")), 5);
    // Free text names no station: 34 stations and the empty callsign.
    QCOMPARE(sink.callsigns.size(), 34 + 1);
    QVERIFY(sink.callsigns.contains(QString()));
}

QTEST_APPLESS_MAIN(TestSample)
#include "tst_sample.moc"
