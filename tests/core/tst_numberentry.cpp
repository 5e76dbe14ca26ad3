// Number entry and number texts: conversion of field texts, keystroke
// rules, digit groups, file counters, elapsed times and exact rounding.
#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "presentation/Messages.h"
#include "presentation/ElapsedText.h"
#include "core/NumberEntry.h"
#include "presentation/NumberText.h"

#include <QLocale>
#include <QtTest>
#include <cmath>
#include <limits>

class TestNumberEntry : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void parseAccepted_data();
    void parseAccepted();
    void parseRefused_data();
    void parseRefused();
    void conversionErrorNamesTheText();
    void keyFilter_data();
    void keyFilter();
    void rangeSize_data();
    void rangeSize();
    void separatorFollowsLocaleUntilFixed();
    void secondsText_data();
    void secondsText();
    void clockText_data();
    void clockText();
    void roundHalfEven_data();
    void roundHalfEven();
    void integerSquareRoot();
    void roundedRootHundredth_data();
    void roundedRootHundredth();
};

void TestNumberEntry::parseAccepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");
    const qint64 max = std::numeric_limits<qint64>::max();
    const qint64 min = std::numeric_limits<qint64>::min();
    QTest::newRow("zero") << "0" << qint64(0);
    QTest::newRow("typed") << "97" << qint64(97);
    QTest::newRow("leading zeros") << "000123" << qint64(123);
    QTest::newRow("leading spaces") << "   42" << qint64(42);
    QTest::newRow("plus sign") << "+5" << qint64(5);
    QTest::newRow("minus sign") << " -7" << qint64(-7);
    QTest::newRow("17 nines") << "99999999999999999" << qint64(99999999999999999);
    QTest::newRow("int64 max") << "9223372036854775807" << max;
    QTest::newRow("int64 min") << "-9223372036854775808" << min;
    QTest::newRow("dollar hex") << "$FF" << qint64(255);
    QTest::newRow("x hex") << "xff" << qint64(255);
    QTest::newRow("X hex") << "X1a" << qint64(26);
    QTest::newRow("0x hex") << "0x10" << qint64(16);
    QTest::newRow("0X hex") << "0XaBc" << qint64(0xabc);
    QTest::newRow("negative hex") << "-$10" << qint64(-16);
    QTest::newRow("hex max") << "0x7FFFFFFFFFFFFFFF" << max;
    QTest::newRow("hex min") << "-0x8000000000000000" << min;
}

void TestNumberEntry::parseAccepted()
{
    QFETCH(QString, text);
    QFETCH(qint64, value);
    const std::optional<qint64> parsed = ParseInteger(text);
    QVERIFY(parsed.has_value());
    QCOMPARE(*parsed, value);
}

void TestNumberEntry::parseRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("spaces only") << "   ";
    QTest::newRow("letters") << "abc";
    QTest::newRow("trailing letter") << "12a";
    QTest::newRow("inner space") << "1 2";
    QTest::newRow("trailing space") << "12 ";
    QTest::newRow("tab before") << "\t12";
    QTest::newRow("sign only") << "-";
    QTest::newRow("two signs") << "+-1";
    QTest::newRow("max + 1") << "9223372036854775808";
    QTest::newRow("min - 1") << "-9223372036854775809";
    QTest::newRow("twenty digits") << "12345678901234567890";
    QTest::newRow("prefix only 0x") << "0x";
    QTest::newRow("prefix only $") << "$";
    QTest::newRow("hex above max") << "0x8000000000000000";
    QTest::newRow("hex digit in decimal") << "1f";
    QTest::newRow("decimal point") << "1.5";
    QTest::newRow("exponent") << "1e5";
    QTest::newRow("fullwidth digits") << QString::fromUtf8("１２");
    QTest::newRow("thousands separator") << "1 000";
}

void TestNumberEntry::parseRefused()
{
    QFETCH(QString, text);
    QVERIFY(!ParseInteger(text).has_value());
    QVERIFY_THROWS_EXCEPTION(CommandError, ParseNumber(text));
}

void TestNumberEntry::conversionErrorNamesTheText()
{
    for (const QString &text : {QStringLiteral("abc"), QString()}) {
        try {
            ParseNumber(text);
            QFAIL("no error");
        } catch (const CommandError &error) {
            QVERIFY(error.kind() == CommandError::Kind::BadNumber);
            QCOMPARE(ErrorText(error), QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(text));
        }
    }
}

