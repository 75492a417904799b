#include "value_text.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

class TestValueText : public QObject {
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readInteger_data();
    void readInteger();
    void readFlag_data();
    void readFlag();
    void formatThreshold_data();
    void formatThreshold();
    void formatThresholdAgreesWithPrintf();
    void formatInteger_data();
    void formatInteger();
    void checkThresholdText_data();
    void checkThresholdText();
    void ignoresProcessLocale();
};

void TestValueText::readNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("plain") << QByteArray("12.5") << 12.5;
    QTest::newRow("leading blank") << QByteArray(" 12.5") << 12.5;
    QTest::newRow("trailing blank") << QByteArray("12.5 ") << 12.5;
    QTest::newRow("letters") << QByteArray("abc") << 0.0;
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("blanks only") << QByteArray("   ") << 0.0;
    QTest::newRow("number then letters") << QByteArray("12abc") << 12.0;
    QTest::newRow("decimal comma") << QByteArray("12,5") << 12.0;
    QTest::newRow("exponent") << QByteArray("1e2") << 100.0;
    QTest::newRow("capital exponent, sign") << QByteArray("25E-1") << 2.5;
    QTest::newRow("exponent without digits") << QByteArray("1e") << 1.0;
    QTest::newRow("exponent sign without digits") << QByteArray("3e+x") << 3.0;
    QTest::newRow("negative") << QByteArray("-3.7") << -3.7;
    QTest::newRow("plus sign") << QByteArray("+4") << 4.0;
    QTest::newRow("point first") << QByteArray(".5") << 0.5;
    QTest::newRow("point last") << QByteArray("5.") << 5.0;
    QTest::newRow("point alone") << QByteArray(".") << 0.0;
    QTest::newRow("minus alone") << QByteArray("-") << 0.0;
    QTest::newRow("sign twice") << QByteArray("--1") << 0.0;
    QTest::newRow("tab and line break after blank") << QByteArray(" \t\n7") << 7.0;
    QTest::newRow("blank after sign") << QByteArray("- 7") << 0.0;
    QTest::newRow("hexadecimal") << QByteArray("0x1A") << 0.0;
    QTest::newRow("infinity word") << QByteArray("inf") << 0.0;
    QTest::newRow("not-a-number word") << QByteArray("nan") << 0.0;
    QTest::newRow("overflow") << QByteArray("1e400") << inf;
    QTest::newRow("negative overflow") << QByteArray("-1e400") << -inf;
    QTest::newRow("underflow") << QByteArray("1e-400") << 0.0;
    QTest::newRow("many digits") << QByteArray(400, '0') + "12.5" << 12.5;
    QTest::newRow("huge exponent of zero") << QByteArray("0e99999999999999999999") << 0.0;
}

void TestValueText::readNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(ReadNumber(text.toStdString()), expected);
}

void TestValueText::readInteger_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");
    const int most = std::numeric_limits<int>::max();
    const int least = std::numeric_limits<int>::min();
    QTest::newRow("whole") << QByteArray("15") << 15;
    QTest::newRow("fraction dropped") << QByteArray("7.9") << 7;
    QTest::newRow("negative toward zero") << QByteArray("-3.7") << -3;
    QTest::newRow("minus alone") << QByteArray("-") << 0;
    QTest::newRow("empty") << QByteArray("") << 0;
    QTest::newRow("exponent") << QByteArray("1e3") << 1000;
    QTest::newRow("largest") << QByteArray("2147483647") << most;
    QTest::newRow("one past largest") << QByteArray("2147483648") << most;
    QTest::newRow("far too large") << QByteArray("1e20") << most;
    QTest::newRow("smallest") << QByteArray("-2147483648") << least;
    QTest::newRow("far too small") << QByteArray("-1e20") << least;
    QTest::newRow("overflowing number") << QByteArray("1e400") << most;
}

void TestValueText::readInteger()
{
    QFETCH(QByteArray, text);
    QFETCH(int, expected);
    QCOMPARE(ReadInteger(text.toStdString()), expected);
}

void TestValueText::readFlag_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("one") << QByteArray("1") << true;
    QTest::newRow("minus one") << QByteArray("-1") << true;
    QTest::newRow("two") << QByteArray("2") << true;
    QTest::newRow("zero") << QByteArray("0") << false;
    QTest::newRow("half") << QByteArray("0.5") << false;
    QTest::newRow("word") << QByteArray("yes") << false;
    QTest::newRow("empty") << QByteArray("") << false;
}

void TestValueText::readFlag()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, expected);
    QCOMPARE(ReadFlag(text.toStdString()), expected);
}

