// Tests of the CHM reader against the committed TVR.chm and its sources in help/,
// and of its parsers on hand-made context tables and sitemaps (damaged files are
// in tst_chmdamaged.cpp).
#include "ChmTestData.h"

using namespace ChmTestData;


class TestChmFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void committedFileMatchesSources_data();
    void committedFileMatchesSources();
    void contextsLeadToTheirPages_data();
    void contextsLeadToTheirPages();
    void unknownContextsHaveNoTopic();
    void systemData();
    void contentsAndIndexLeadToPages();
    void linksOfEveryPageResolve();

    void normalizePath_data();
    void normalizePath();
    void parseContextTable_data();
    void parseContextTable();
    void parseSiteMap_data();
    void parseSiteMap();
    void decodeHtml_data();
    void decodeHtml();

private:
    ChmFile chm_;
    Project project_;
};

void TestChmFile::initTestCase()
{
    QVERIFY2(chm_.open(QStringLiteral(TVR_CHM_PATH)), qPrintable(chm_.errorString()));
    project_ = readProject();
    QVERIFY(project_.files.size() >= 10);
    QVERIFY(!project_.contexts.isEmpty());
}

void TestChmFile::committedFileMatchesSources_data()
{
    QTest::addColumn<QString>("name");
    const QStringList names = project_.files + QStringList{"TVR.hhc", "TVR.hhk"};
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
}

// A page edited without recompiling would ship the old text.
void TestChmFile::committedFileMatchesSources()
{
    QFETCH(QString, name);
    const QByteArray source = fileBytes(QStringLiteral(HELP_SOURCE_DIR "/") + name);
    QVERIFY2(!source.isEmpty(), "source file missing from help/");
    QVERIFY2(chm_.read(name) == source,
             "help/TVR.chm is older than its sources: build the tvr_chm target and commit help/TVR.chm");
}

void TestChmFile::contextsLeadToTheirPages_data()
{
    QTest::addColumn<quint32>("context");
    QTest::addColumn<QString>("page");
    // The one number the program itself asks for, written out by hand.
    QTest::newRow("1000 index of the help") << 1000u << "/index.html";
    for (auto it = project_.contexts.cbegin(); it != project_.contexts.cend(); ++it)
        QTest::newRow(qPrintable(QStringLiteral("%1 from TVR.hhp").arg(it.key()))) << it.key() << it.value();
}

void TestChmFile::contextsLeadToTheirPages()
{
    QFETCH(quint32, context);
    QFETCH(QString, page);
    QCOMPARE(chm_.topicForContext(context), page);
    QVERIFY(!chm_.read(page).isEmpty());
}

void TestChmFile::unknownContextsHaveNoTopic()
{
    for (quint32 context : {0u, 1u, 999u, 1001u, 1009u, 0xFFFFFFFFu})
        QVERIFY2(chm_.topicForContext(context).isEmpty(), qPrintable(QString::number(context)));
    QCOMPARE(chm_.contextTable().size(), project_.contexts.size());
}

void TestChmFile::systemData()
{
    QCOMPARE(chm_.title(), QStringLiteral("Aide de Tavorine"));
    QCOMPARE(chm_.defaultTopic(), QStringLiteral("/index.html"));
    QCOMPARE(chm_.fileName(), QStringLiteral(TVR_CHM_PATH));
    QStringList pages = chm_.pages();
    QStringList expected;
    for (const QString &file : std::as_const(project_.files)) {
        if (file.endsWith(QLatin1String(".html")))
            expected.append(QLatin1Char('/') + file);
    }
    pages.sort();
    expected.sort();
    QCOMPARE(pages, expected);
}

void TestChmFile::contentsAndIndexLeadToPages()
{
    const TopicList contents = chm_.contents();
    QVERIFY(contents.size() >= 10);
    QCOMPARE(contents.first(), (ChmTopic{"Aide de Tavorine", "/index.html", 0}));
    QVERIFY(contents.contains(ChmTopic{"La fenêtre principale", "/fenetre.html", 1}));
    QVERIFY(contents.contains(ChmTopic{"Les trois tâches", "", 0}));
    QVERIFY(contents.contains(ChmTopic{"Décomposition d'entiers", "/decomposition.html", 1}));

    const TopicList index = chm_.index();
    QVERIFY(index.size() >= 30);
    QVERIFY(index.contains(ChmTopic{"Arrêter un calcul", "/arreter.html", 0}));
    for (const ChmTopic &topic : contents + index) {
        if (!topic.local.isEmpty())
            QVERIFY2(chm_.contains(topic.local.section('#', 0, 0)), qPrintable(topic.name + " -> " + topic.local));
    }
}