void TestNumberEntry::keyFilter_data()
{
    QTest::addColumn<QChar>("key");
    QTest::addColumn<bool>("selection");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("verdict");
    const auto v = [](KeyVerdict k) { return int(k); };
    QTest::newRow("enter") << KeyEnter << false << 17 << v(KeyVerdict::Start);
    QTest::newRow("digit") << QChar(u'7') << false << 3 << v(KeyVerdict::Accept);
    QTest::newRow("16th digit... 17th") << QChar(u'7') << false << 16 << v(KeyVerdict::Accept);
    QTest::newRow("18th digit") << QChar(u'7') << false << 17 << v(KeyVerdict::DiscardWithLimit);
    QTest::newRow("digit over selection") << QChar(u'7') << true << 17 << v(KeyVerdict::Accept);
    QTest::newRow("backspace in full field") << KeyBackspace << false << 17 << v(KeyVerdict::Accept);
    QTest::newRow("letter") << QChar(u'a') << false << 3 << v(KeyVerdict::Discard);
    QTest::newRow("minus") << QChar(u'-') << false << 0 << v(KeyVerdict::Discard);
    QTest::newRow("letter in full field") << QChar(u'a') << false << 17 << v(KeyVerdict::DiscardWithLimit);
    QTest::newRow("letter over selection") << QChar(u'a') << true << 17 << v(KeyVerdict::Discard);
    QTest::newRow("pasted overlong") << QChar(u'1') << false << 25 << v(KeyVerdict::DiscardWithLimit);
}

void TestNumberEntry::keyFilter()
{
    QFETCH(QChar, key);
    QFETCH(bool, selection);
    QFETCH(int, length);
    QFETCH(int, verdict);
    QCOMPARE(int(FiltrerTouche(key, selection, length)), verdict);
}

void TestNumberEntry::rangeSize_data()
{
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<bool>("atLeastTen");
    const qint64 max = std::numeric_limits<qint64>::max();
    const qint64 min = std::numeric_limits<qint64>::min();
    QTest::newRow("1 to 9") << qint64(1) << qint64(9) << false;
    QTest::newRow("1 to 10") << qint64(1) << qint64(10) << true;
    QTest::newRow("reversed") << qint64(10) << qint64(1) << false;
    QTest::newRow("whole range") << min << max << true;
    QTest::newRow("top nine") << max - 8 << max << false;
    QTest::newRow("top ten") << max - 9 << max << true;
    QTest::newRow("bottom nine") << min << min + 8 << false;
    QTest::newRow("min to max reversed") << max << min << false;
}

void TestNumberEntry::rangeSize()
{
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(bool, atLeastTen);
    QCOMPARE(RangeHoldsAtLeast(first, last, 10), atLeastTen);
}

