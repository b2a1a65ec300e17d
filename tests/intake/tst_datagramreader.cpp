#include "core/RuntimeError.h"
#include "intake/DatagramReader.h"

#include <QTest>

class TestDatagramReader : public QObject {
    Q_OBJECT
private slots:
    void numbers_data();
    void numbers();
    void readPastEndFailsAndKeepsCursor();
    void texts_data();
    void texts();
    void textCutShortMovesFullLengthThenNextReadFails();
    void textLengthBeyondSixteenBitsIsOverflow();
    void cursorCannotPassSixteenBits();
    void cutAtNul_data();
    void cutAtNul();
};

static QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

void TestDatagramReader::numbers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("read");
    QTest::addColumn<double>("expected");
    QTest::newRow("magic unsigned") << hex("ADBCCBDA") << "uint" << 2914831322.0;
    QTest::newRow("magic signed") << hex("ADBCCBDA") << "int" << -1380135974.0;
    QTest::newRow("all ones signed") << hex("FFFFFFFF") << "int" << -1.0;
    QTest::newRow("all ones unsigned") << hex("FFFFFFFF") << "uint" << 4294967295.0;
    QTest::newRow("double one") << hex("3FF0000000000000") << "double" << 1.0;
    QTest::newRow("double minus half") << hex("BFE0000000000000") << "double" << -0.5;
    QTest::newRow("bool two") << hex("02") << "bool" << 1.0;
    QTest::newRow("bool zero") << hex("00") << "bool" << 0.0;
}

void TestDatagramReader::numbers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, read);
    QFETCH(double, expected);
    DatagramReader reader;
    reader.reset(bytes);
    double value = 0;
    if (read == "uint")
        value = reader.ReadUInt32AsDouble();
    else if (read == "int")
        value = reader.ReadInt32();
    else if (read == "double")
        value = reader.ReadDouble();
    else
        value = reader.ReadBool() ? 1 : 0;
    QCOMPARE(value, expected);
    QCOMPARE(reader.cursor(), bytes.size());
}

void TestDatagramReader::readPastEndFailsAndKeepsCursor()
{
    const QByteArray bytes = hex("00000001AABBCC");
    DatagramReader reader;
    reader.reset(bytes);
    QCOMPARE(reader.ReadInt32(), 1);
    QVERIFY_THROWS_EXCEPTION(SubscriptError, reader.ReadInt32());
    QCOMPARE(reader.cursor(), 4);
    QVERIFY_THROWS_EXCEPTION(SubscriptError, reader.ReadUInt32AsDouble());
    QVERIFY_THROWS_EXCEPTION(SubscriptError, reader.ReadDouble());
    QCOMPARE(reader.cursor(), 4);
}

void TestDatagramReader::texts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("cursor");
    QTest::newRow("null text") << hex("FFFFFFFF41") << QString() << 4;
    QTest::newRow("empty text") << hex("0000000041") << QString() << 4;
    QTest::newRow("most negative length") << hex("FFFF800041") << QString() << 4;
    QTest::newRow("nul inside kept")
        << hex("000000054142004344") << QString::fromLatin1("AB\0CD", 5) << 9;
    QTest::newRow("utf-8 bytes stay bytes")
        << hex("00000002C3A9") << QString::fromLatin1("\xC3\xA9") << 6;
}

void TestDatagramReader::texts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(int, cursor);
    DatagramReader reader;
    reader.reset(bytes);
    const QString text = reader.ReadText();
    QCOMPARE(text, expected);
    QCOMPARE(text.size(), expected.size());
    QCOMPARE(reader.cursor(), cursor);
}

void TestDatagramReader::textCutShortMovesFullLengthThenNextReadFails()
{
    const QByteArray bytes = hex("0000000A414243");
    DatagramReader reader;
    reader.reset(bytes);
    QCOMPARE(reader.ReadText(), QString("ABC"));
    QCOMPARE(reader.cursor(), 14);
    QVERIFY_THROWS_EXCEPTION(SubscriptError, reader.ReadBool());
}

void TestDatagramReader::textLengthBeyondSixteenBitsIsOverflow()
{
    for (const char* length : {"00008000", "7FFFFFFF", "FFFFFFFE0000"}) {
        const QByteArray bytes = hex(length);
        DatagramReader reader;
        reader.reset(bytes);
        if (QByteArray(length) == "FFFFFFFE0000") {
            // -2 is a length of zero or below: the empty text.
            QCOMPARE(reader.ReadText(), QString());
            continue;
        }
        QVERIFY_THROWS_EXCEPTION(OverflowError, reader.ReadText());
    }
}

void TestDatagramReader::cursorCannotPassSixteenBits()
{
    // A text of 32,760 bytes after 4 length bytes leaves the cursor at 32,764; the next 4-byte
    // read would have to address past 32,767.
    QByteArray bytes = hex("00007FF8");
    bytes.append(32760, 'x');
    bytes.append(hex("0000000100000002"));
    DatagramReader reader;
    reader.reset(bytes);
    QCOMPARE(reader.ReadText().size(), 32760);
    QCOMPARE(reader.cursor(), 32764);
    QVERIFY_THROWS_EXCEPTION(OverflowError, reader.ReadInt32());
    QCOMPARE(reader.cursor(), 32764);

    QByteArray longText = hex("00007FFF");
    longText.append(10, 'y');
    reader.reset(longText);
    QVERIFY_THROWS_EXCEPTION(OverflowError, reader.ReadText());
}

void TestDatagramReader::cutAtNul_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no nul") << "K1ABC"
                            << "K1ABC";
    QTest::newRow("nul inside") << QString::fromLatin1("AB\0CD", 5) << "AB";
    QTest::newRow("leading nul") << QString::fromLatin1("\0AB", 3) << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestDatagramReader::cutAtNul()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(DatagramReader::CutAtNul(text), expected);
}

QTEST_APPLESS_MAIN(TestDatagramReader)
#include "tst_datagramreader.moc"
