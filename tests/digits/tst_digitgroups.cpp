// Digit groups over the whole 64-bit range and the file counter, the number
// texts the reports and the list files share.
#include "digits/DigitGroups.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class TestDigitGroups : public QObject
{
    Q_OBJECT

private slots:
    void groupDigits_data();
    void groupDigits();
    void formaterChiffre_data();
    void formaterChiffre();
};

void TestDigitGroups::groupDigits_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << u" "_s << u"0"_s;
    QTest::newRow("three digits") << qint64(999) << u" "_s << u"999"_s;
    QTest::newRow("four digits") << qint64(1000) << u" "_s << u"1 000"_s;
    QTest::newRow("count of a list") << qint64(1229) << u" "_s << u"1 229"_s;
    QTest::newRow("six digits") << qint64(999983) << u" "_s << u"999 983"_s;
    QTest::newRow("seven digits") << qint64(1234567) << u" "_s << u"1 234 567"_s;
    QTest::newRow("narrow no-break space") << qint64(1000003) << u"\u202F"_s << u"1\u202F000\u202F003"_s;
    QTest::newRow("negative") << qint64(-1234567) << u" "_s << u"-1 234 567"_s;
    QTest::newRow("negative, dot") << qint64(-1234) << u"."_s << u"-1.234"_s;
    QTest::newRow("negative three digits") << qint64(-999) << u"."_s << u"-999"_s;
    QTest::newRow("no separator") << qint64(78498) << QString() << u"78498"_s;
    QTest::newRow("17 nines") << qint64(99999999999999999) << u" "_s << u"99 999 999 999 999 999"_s;
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << u" "_s << u"9 223 372 036 854 775 807"_s;
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << u" "_s
                                   << u"-9 223 372 036 854 775 808"_s;
}

void TestDigitGroups::groupDigits()
{
    QFETCH(qint64, value);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QCOMPARE(GroupDigits(value, separator), text);
    if (value >= 0)
        QCOMPARE(GroupDigits(quint64(value), separator), text);
}

void TestDigitGroups::formaterChiffre_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << u"00"_s;
    QTest::newRow("1") << 1 << u"01"_s;
    QTest::newRow("9") << 9 << u"09"_s;
    QTest::newRow("10") << 10 << u"10"_s;
    QTest::newRow("100") << 100 << u"100"_s;
    QTest::newRow("123") << 123 << u"123"_s;
}

void TestDigitGroups::formaterChiffre()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(FormaterChiffre(value), text);
}

QTEST_GUILESS_MAIN(TestDigitGroups)
#include "tst_digitgroups.moc"