void TestNumberEntry::separatorFollowsLocaleUntilFixed()
{
    SessionSeparator session;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(GroupedNumber(1234567, session.Current()), QStringLiteral("1.234.567"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(GroupedNumber(1234567, session.Current()), QStringLiteral("1,234,567"));
    session.NumberReported();
    QCOMPARE(GroupedNumber(1234567, session.Current()), QStringLiteral("1 234 567"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(session.Current(), QStringLiteral(" "));
}

void TestNumberEntry::secondsText_data()
{
    QTest::addColumn<uint>("ms");
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("english");
    QTest::newRow("0 ms") << 0u << "Temps : 0 sec." << "Temps : 0 sec.";
    QTest::newRow("15 ms") << 15u << "Temps : 0,015 sec." << "Temps : 0.015 sec.";
    QTest::newRow("150 ms") << 150u << "Temps : 0,15 sec." << "Temps : 0.15 sec.";
    QTest::newRow("1500 ms") << 1500u << "Temps : 1,5 sec." << "Temps : 1.5 sec.";
    QTest::newRow("2000 ms") << 2000u << "Temps : 2 sec." << "Temps : 2 sec.";
    QTest::newRow("123456 ms") << 123456u << "Temps : 123,456 sec." << "Temps : 123.456 sec.";
    QTest::newRow("tick wrap") << 4294967295u << "Temps : 4294967,295 sec." << "Temps : 4294967.295 sec.";
}

void TestNumberEntry::secondsText()
{
    QFETCH(uint, ms);
    QFETCH(QString, french);
    QFETCH(QString, english);
    QCOMPARE(SecondsText(ms, QLocale(QLocale::French, QLocale::France)), french);
    QCOMPARE(SecondsText(ms, QLocale(QLocale::English, QLocale::UnitedStates)), english);
}

void TestNumberEntry::clockText_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("american");
    QTest::newRow("start") << qint64(0) << "Temps : 00:00:00" << "Temps : 12:00:00 AM";
    QTest::newRow("3 min 27") << qint64(207'999) << "Temps : 00:03:27" << "Temps : 12:03:27 AM";
    QTest::newRow("13 hours") << qint64(13 * 3600'000) << "Temps : 13:00:00" << "Temps : 1:00:00 PM";
    QTest::newRow("past a day") << qint64(25 * 3600'000 + 61'000) << "Temps : 25:01:01" << "Temps : 25:01:01";
}

void TestNumberEntry::clockText()
{
    QFETCH(qint64, ms);
    QFETCH(QString, french);
    QFETCH(QString, american);
    QCOMPARE(ClockText(ms, QLocale(QLocale::French, QLocale::France)), french);
    QCOMPARE(ClockText(ms, QLocale(QLocale::English, QLocale::UnitedStates)), american);
}

void TestNumberEntry::roundHalfEven_data()
{
    QTest::addColumn<quint64>("num");
    QTest::addColumn<quint64>("den");
    QTest::addColumn<quint64>("rounded");
    QTest::newRow("2.5") << quint64(5) << quint64(2) << quint64(2);
    QTest::newRow("3.5") << quint64(7) << quint64(2) << quint64(4);
    QTest::newRow("0.5") << quint64(1) << quint64(2) << quint64(0);
    QTest::newRow("1.5") << quint64(150) << quint64(100) << quint64(2);
    QTest::newRow("1.49") << quint64(149) << quint64(100) << quint64(1);
    QTest::newRow("1.51") << quint64(151) << quint64(100) << quint64(2);
    QTest::newRow("exact") << quint64(300) << quint64(100) << quint64(3);
    QTest::newRow("huge") << ~quint64(0) << quint64(2) << (quint64(1) << 63);
}

void TestNumberEntry::roundHalfEven()
{
    QFETCH(quint64, num);
    QFETCH(quint64, den);
    QFETCH(quint64, rounded);
    QCOMPARE(RoundHalfEven(num, den), rounded);
}

void TestNumberEntry::integerSquareRoot()
{
    for (quint64 v = 0; v < 5000; ++v) {
        quint64 r = 0;
        while ((r + 1) * (r + 1) <= v)
            ++r;
        QCOMPARE(ISqrt(v), r);
    }
    // Around the squares where a floating-point root rounds the wrong way.
    for (quint64 k : {quint64(316227766), quint64(3037000499), quint64(4294967295)}) {
        const quint64 square = k * k;
        QCOMPARE(ISqrt(square), k);
        QCOMPARE(ISqrt(square - 1), k - 1);
        if (k < 4294967295u)
            QCOMPARE(ISqrt(square + 2 * k), k);
    }
    QCOMPARE(ISqrt(~quint64(0)), quint64(4294967295));
    QCOMPARE(ISqrt(quint64(1) << 63), quint64(3037000499));
}

void TestNumberEntry::roundedRootHundredth_data()
{
    QTest::addColumn<quint64>("value");
    QTest::addColumn<quint64>("rounded");
    QTest::newRow("root 50, tie to 0") << quint64(2500) << quint64(0);
    QTest::newRow("just above 2500") << quint64(2501) << quint64(1);
    QTest::newRow("just below 2500") << quint64(2499) << quint64(0);
    QTest::newRow("root 150, tie to 2") << quint64(22500) << quint64(2);
    QTest::newRow("root 250, tie to 2") << quint64(62500) << quint64(2);
    QTest::newRow("root 100") << quint64(10000) << quint64(1);
    QTest::newRow("98") << quint64(98) << quint64(0);
}

void TestNumberEntry::roundedRootHundredth()
{
    QFETCH(quint64, value);
    QFETCH(quint64, rounded);
    QCOMPARE(RoundSqrtOverHundred(value), rounded);
    // Away from ties the floating-point value agrees.
    for (quint64 v : {quint64(99999999999999998), quint64(1000000000000), quint64(123456789)})
        QCOMPARE(RoundSqrtOverHundred(v), quint64(std::llround(std::sqrt(double(v)) / 100.0)));
}

QTEST_GUILESS_MAIN(TestNumberEntry)
#include "tst_numberentry.moc"