void TestValueText::formatThreshold_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("hundred") << 100.0 << QByteArray("100.00");
    QTest::newRow("negative half") << -12.5 << QByteArray("-12.50");
    QTest::newRow("rounded up") << 12.3456 << QByteArray("12.35");
    QTest::newRow("zero") << 0.0 << QByteArray("0.00");
    QTest::newRow("tiny negative keeps its sign") << -0.001 << QByteArray("-0.00");
    QTest::newRow("binary value below the half") << 2.675 << QByteArray("2.67");
    QTest::newRow("large") << 250.0 << QByteArray("250.00");
}

void TestValueText::formatThreshold()
{
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(FormatThreshold(value)), expected);
}

// The C library's "%.2f" in the C locale is the reference for every value.
void TestValueText::formatThresholdAgreesWithPrintf()
{
    const double values[] = {0.005, 0.015, 0.125, 1.005, -1.005, 99.995, 1e15 + 0.3, 1e300,
                             -1e-300, 4.35, std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity()};
    for (double value : values) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.2f", value);
        QCOMPARE(FormatThreshold(value), std::string(expected));
    }
}

void TestValueText::formatInteger_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("zero") << 0 << QByteArray("0");
    QTest::newRow("negative") << -127 << QByteArray("-127");
    QTest::newRow("smallest") << std::numeric_limits<int>::min() << QByteArray("-2147483648");
}

void TestValueText::formatInteger()
{
    QFETCH(int, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(FormatInteger(value)), expected);
}

void TestValueText::checkThresholdText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("value");
    QTest::newRow("lowest") << QByteArray("-100") << true << -100.0;
    QTest::newRow("highest") << QByteArray("100") << true << 100.0;
    QTest::newRow("highest with decimals") << QByteArray("100.0") << true << 100.0;
    QTest::newRow("leading blanks") << QByteArray("  12.5") << true << 12.5;
    QTest::newRow("blank then tab") << QByteArray(" \t50") << true << 50.0;
    QTest::newRow("plus sign") << QByteArray("+50") << true << 50.0;
    QTest::newRow("exponent") << QByteArray("1e1") << true << 10.0;
    QTest::newRow("leading zeros") << QByteArray(240, '0') + "1" << true << 1.0;
    QTest::newRow("just above") << QByteArray("100.01") << false << 0.0;
    QTest::newRow("just below") << QByteArray("-100.5") << false << 0.0;
    QTest::newRow("letters") << QByteArray("abc") << false << 0.0;
    QTest::newRow("empty") << QByteArray("") << false << 0.0;
    QTest::newRow("blanks only") << QByteArray("   ") << false << 0.0;
    QTest::newRow("trailing blank") << QByteArray("50 ") << false << 0.0;
    QTest::newRow("percent sign") << QByteArray("50%") << false << 0.0;
    QTest::newRow("exponent without digits") << QByteArray("5e") << false << 0.0;
    QTest::newRow("decimal comma") << QByteArray("12,5") << false << 0.0;
    QTest::newRow("underflow") << QByteArray("1e-400") << false << 0.0;
    QTest::newRow("subnormal") << QByteArray("1e-310") << false << 0.0;
    QTest::newRow("overflow") << QByteArray("1e400") << false << 0.0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << false << 0.0;
    QTest::newRow("line end") << QByteArray("50\r\n") << false << 0.0;
}

void TestValueText::checkThresholdText()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, accepted);
    QFETCH(double, value);
    const std::optional<double> result = CheckThresholdText(text.toStdString());
    QCOMPARE(result.has_value(), accepted);
    if (accepted)
        QCOMPARE(*result, value);
}

void TestValueText::ignoresProcessLocale()
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        QSKIP("the locale de_DE.UTF-8 is not installed (scripts/setup generates it)");
    const QLocale previousDefault;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.2f", 12.35);
    const std::string german = probe;

    const std::string formatted = FormatThreshold(12.3456);
    const double read = ReadNumber("12.35");
    const std::optional<double> checked = CheckThresholdText("12.5");

    QLocale::setDefault(previousDefault);
    std::setlocale(LC_ALL, previous.c_str());
    QCOMPARE(german, std::string("12,35"));  // the locale really uses a decimal comma
    QCOMPARE(formatted, std::string("12.35"));
    QCOMPARE(read, 12.35);
    QVERIFY(checked.has_value());
    QCOMPARE(*checked, 12.5);
}

QTEST_GUILESS_MAIN(TestValueText)
#include "tst_valuetext.moc"
