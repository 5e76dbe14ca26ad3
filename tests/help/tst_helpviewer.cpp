// Tests of the help window on the committed TVR.chm: topics by context number,
// links, history, contents, index, search, and requests that show nothing.
#include "ui/help/HelpViewer.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString TvrChm = QStringLiteral(TVR_CHM_PATH);

QString pageTitle(THelpViewer *viewer)
{
    return viewer->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"))
        ->document()
        ->metaInformation(QTextDocument::DocumentTitle);
}

QStringList visibleWindows()
{
    QStringList names;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            names.append(widget->objectName() + QLatin1Char(' ') + widget->metaObject()->className());
    }
    return names;
}

} // namespace

class TestHelpViewer : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void contextOpensItsTopic_data();
    void contextOpensItsTopic();
    void displayTopicOpensTheDefaultPage();
    void oneWindowServesEveryRequest();
    void closingTheWindowReleasesIt();
    void refusalsShowNothing_data();
    void refusalsShowNothing();
    void refusalLeavesTheOpenWindowAsItWas();
    void pagesLoadTheirImagesAndStyles();
    void linksAndHistory();
    void missingLinkTargetKeepsThePage();
    void contentsTreeFollowsAndOpensPages();
    void indexFindsKeywordsWithoutAccents();
    void search_data();
    void search();

private:
    THelpViewer *open(quint32 context)
    {
        return THelpViewer::htmlHelp(nullptr, TvrChm, THelpViewer::HH_HELP_CONTEXT, context);
    }
    void click(THelpViewer *viewer, const QString &href)
    {
        emit viewer->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"))->anchorClicked(QUrl(href));
    }
};

void TestHelpViewer::cleanup()
{
    THelpViewer::htmlHelp(nullptr, {}, THelpViewer::HH_CLOSE_ALL);
    QVERIFY(!THelpViewer::instance());
    QCOMPARE(visibleWindows(), QStringList());
}

void TestHelpViewer::contextOpensItsTopic_data()
{
    QTest::addColumn<quint32>("context");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("title");
    QTest::newRow("1000 index") << 1000u << "/index.html" << "Aide de Tavorine";
    QTest::newRow("1030 verification") << 1030u << "/verification.html" << "Vérification de primalité";
    QTest::newRow("1050 search") << 1050u << "/recherche.html" << "Recherche de nombres premiers";
    QTest::newRow("1090 about") << 1090u << "/apropos.html" << "À propos de Tavorine";
    QTest::newRow("1100 stopping a run") << 1100u << "/arreter.html" << "Arrêter un calcul";
    QTest::newRow("1110 opening a list again") << 1110u << "/ouvrir.html" << "Rouvrir une liste enregistrée";
}

void TestHelpViewer::contextOpensItsTopic()
{
    QFETCH(quint32, context);
    QFETCH(QString, topic);
    QFETCH(QString, title);
    THelpViewer *viewer = open(context);
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), title);
    QCOMPARE(viewer->currentTopic(), topic);
    QCOMPARE(pageTitle(viewer), title);
    auto *contents = viewer->findChild<QTreeWidget *>(QStringLiteral("HelpContents"));
    QVERIFY(contents->currentItem());
    QCOMPARE(contents->currentItem()->text(0), title);
}

void TestHelpViewer::displayTopicOpensTheDefaultPage()
{
    THelpViewer *viewer = THelpViewer::htmlHelp(nullptr, TvrChm, THelpViewer::HH_DISPLAY_TOPIC);
    QVERIFY(viewer);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/index.html"));
}

void TestHelpViewer::oneWindowServesEveryRequest()
{
    QWidget owner;
    owner.resize(300, 200);
    owner.show();
    THelpViewer *first = THelpViewer::htmlHelp(&owner, TvrChm, THelpViewer::HH_HELP_CONTEXT, 1000);
    QVERIFY(first);
    QVERIFY(!first->testAttribute(Qt::WA_QuitOnClose));
    first->showMinimized();
    THelpViewer *second = open(1070);
    QCOMPARE(second, first);
    QCOMPARE(THelpViewer::instance(), first);
    QCOMPARE(second->currentTopic(), QStringLiteral("/messages.html"));
    QVERIFY(!second->isMinimized());
    QVERIFY(second->isVisible());
}

