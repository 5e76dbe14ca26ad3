// Text rules of list files checked against hand-worked values: Windows-1252
// bytes both ways, the UTF-8 reading rule, digit groups and file names.
#include "listfiles/ListFileNames.h"
#include "listfiles/Windows1252.h"

#include <QTest>

#include <limits>

using namespace ListFiles;
using namespace Qt::StringLiterals;

class TestListFileText : public QObject
{
    Q_OBJECT

private slots:
    void decodeListText_data();
    void decodeListText();
    void encodeWindows1252_data();
    void encodeWindows1252();
    void everyByteSurvivesARoundTrip();
    void continuationPath_data();
    void continuationPath();
};

void TestListFileText::decodeListText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("2\r\n3\r\n") << u"2\r\n3\r\n"_s;
    QTest::newRow("1252 no-break space separator") << QByteArray("1\xA0" "229") << u"1\u00A0229"_s;
    QTest::newRow("1252 e acute") << QByteArray("caf\xE9") << u"caf\u00E9"_s;
    QTest::newRow("1252 euro at 0x80") << QByteArray("\x80") << u"\u20AC"_s;
    QTest::newRow("1252 0x8A 0x92 0x9F") << QByteArray("\x8A\x92\x9F") << u"\u0160\u2019\u0178"_s;
    QTest::newRow("1252 undefined 0x81 kept") << QByteArray("\x81") << u"\u0081"_s;
    QTest::newRow("utf8 e acute") << QByteArray("caf\xC3\xA9") << u"caf\u00E9"_s;
    QTest::newRow("utf8 narrow no-break space") << QByteArray("1\xE2\x80\xAF" "229") << u"1\u202F229"_s;
    QTest::newRow("utf8 byte-order mark dropped") << QByteArray("\xEF\xBB\xBF" "2") << u"2"_s;
    QTest::newRow("utf8 cut at the end is 1252") << QByteArray("caf\xC3") << u"caf\u00C3"_s;
    QTest::newRow("overlong utf8 is 1252") << QByteArray("\xC0\xAF") << u"\u00C0\u00AF"_s;
    QTest::newRow("utf8 surrogate is 1252") << QByteArray("\xED\xA0\x80") << u"\u00ED\u00A0\u20AC"_s;
}

void TestListFileText::decodeListText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeListText(bytes), text);
}

void TestListFileText::encodeWindows1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << u"Nombres premiers de cette liste : 12"_s
                           << QByteArray("Nombres premiers de cette liste : 12");
    QTest::newRow("latin-1 range") << u"\u00E9\u00FF\u00A0"_s << QByteArray("\xE9\xFF\xA0");
    QTest::newRow("typographic range") << u"\u20AC\u0153\u2019\u0178"_s << QByteArray("\x80\x9C\x92\x9F");
    QTest::newRow("narrow no-break space") << u"1\u202F229"_s << QByteArray("1\xA0" "229");
    QTest::newRow("thin and ideographic spaces") << u"\u2009\u3000"_s << QByteArray("\xA0\xA0");
    QTest::newRow("no byte for a letter") << u"\u65E5.txt"_s << QByteArray("?.txt");
    QTest::newRow("one mark for a pair") << u"a\U0001F600b"_s << QByteArray("a?b");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
}

void TestListFileText::encodeWindows1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeWindows1252(text), bytes);
}

void TestListFileText::everyByteSurvivesARoundTrip()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QCOMPARE(EncodeWindows1252(DecodeWindows1252(all)), all);
}

void TestListFileText::continuationPath_data()
{
    QTest::addColumn<QString>("firstFile");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("path");
    const QString desk = u"/home/ana/Bureau/"_s;
    QTest::newRow("second") << desk + u"NP_1-2500000_01.txt"_s << 2 << desk + u"NP_1-2500000_02.txt"_s;
    QTest::newRow("first renamed") << desk + u"liste.txt"_s << 3 << desk + u"NP_1-2500000_03.txt"_s;
    QTest::newRow("other extension") << desk + u"liste.dat"_s << 9 << desk + u"NP_1-2500000_09.txt"_s;
    QTest::newRow("tenth") << desk + u"liste"_s << 10 << desk + u"NP_1-2500000_10.txt"_s;
    QTest::newRow("hundredth") << desk + u"liste"_s << 100 << desk + u"NP_1-2500000_100.txt"_s;
    QTest::newRow("root folder") << u"/liste.txt"_s << 2 << u"/NP_1-2500000_02.txt"_s;
    QTest::newRow("relative") << u"liste.txt"_s << 2 << u"NP_1-2500000_02.txt"_s;
    QTest::newRow("folder with a dot") << u"/a.b/liste"_s << 2 << u"/a.b/NP_1-2500000_02.txt"_s;
}

void TestListFileText::continuationPath()
{
    QFETCH(QString, firstFile);
    QFETCH(int, k);
    QFETCH(QString, path);
    QCOMPARE(ContinuationPath(firstFile, u"NP_1-2500000_"_s, k), path);
}

QTEST_GUILESS_MAIN(TestListFileText)
#include "tst_listfiletext.moc"
