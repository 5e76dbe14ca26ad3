// Tests of the help window on the committed TVR.chm: topics by context number,
// links, history, contents, index, search, and the refusals the user is told of.
#include "ui/HelpViewer.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString TvrChm = QStringLiteral(TVR_CHM_PATH);

QString pageTitle(HelpViewer *viewer)
{
    return viewer->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"))
        ->document()
        ->metaInformation(QTextDocument::DocumentTitle);
}

QMessageBox *errorBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("HelpError") && widget->isVisible())
            return qobject_cast<QMessageBox *>(widget);
    }
    return nullptr;
}

void closeErrorBoxes()
{
    while (QMessageBox *box = errorBox())
        box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
    void refusalsAreToldAndOpenNoWindow_data();
    void refusalsAreToldAndOpenNoWindow();
    void pagesLoadTheirImagesAndStyles();
    void linksAndHistory();
    void missingLinkTargetKeepsThePage();
    void contentsTreeFollowsAndOpensPages();
    void indexFindsKeywordsWithoutAccents();
    void search_data();
    void search();

private:
    HelpViewer *open(quint32 context)
    {
        return HelpViewer::htmlHelp(nullptr, TvrChm, HelpViewer::HH_HELP_CONTEXT, context);
    }
    void click(HelpViewer *viewer, const QString &href)
    {
        emit viewer->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"))->anchorClicked(QUrl(href));
    }
};

void TestHelpViewer::cleanup()
{
    HelpViewer::htmlHelp(nullptr, {}, HelpViewer::HH_CLOSE_ALL);
    closeErrorBoxes();
    QVERIFY(!HelpViewer::instance());
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
}

void TestHelpViewer::contextOpensItsTopic()
{
    QFETCH(quint32, context);
    QFETCH(QString, topic);
    QFETCH(QString, title);
    HelpViewer *viewer = open(context);
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Aide de Tavorine"));
    QCOMPARE(viewer->currentTopic(), topic);
    QCOMPARE(pageTitle(viewer), title);
    auto *contents = viewer->findChild<QTreeWidget *>(QStringLiteral("HelpContents"));
    QVERIFY(contents->currentItem());
    QCOMPARE(contents->currentItem()->text(0), title);
    QVERIFY(!errorBox());
}

void TestHelpViewer::displayTopicOpensTheDefaultPage()
{
    HelpViewer *viewer = HelpViewer::htmlHelp(nullptr, TvrChm, HelpViewer::HH_DISPLAY_TOPIC);
    QVERIFY(viewer);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/index.html"));
}

void TestHelpViewer::oneWindowServesEveryRequest()
{
    QWidget owner;
    owner.resize(300, 200);
    owner.show();
    HelpViewer *first = HelpViewer::htmlHelp(&owner, TvrChm, HelpViewer::HH_HELP_CONTEXT, 1000);
    QVERIFY(first);
    QVERIFY(!first->testAttribute(Qt::WA_QuitOnClose));
    first->showMinimized();
    HelpViewer *second = open(1070);
    QCOMPARE(second, first);
    QCOMPARE(HelpViewer::instance(), first);
    QCOMPARE(second->currentTopic(), QStringLiteral("/messages.html"));
    QVERIFY(!second->isMinimized());
    QVERIFY(second->isVisible());
}

void TestHelpViewer::closingTheWindowReleasesIt()
{
    QPointer<HelpViewer> viewer = open(1000);
    QVERIFY(viewer);
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(viewer.isNull());
    QVERIFY(!HelpViewer::instance());
    QVERIFY(open(1000));
}

void TestHelpViewer::refusalsAreToldAndOpenNoWindow_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<quint32>("context");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "/nonexistent/TVR.chm" << 1000u
                                  << "Le fichier d'aide « /nonexistent/TVR.chm » est introuvable.";
    QTest::newRow("not a help file") << QStringLiteral(HELP_SOURCE_DIR "/index.html") << 1000u
                                     << "« " HELP_SOURCE_DIR "/index.html » n'est pas un fichier d'aide compilé valide.";
    QTest::newRow("unknown context") << TvrChm << 4242u << "La rubrique d'aide n° 4242 n'existe pas dans « TVR.chm ».";
    QTest::newRow("context zero") << TvrChm << 0u << "La rubrique d'aide n° 0 n'existe pas dans « TVR.chm ».";
}

void TestHelpViewer::refusalsAreToldAndOpenNoWindow()
{
    QFETCH(QString, file);
    QFETCH(quint32, context);
    QFETCH(QString, message);
    QVERIFY(!HelpViewer::htmlHelp(nullptr, file, HelpViewer::HH_HELP_CONTEXT, context));
    QVERIFY(!HelpViewer::instance());
    QMessageBox *box = errorBox();
    QVERIFY(box);
    QCOMPARE(box->text(), message);
    QCOMPARE(box->windowTitle(), QStringLiteral("Avertissement"));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    // The caller goes on at once: the box does not hold a modal loop.
    QVERIFY(box->isVisible());
}

void TestHelpViewer::pagesLoadTheirImagesAndStyles()
{
    HelpViewer *viewer = open(1000);
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
    HelpViewer *viewer = open(1000);
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
    QCOMPARE(pageTitle(viewer), QStringLiteral("Saisie des nombres"));
}

void TestHelpViewer::missingLinkTargetKeepsThePage()
{
    HelpViewer *viewer = open(1020);
    QVERIFY(viewer);
    click(viewer, QStringLiteral("nowhere.html"));
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/saisie.html"));
    QCOMPARE(pageTitle(viewer), QStringLiteral("Saisie des nombres"));
    QCOMPARE(viewer->errorString(), QStringLiteral("La page « /nowhere.html » est introuvable dans le fichier d'aide."));
    QVERIFY(!viewer->findChild<QAction *>(QStringLiteral("HelpBack"))->isEnabled());
    QVERIFY(!viewer->showTopic(QStringLiteral("/images/absent.png")));
}

void TestHelpViewer::contentsTreeFollowsAndOpensPages()
{
    HelpViewer *viewer = open(1000);
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
    HelpViewer *viewer = open(1000);
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
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/fenetre.html#arret"));
}

void TestHelpViewer::search_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("message text") << "TVR is already in use" << QStringList{"/apropos.html", "/messages.html"};
    QTest::newRow("without accents") << "hexadecimal" << QStringList{"/saisie.html"};
    QTest::newRow("capitals") << "BUREAU" << QStringList{"/recherche.html"};
    QTest::newRow("accent only in the page") << "verrouille" << QStringList{"/messages.html"};
    QTest::newRow("every word needed") << "Presse-papiers 17 chiffres" << QStringList{"/messages.html", "/saisie.html"};
    QTest::newRow("unknown word") << "xylophone" << QStringList{};
    QTest::newRow("punctuation only") << " ; , " << QStringList{};
}

void TestHelpViewer::search()
{
    QFETCH(QString, query);
    QFETCH(QStringList, pages);
    HelpViewer *viewer = open(1000);
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