void TestHelpViewer::closingTheWindowReleasesIt()
{
    QPointer<THelpViewer> viewer = open(1000);
    QVERIFY(viewer);
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(viewer.isNull());
    QVERIFY(!THelpViewer::instance());
    QVERIFY(open(1000));
}

void TestHelpViewer::refusalsShowNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("context");
    QTest::newRow("missing file") << "/nonexistent/TVR.chm" << 1000;
    QTest::newRow("no file named") << "" << 1000;
    QTest::newRow("a page, not a help file") << QStringLiteral(HELP_SOURCE_DIR "/index.html") << 1000;
    QTest::newRow("garbage after the signature") << "garbage" << 1000;
    QTest::newRow("unknown context") << TvrChm << 4242;
    QTest::newRow("context zero") << TvrChm << 0;
    QTest::newRow("negative context") << TvrChm << -1;
}

// The program does not check what help gives back: a request that cannot be
// served opens no window and no message.
void TestHelpViewer::refusalsShowNothing()
{
    QFETCH(QString, file);
    QFETCH(int, context);
    QTemporaryDir dir;
    if (file == QLatin1String("garbage")) {
        file = dir.filePath(QStringLiteral("TVR.chm"));
        QFile garbage(file);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray("ITSF") + QByteArray(5000, '\xA5'));
    }
    QVERIFY(!ShowHelpContext(file, context, nullptr));
    QVERIFY(!THelpViewer::instance());
    QCOMPARE(visibleWindows(), QStringList());
}

void TestHelpViewer::refusalLeavesTheOpenWindowAsItWas()
{
    QVERIFY(ShowHelpContext(TvrChm, 1030, nullptr));
    THelpViewer *viewer = THelpViewer::instance();
    QVERIFY(viewer);
    QVERIFY(!ShowHelpContext(TvrChm, 4242, nullptr));
    QVERIFY(!ShowHelpContext(QStringLiteral("/nonexistent/TVR.chm"), 1000, nullptr));
    QCOMPARE(THelpViewer::instance(), viewer);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/verification.html"));
    QCOMPARE(visibleWindows(), QStringList{QStringLiteral("HelpViewer THelpViewer")});
}

void TestHelpViewer::pagesLoadTheirImagesAndStyles()
{
    THelpViewer *viewer = open(1000);
    QVERIFY(viewer);
    QTextDocument *document = viewer->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"))->document();
    const QVariant image = document->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/tavorine.png")));
    QImage picture;
    QVERIFY(picture.loadFromData(image.toByteArray()));
    QCOMPARE(picture.size(), QSize(64, 64));

    // tavorine.css colours the headings; the colour can only come from the file.
    bool headingFound = false;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.text() == QStringLiteral("Les trois tâches")) {
            headingFound = true;
            QCOMPARE(block.charFormat().foreground().color(), QColor(0x1f, 0x3f, 0x7f));
        }
    }
    QVERIFY(headingFound);
}

void TestHelpViewer::linksAndHistory()
{
    THelpViewer *viewer = open(1000);
    QVERIFY(viewer);
    auto *back = viewer->findChild<QAction *>(QStringLiteral("HelpBack"));
    auto *forward = viewer->findChild<QAction *>(QStringLiteral("HelpForward"));
    auto *home = viewer->findChild<QAction *>(QStringLiteral("HelpHome"));
    QVERIFY(!back->isEnabled());
    QVERIFY(!forward->isEnabled());

    click(viewer, QStringLiteral("verification.html"));
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/verification.html"));
    click(viewer, QStringLiteral("fenetre.html#arret"));
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/fenetre.html#arret"));
    click(viewer, QStringLiteral("#barre"));
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/fenetre.html#barre"));
    QVERIFY(back->isEnabled());

    back->trigger();
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/fenetre.html#arret"));
    back->trigger();
    back->trigger();
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/index.html"));
    QVERIFY(!back->isEnabled());
    QVERIFY(forward->isEnabled());
    forward->trigger();
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/verification.html"));

    // A new page after going back drops the pages ahead.
    click(viewer, QStringLiteral("saisie.html#coller"));
    QVERIFY(!forward->isEnabled());
    home->trigger();
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/index.html"));
    back->trigger();
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/saisie.html#coller"));
    QCOMPARE(pageTitle(viewer), QStringLiteral("Saisie et limites des nombres"));
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Saisie et limites des nombres"));
}

