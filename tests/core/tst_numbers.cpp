#include "core/Checked.h"
#include "core/NumberParse.h"
#include "core/NumberText.h"
#include "core/RuntimeError.h"

#include <QLocale>
#include <QTest>

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void checkedArithmeticStopsAtTheLimits();
    void numberTextHasBlankOrSign();
    void leadingNumber_data();
    void leadingNumber();
    void wholeNumber_data();
    void wholeNumber();
    void roundsHalfToEvenIntoSixteenBitsAndPorts();
    void floatTextReadsBack();
    void commaRunHasACommaLocale();
};

void TestNumbers::checkedArithmeticStopsAtTheLimits()
{
    QCOMPARE(Checked::add16(32766, 1), 32767);
    QVERIFY_THROWS_EXCEPTION(OverflowError, Checked::add16(32767, 1));
    QVERIFY_THROWS_EXCEPTION(OverflowError, Checked::add16(-32768, -1));
    QCOMPARE(Checked::add32(2147483646, 1), 2147483647);
    QVERIFY_THROWS_EXCEPTION(OverflowError, Checked::add32(2147483647, 1));
    QVERIFY_THROWS_EXCEPTION(OverflowError, Checked::narrow16(40000));
}

void TestNumbers::numberTextHasBlankOrSign()
{
    QCOMPARE(numberText(7), QString(" 7"));
    QCOMPARE(numberText(0), QString(" 0"));
    QCOMPARE(numberText(-21), QString("-21"));
}

void TestNumbers::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("trailing letters") << "2239abc" << 2239.0;
    QTest::newRow("leading blanks") << "   2240" << 2240.0;
    QTest::newRow("blank inside") << "22 38" << 2238.0;
    QTest::newRow("tab and line feed inside") << "2\t2\n38" << 2238.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("fraction") << "2238.5" << 2238.5;
    QTest::newRow("exponent") << "2.5e3x" << 2500.0;
    QTest::newRow("dangling exponent") << "12e" << 12.0;
    QTest::newRow("negative") << "-5" << -5.0;
    QTest::newRow("hexadecimal") << "&H8BE" << 2238.0;
    QTest::newRow("octal") << "&O4276" << 2238.0;
    QTest::newRow("octal ends at 8") << "&O78" << 7.0;
    QTest::newRow("hexadecimal ends at G") << "&HfG" << 15.0;
    QTest::newRow("octal without digits") << "&O8" << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("beyond a double") << "1e999" << std::numeric_limits<double>::quiet_NaN();
}

void TestNumbers::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(NumberParse::leadingNumber(text), value);
}

void TestNumbers::wholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "5000" << true << 5000.0;
    QTest::newRow("blanks around") << "  5000  " << true << 5000.0;
    QTest::newRow("plus sign") << "+0.3" << true << 0.3;
    QTest::newRow("negative fraction") << "-120.5" << true << -120.5;
    QTest::newRow("exponent") << "1e3" << true << 1000.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("letters after") << "12a" << false << 0.0;
    QTest::newRow("comma") << "1,5" << false << 0.0;
    QTest::newRow("point alone") << "." << false << 0.0;
    QTest::newRow("infinity") << "1e999" << false << 0.0;
}

void TestNumbers::wholeNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = NumberParse::wholeNumber(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestNumbers::roundsHalfToEvenIntoSixteenBitsAndPorts()
{
    QCOMPARE(NumberParse::roundHalfEven(2238.5), 2238.0);
    QCOMPARE(NumberParse::roundHalfEven(2239.5), 2240.0);
    QCOMPARE(NumberParse::roundHalfEven(-0.5), 0.0);
    QCOMPARE(NumberParse::roundHalfEven(32767.4), 32767.0);

    QCOMPARE(NumberParse::toPort(23039.5).value(), 23040);
    QCOMPARE(NumberParse::toPort(40000).value(), 40000);
    QCOMPARE(NumberParse::toPort(65535.4).value(), 65535);
    QCOMPARE(NumberParse::toPort(0.6).value(), 1);
    for (const double refused : {0.5, 0.0, -1.0, 65535.5, 1e30})
        QVERIFY(!NumberParse::toPort(refused));
    QVERIFY(!NumberParse::toPort(std::numeric_limits<double>::quiet_NaN()));
}

void TestNumbers::floatTextReadsBack()
{
    for (const float value : {0.0f, 1440.0f, -120.0f, 123.456f}) {
        const QString text = shortestFloatText(value);
        QCOMPARE(static_cast<float>(NumberParse::wholeNumber(text).value()), value);
    }
    QCOMPARE(shortestFloatText(1440.0f), QString("1440"));
    QCOMPARE(shortestFloatText(-120.0f), QString("-120"));
}

// With an application object, as in the program, the user's locale is in force.
void TestNumbers::commaRunHasACommaLocale()
{
    // Guards the comma runs themselves: a locale that did not take would prove nothing.
    if (!qEnvironmentVariableIsSet("VANTOREL_TEST_COMMA_LOCALE"))
        QSKIP("not the comma run");
    QCOMPARE(QLocale::system().decimalPoint(), QString(","));
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