// Every href and src of every page names an object of the file, and every
// #anchor one that its page defines.
void TestChmFile::linksOfEveryPageResolve()
{
    static const QRegularExpression link(QStringLiteral(R"re((?:href|src)="([^"]+)")re"));
    const QStringList pages = chm_.pages();
    for (const QString &page : pages) {
        const QString html = QString::fromUtf8(chm_.read(page));
        auto it = link.globalMatch(html);
        while (it.hasNext()) {
            const QString target = it.next().captured(1);
            if (target.startsWith(QLatin1String("http")) || target.startsWith(QLatin1String("mailto:")))
                continue;
            const QUrl resolved = QUrl(QStringLiteral("chm:") + page).resolved(QUrl(target));
            const QString context = page + " -> " + target;
            QVERIFY2(chm_.contains(resolved.path()), qPrintable(context));
            if (resolved.hasFragment()) {
                const QString anchor = QStringLiteral("name=\"%1\"").arg(resolved.fragment());
                QVERIFY2(QString::fromUtf8(chm_.read(resolved.path())).contains(anchor), qPrintable(context));
            }
        }
    }
}

void TestChmFile::normalizePath_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain name") << "page.html" << "/page.html";
    QTest::newRow("already rooted") << "/page.html" << "/page.html";
    QTest::newRow("dot slash") << "./images/a.png" << "/images/a.png";
    QTest::newRow("backslashes") << "aide\\page.htm" << "/aide/page.htm";
    QTest::newRow("fragment kept") << "recherche.html#arret" << "/recherche.html#arret";
    QTest::newRow("spaces around") << "  index.html " << "/index.html";
    QTest::newRow("mk storage url") << "mk:@MSITStore:C:\\Prog\\TVR.chm::/saisie.html" << "/saisie.html";
    QTest::newRow("ms-its url") << "ms-its:TVR.chm::/fichiers.html#ouvrir" << "/fichiers.html#ouvrir";
}

void TestChmFile::normalizePath()
{
    QFETCH(QString, target);
    QFETCH(QString, path);
    QCOMPARE(ChmFile::normalizePath(target), path);
}

void TestChmFile::parseContextTable_data()
{
    QTest::addColumn<QByteArray>("ivb");
    QTest::addColumn<QByteArray>("strings");
    QTest::addColumn<ContextTable>("expected");
    const QByteArray strings("\0a.html\0dir/b.htm\0c.html", 25);
    QTest::newRow("two pairs") << ivb({{1000, 1}, {1010, 8}}) << strings
                               << ContextTable{{1000, "a.html"}, {1010, "dir/b.htm"}};
    QTest::newRow("name without final nul") << ivb({{7, 18}}) << strings << ContextTable{{7, "c.html"}};
    QTest::newRow("offset past the strings") << ivb({{1, 1}, {2, 400}}) << strings << ContextTable{{1, "a.html"}};
    QTest::newRow("offset of an empty name") << ivb({{1, 0}}) << strings << ContextTable{};
    QTest::newRow("count longer than the data") << ivb({{1, 1}}, 800) << strings << ContextTable{{1, "a.html"}};
    QTest::newRow("count cuts the second pair") << ivb({{1, 1}, {2, 8}}, 12) << strings << ContextTable{{1, "a.html"}};
    QTest::newRow("half a pair at the end") << ivb({{1, 1}}) + QByteArray("\x05\0", 2) << strings
                                            << ContextTable{{1, "a.html"}};
    QTest::newRow("same number twice, first wins") << ivb({{5, 1}, {5, 8}}) << strings << ContextTable{{5, "a.html"}};
    QTest::newRow("largest number") << ivb({{0xFFFFFFFFu, 1}}) << strings << ContextTable{{0xFFFFFFFFu, "a.html"}};
    QTest::newRow("empty table") << ivb({}) << strings << ContextTable{};
    QTest::newRow("shorter than its count") << QByteArray("\x08\0", 2) << strings << ContextTable{};
    QTest::newRow("no strings") << ivb({{1, 0}}) << QByteArray() << ContextTable{};
    QTest::newRow("windows-1252 name") << ivb({{3, 1}}) << QByteArray("\0r\xe9sum\xe9.htm\0", 13)
                                       << ContextTable{{3, "résumé.htm"}};
}

void TestChmFile::parseContextTable()
{
    QFETCH(QByteArray, ivb);
    QFETCH(QByteArray, strings);
    QFETCH(ContextTable, expected);
    QCOMPARE(ChmFile::parseContextTable(ivb, strings), expected);
}

void TestChmFile::parseSiteMap_data()
{
    QTest::addColumn<QByteArray>("sitemap");
    QTest::addColumn<TopicList>("expected");
    QTest::newRow("nested lists")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"A\">"
                      "<param name=\"Local\" value=\"a.html\"></OBJECT>"
                      "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"B\">"
                      "<param name=\"Local\" value=\"b.html#x\"></OBJECT></UL>"
                      "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"C\"></OBJECT></UL>")
        << TopicList{{"A", "/a.html", 0}, {"B", "/b.html#x", 1}, {"C", "", 0}};
    QTest::newRow("entities decoded")
        << QByteArray("<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"D&#233;but &amp; fin\">"
                      "<param name=\"Local\" value=\"d.html\"></object>"
                      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"&Eacute;t&eacute;\">"
                      "</object></ul>")
        << TopicList{{"Début & fin", "/d.html", 0}, {"Été", "", 0}};
    QTest::newRow("hex and unknown references")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"&#xC9;t&#233;  &nosuch; &#0;\">"
                      "</OBJECT></UL>")
        << TopicList{{"Été &nosuch; \uFFFD", "", 0}};
    QTest::newRow("markup in a value stays text")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"a &lt; <b>b</b> &amp; c\">"
                      "</OBJECT></UL>")
        << TopicList{{"a < <b>b</b> & c", "", 0}};
    QTest::newRow("other quoting and case")
        << QByteArray("<Ul><li><Object TYPE='Text/Sitemap'><PARAM NAME=name VALUE='Quoted x'>"
                      "<param name=LOCAL value=q.htm></Object></uL>")
        << TopicList{{"Quoted x", "/q.htm", 0}};
    QTest::newRow("properties object skipped")
        << QByteArray("<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"no\"></OBJECT>"
                      "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"yes\">"
                      "<param name=\"Local\" value=\"y.html\"></OBJECT></UL>")
        << TopicList{{"yes", "/y.html", 0}};
    QTest::newRow("first name and page of a keyword")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"k\">"
                      "<param name=\"Name\" value=\"second\"><param name=\"Local\" value=\"1.html\">"
                      "<param name=\"Local\" value=\"2.html\"></OBJECT></UL>")
        << TopicList{{"k", "/1.html", 0}};
    QTest::newRow("empty entries skipped")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"></OBJECT></UL>") << TopicList{};
    QTest::newRow("unbalanced lists")
        << QByteArray("</UL></UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"top\"></OBJECT>")
        << TopicList{{"top", "", 0}};
    QTest::newRow("windows-1252 text")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Ann\xe9\x65\"></OBJECT></UL>")
        << TopicList{{"Année", "", 0}};
    QTest::newRow("not a sitemap") << QByteArray("\x00\x01garbage<<>>", 12) << TopicList{};
}

void TestChmFile::parseSiteMap()
{
    QFETCH(QByteArray, sitemap);
    QFETCH(TopicList, expected);
    QCOMPARE(ChmFile::parseSiteMap(sitemap), expected);
}

void TestChmFile::decodeHtml_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("text");
    QTest::newRow("declared windows-1252")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\xe9\x80")
        << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">é€";
    QTest::newRow("declared utf-8") << QByteArray("<meta charset=\"utf-8\">\xc3\xa9") << "<meta charset=\"utf-8\">é";
    QTest::newRow("undeclared valid utf-8") << QByteArray("caf\xc3\xa9") << "café";
    QTest::newRow("undeclared other bytes") << QByteArray("caf\xe9 \x80") << "café €";
    QTest::newRow("unknown charset falls back")
        << QByteArray("<meta charset=nonesuch-42>caf\xc3\xa9") << "<meta charset=nonesuch-42>café";
}

void TestChmFile::decodeHtml()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, text);
    QCOMPARE(ChmFile::decodeHtml(html), text);
}

QTEST_MAIN(TestChmFile)
#include "tst_chmfile.moc"