void TestHelpViewer::missingLinkTargetKeepsThePage()
{
    THelpViewer *viewer = open(1020);
    QVERIFY(viewer);
    click(viewer, QStringLiteral("nowhere.html"));
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/saisie.html"));
    QCOMPARE(pageTitle(viewer), QStringLiteral("Saisie et limites des nombres"));
    QCOMPARE(viewer->errorString(), QStringLiteral("La page « /nowhere.html » est introuvable dans le fichier d'aide."));
    QVERIFY(!viewer->findChild<QAction *>(QStringLiteral("HelpBack"))->isEnabled());
    QVERIFY(!viewer->showTopic(QStringLiteral("/images/absent.png")));
}

void TestHelpViewer::contentsTreeFollowsAndOpensPages()
{
    THelpViewer *viewer = open(1000);
    QVERIFY(viewer);
    auto *contents = viewer->findChild<QTreeWidget *>(QStringLiteral("HelpContents"));
    const auto found = contents->findItems(QStringLiteral("Messages"), Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(found.size(), 1);
    contents->setCurrentItem(found.first());
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/messages.html"));

    // A heading without a page leaves the page in place.
    const auto heading = contents->findItems(QStringLiteral("Les trois tâches"), Qt::MatchExactly);
    QCOMPARE(heading.size(), 1);
    contents->setCurrentItem(heading.first());
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/messages.html"));

    click(viewer, QStringLiteral("recherche.html"));
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("Recherche de nombres premiers"));
    QCOMPARE(contents->currentItem()->parent(), heading.first());
}

void TestHelpViewer::indexFindsKeywordsWithoutAccents()
{
    THelpViewer *viewer = open(1000);
    QVERIFY(viewer);
    auto *filter = viewer->findChild<QLineEdit *>(QStringLiteral("HelpIndexFilter"));
    auto *index = viewer->findChild<QListWidget *>(QStringLiteral("HelpIndex"));
    QVERIFY(index->count() >= 30);
    QTest::keyClicks(filter, QStringLiteral("decomp"));
    QVERIFY(index->currentItem());
    QCOMPARE(index->currentItem()->text(), QStringLiteral("Décomposition en facteurs premiers"));
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/decomposition.html"));

    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("ARRET"));
    QCOMPARE(index->currentItem()->text(), QStringLiteral("Arrêter un calcul"));
    emit index->itemActivated(index->currentItem());
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/arreter.html"));
}

void TestHelpViewer::search_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("message text") << "TVR is already in use" << QStringList{"/apropos.html", "/messages.html"};
    QTest::newRow("without accents") << "hexadecimal" << QStringList{"/saisie.html"};
    QTest::newRow("capitals") << "BUREAU" << QStringList{"/recherche.html"};
    QTest::newRow("accent only in the page") << "verrouille" << QStringList{"/messages.html", "/ouvrir.html"};
    QTest::newRow("every word needed") << "Presse-papiers 17 chiffres" << QStringList{"/messages.html", "/saisie.html"};
    QTest::newRow("unknown word") << "xylophone" << QStringList{};
    QTest::newRow("punctuation only") << " ; , " << QStringList{};
}

void TestHelpViewer::search()
{
    QFETCH(QString, query);
    QFETCH(QStringList, pages);
    THelpViewer *viewer = open(1000);
    QVERIFY(viewer);
    QStringList found;
    for (const ChmTopic &page : viewer->search(query))
        found.append(page.local);
    found.sort();
    QCOMPARE(found, pages);

    // The tab lists the same pages under their titles and opens them.
    viewer->findChild<QLineEdit *>(QStringLiteral("HelpSearchText"))->setText(query);
    QTest::keyClick(viewer->findChild<QLineEdit *>(QStringLiteral("HelpSearchText")), Qt::Key_Return);
    auto *results = viewer->findChild<QListWidget *>(QStringLiteral("HelpSearchResults"));
    QCOMPARE(results->count(), pages.size());
    if (!pages.isEmpty()) {
        emit results->itemActivated(results->item(0));
        QVERIFY(pages.contains(viewer->currentTopic()));
    }
}

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
