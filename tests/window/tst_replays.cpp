#include "AllTxt.h"
#include "FormHarness.h"
#include "tallies/CallsignTally.h"
#include "tallies/CellTable.h"
#include "tallies/DecodeLog.h"
#include "tallies/TrackedHistory.h"

#include <QFile>
#include <QTest>
#include <QUdpSocket>

namespace {

QList<DecodeReport> sample()
{
    QList<DecodeReport> reports;
    QFile file(QStringLiteral(SAMPLE_FILE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("no sample");
    while (!file.atEnd()) {
        if (const auto report = AllTxt::parseLine(QString::fromUtf8(file.readLine()).trimmed()))
            reports << *report;
    }
    return reports;
}

// Everything the window shows of the decodes: log and history rows, captions, both charts.
QStringList shown(const FormHarness& h)
{
    const Form1Controls c = h.controls();
    QStringList lines{c.Label3->text(),
                      QString::number(h.steps().tally().uniqueCount()) + " unique"};
    const auto rows = [&lines](const FlexGrid& grid) {
        for (int row = 0; row < grid.rows(); ++row) {
            QStringList cells;
            for (int col = 0; col < grid.cols(); ++col)
                cells << grid.textMatrix(row, col);
            if (!cells.join(QString()).isEmpty())
                lines << QString::number(row) + ": " + cells.join('|');
        }
    };
    rows(*c.MSFlexGrid1);
    rows(*c.MSFlexGrid2);
    for (int bucket = 1; bucket <= CallsignTally::BucketCount; ++bucket)
        lines << "DT " + QString::number(c.MSChart1->value(bucket, 1));
    for (int series = 1; series <= TrackedHistory::SeriesCount; ++series) {
        for (int point = 1; point <= TrackedHistory::ChartPoints; ++point) {
            if (c.MSChart2->hasValue(point, series))
                lines << QStringLiteral("dB %1.%2 %3")
                             .arg(series)
                             .arg(point)
                             .arg(c.MSChart2->value(point, series));
        }
    }
    return lines;
}

// Sends the reports to the window through its socket, as the decoder does, new or replayed.
void send(FormHarness& h, const QList<DecodeReport>& reports, bool isNew)
{
    QUdpSocket decoder;
    for (DecodeReport report : reports) {
        report.isNew = isNew;
        decoder.writeDatagram(DecodeDatagramWriter::encode(report), QHostAddress::LocalHost,
                              static_cast<quint16>(h.port));
    }
    // A decode of its own after them: once it shows, every one before it was handled.
    DecodeReport last;
    last.message = QStringLiteral("CQ Z%1END").arg(h.steps().log().logRowCounter());
    last.timeMs = 86'000'000;
    decoder.writeDatagram(DecodeDatagramWriter::encode(last), QHostAddress::LocalHost,
                          static_cast<quint16>(h.port));
    const DecodeLog& log = h.steps().log();
    QTRY_VERIFY(log.logRowCounter() > 1 &&
                log.page().text(log.newestRow(), DecodeLog::Message) == last.message);
}

} // namespace

// The decoder replays its band activity when a program on its stream asks: the window shows
// what a run without the replays shows.
class TestReplays : public QObject {
    Q_OBJECT
private slots:
    void replaysChangeNothingButWhatTheyFillIn();
};

void TestReplays::replaysChangeNothingButWhatTheyFillIn()
{
    const QList<DecodeReport> reports = sample();
    const QList<DecodeReport> heard = reports.mid(0, 40);
    const QList<DecodeReport> missed = reports.mid(40, 30);
    const QList<DecodeReport> later = reports.mid(70);

    FormHarness once;
    once.controls().Text1->setText(QStringLiteral("K1ABC"));
    send(once, heard, true);
    send(once, missed, true);
    send(once, later, true);
    send(once, {}, true); // the other run's last replay, which adds nothing

    FormHarness replayed;
    replayed.controls().Text1->setText(QStringLiteral("K1ABC"));
    send(replayed, heard, true);
    // Started late: the first replay fills in what was missed, and the next one adds nothing.
    send(replayed, heard + missed, false);
    send(replayed, later, true);
    send(replayed, heard + missed + later, false);

    QCOMPARE(shown(replayed), shown(once));
    QVERIFY(once.steps().history().trackedRowCounter() >= 4);
}

QTEST_MAIN(TestReplays)
#include "tst_replays.moc"
