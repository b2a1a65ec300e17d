#include "FormHarness.h"
#include "Traffic.h"
#include "tallies/CallsignTally.h"
#include "tallies/DecodeLog.h"
#include "widgets/FlexGrid.h"

#include <QRandomGenerator>
#include <QTest>

class TestRobustness : public QObject {
    Q_OBJECT
private slots:
    void mutatedDatagramsNeverDisturbTheNextOne();
    void floodOfOtherTypesChangesNothing();
};

void TestRobustness::mutatedDatagramsNeverDisturbTheNextOne()
{
    FormHarness h;
    QRandomGenerator random(20261207); // fixed seed: the same datagrams every run
    for (int i = 0; i < 20000; ++i) {
        QByteArray datagram = DecodeDatagramWriter::encode(Traffic::report(i, 300));
        switch (random.bounded(4)) {
        case 0: // truncate
            datagram.truncate(static_cast<int>(random.bounded(datagram.size() + 1)));
            break;
        case 1: // flip bytes, the header and length fields included
            for (int flips = random.bounded(1, 6); flips > 0; --flips)
                datagram[random.bounded(datagram.size())] = static_cast<char>(random.bounded(256));
            break;
        case 2: // a hostile length in one of the length fields
        {
            const int at = random.bounded(2) == 0 ? 12 : datagram.size() - 6 - 4 - 13;
            const quint32 lengths[] = {0x7FFFFFFF, 0xFFFFFFFE, 0x8000, 0x7FFF, 0xFFFF};
            const quint32 length = lengths[random.bounded(5)];
            for (int b = 0; b < 4 && at + b < datagram.size(); ++b)
                datagram[at + b] = static_cast<char>(length >> (24 - 8 * b));
            break;
        }
        default: // random garbage that passes the type filter
            datagram = QByteArray(random.bounded(12, 200), '\0');
            for (char& c : datagram)
                c = static_cast<char>(random.bounded(256));
            datagram[11] = 2;
            break;
        }
        h.form->UDPSocket_DataArrival(datagram);
    }
    const qint32 total = h.form->tally().totalRecords();
    const int row =
        h.form->decodeLog().logRowCounter() > 99 ? 0 : h.form->decodeLog().logRowCounter() - 1;
    h.decode("CQ K1GOOD FN42", -4, 0.2, 45'015'000, "Good");
    QCOMPARE(h.form->windowTitle(), QString("Vantorel Listening to Good"));
    QCOMPARE(h.form->tally().totalRecords(), total + 1);
    QCOMPARE(h.form->MSFlexGrid1->textMatrix(row, 4), QString("K1GOOD"));
    QCOMPARE(h.form->MSFlexGrid1->textMatrix(row, 1), QString("12:30:15"));
}

void TestRobustness::floodOfOtherTypesChangesNothing()
{
    FormHarness h;
    for (quint32 type = 0; type < 2000; ++type) {
        if ((type & 0xFF) == 2)
            continue;
        QByteArray datagram = DecodeDatagramWriter::header(type);
        datagram.append(64, '\x11');
        h.form->UDPSocket_DataArrival(datagram);
    }
    QCOMPARE(h.form->windowTitle(), QString("Vantorel"));
    QCOMPARE(h.form->tally().totalRecords(), 0);
    QCOMPARE(h.form->MSFlexGrid1->textMatrix(0, 0), QString());
}

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
