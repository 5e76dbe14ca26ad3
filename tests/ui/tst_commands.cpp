// The main window's commands: menus, copy and paste of whole texts, the
// page-switch reset, help requests, quitting and the about box.
#include "Version.h"
#include "HeldRun.h"
#include "MainFormTest.h"
#include "ModalAnswerer.h"

#include "presentation/NumberText.h"
#include "ui/window/AboutBox.h"
#include "ui/window/MainForm.h"
#include "ui/report/ReportView.h"
#include "ui/status/StatusStrip.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menus();
    void popupMenu();
    void copyTakesTheWholeField_data();
    void copyTakesTheWholeField();
    void pasteReplacesTheWholeField_data();
    void pasteReplacesTheWholeField();
    void copyAndPasteTheReport();
    void copyAndPasteElsewhereDoNothing_data();
    void copyAndPasteElsewhereDoNothing();
    void pageSwitchResets();
    void helpCommandAsksForContext1000();
    void f1AsksForContext1000Everywhere_data();
    void f1AsksForContext1000Everywhere();
    void otherHelpRequestsShowNothing();
    void quitClosesTheWindow();
    void quitDuringRunAsksFirst();
    void aboutBoxIsFreshEachTime();

private:
    template <typename T> T *child(const char *name) { return FindChild<T>(form_, name); }
    void press(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        target->setFocus();
        QTest::keyClick(target, key, modifiers);
    }
    QStringList lines() { return child<TReportView>("Editeur")->Lines(); }

    struct HelpRequest {
        QString file;
        unsigned command;
        unsigned context;
        QWidget *owner;
    };
    QList<HelpRequest> help_;
    TMainForm *form_ = nullptr;
};

void TestCommands::init()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    form_ = new TMainForm;
    help_.clear();
    form_->SetHelpOpener([this](const QString &file, unsigned command, unsigned context, QWidget *owner) {
        help_.append({file, command, context, owner});
    });
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
    QGuiApplication::clipboard()->setText(QStringLiteral("clipboard before"));
}

void TestCommands::cleanup()
{
    delete form_;
    form_ = nullptr;
}

void TestCommands::menus()
{
    auto *bar = child<QMenuBar>("MainMenu1");
    QCOMPARE(form_->menuBar(), bar);
    auto *fichier = child<QMenu>("MenuFichier");
    auto *aide = child<QMenu>("MenuAide");
    QCOMPARE(fichier->title(), QStringLiteral("Fichier"));
    QCOMPARE(aide->title(), QStringLiteral("Aide"));
    const auto texts = [](QMenu *menu) {
        QStringList t;
        for (QAction *a : menu->actions())
            t << (a->isSeparator() ? QStringLiteral("-") + a->objectName() : a->objectName() + QLatin1Char('=') + a->text());
        return t;
    };
    QCOMPARE(texts(fichier), QStringList({"MenuOuvrir=Ouvrir un fichier de nombres premiers", "-N1", "MenuQuitter=Quitter"}));
    QCOMPARE(texts(aide), QStringList({"MenuIndexAide=Index de l'aide", "-N2", "MenuAbout=A propos de..."}));
    for (QMenu *menu : {fichier, aide})
        for (QAction *a : menu->actions())
            QVERIFY(a->isSeparator() || (!a->icon().isNull() && a->shortcut().isEmpty()));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Tavorine"));
}

void TestCommands::popupMenu()
{
    auto *popup = child<QMenu>("PopupMenu1");
    QCOMPARE(popup->actions().size(), 2);
    QCOMPARE(popup->actions()[0]->objectName(), QStringLiteral("MenuCopier"));
    QCOMPARE(popup->actions()[0]->text(), QStringLiteral("Copier"));
    QCOMPARE(popup->actions()[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    QCOMPARE(popup->actions()[1]->objectName(), QStringLiteral("MenuColler"));
    QCOMPARE(popup->actions()[1]->text(), QStringLiteral("Coller"));
    QCOMPARE(popup->actions()[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
    for (const char *name : {"Editeur", "EditVerification", "EditRechercheDebut", "EditRechercheFin", "EditDecomposition"})
        QCOMPARE(form_->findChild<QWidget *>(QLatin1String(name))->contextMenuPolicy(), Qt::CustomContextMenu);
}

void TestCommands::copyTakesTheWholeField_data()
{
    AddNumberFieldRows();
}

void TestCommands::copyTakesTheWholeField()
{
    QFETCH(QString, page);
    QFETCH(QString, field);
    child<QTabWidget>("PageControl1")->setCurrentWidget(form_->findChild<QWidget *>(page));
    auto *edit = form_->findChild<QLineEdit *>(field);
    edit->setText(QStringLiteral("123456789"));
    edit->setFocus();
    edit->setSelection(2, 3);
    press(edit, Qt::Key_C);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("123456789"));
    QCOMPARE(edit->text(), QStringLiteral("123456789"));
}

void TestCommands::pasteReplacesTheWholeField_data()
{
    QTest::addColumn<QString>("clip");
    QTest::newRow("letters") << "abc";
    QTest::newRow("25 digits") << "1234567890123456789012345";
    QTest::newRow("negative") << "-9223372036854775808";
    QTest::newRow("empty clipboard") << "";
}

void TestCommands::pasteReplacesTheWholeField()
{
    QFETCH(QString, clip);
    auto *edit = child<QLineEdit>("EditVerification");
    edit->setText(QStringLiteral("97"));
    edit->setFocus();
    edit->setCursorPosition(1);
    if (clip.isEmpty())
        QGuiApplication::clipboard()->clear();
    else
        QGuiApplication::clipboard()->setText(clip);
    press(edit, Qt::Key_V);
    QCOMPARE(edit->text(), clip);
}

void TestCommands::copyAndPasteTheReport()
{
    auto *edit = child<QLineEdit>("EditVerification");
    edit->setText(QStringLiteral("97"));
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY(WaitUntilIdle(form_));
    auto *view = child<TReportView>("Editeur");
    press(view, Qt::Key_C);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\n\n\n97\n\nNombre premier : oui\n\n\n"));

    QGuiApplication::clipboard()->setText(QStringLiteral("première ligne\nseconde ligne"));
    press(view, Qt::Key_V);
    QCOMPARE(view->Lines(), QStringList({"première ligne", "seconde ligne"}));
    QVERIFY(view->isReadOnly());
}

void TestCommands::copyAndPasteElsewhereDoNothing_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("check box") << "CBSepMilliers";
    QTest::newRow("start button") << "ButtonDemarrer";
    QTest::newRow("stop button") << "ButtonStop";
}

void TestCommands::copyAndPasteElsewhereDoNothing()
{
    QFETCH(QString, control);
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabRecherche"));
    auto *target = form_->findChild<QWidget *>(control);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    press(target, Qt::Key_C);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clipboard before"));
    press(target, Qt::Key_V);
    QCOMPARE(child<QLineEdit>("EditRechercheDebut")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>("EditRechercheFin")->text(), QStringLiteral("10000"));
    QVERIFY(lines().join(QString()).isEmpty());
}

void TestCommands::pageSwitchResets()
{
    auto *pages = child<QTabWidget>("PageControl1");
    auto *strip = child<TStatusStrip>("StatusBar1");
    for (const char *next : {"TabRecherche", "TabVerification", "TabDecomposition", "TabVerification"}) {
        pages->setCurrentWidget(child<QWidget>("TabVerification"));
        child<QLineEdit>("EditVerification")->setText(QStringLiteral("97"));
        child<QPushButton>("ButtonDemarrer")->click();
        QVERIFY(WaitUntilIdle(form_));
        QCOMPARE(strip->PanelText(3), QStringLiteral("Terminé..."));
        if (QLatin1String(next) == QLatin1String("TabVerification"))
            pages->setCurrentWidget(child<QWidget>("TabRecherche"));
        pages->setCurrentWidget(form_->findChild<QWidget *>(QLatin1String(next)));
        QVERIFY(lines().join(QString()).isEmpty());
        for (int panel = 1; panel <= 3; ++panel)
            QVERIFY(strip->PanelText(panel).isEmpty());
        QCOMPARE(child<QProgressBar>("ProgressBar1")->value(), 0);
    }
}

void TestCommands::helpCommandAsksForContext1000()
{
    child<QAction>("MenuIndexAide")->trigger();
    QCOMPARE(help_.size(), 1);
    QVERIFY(help_[0].file.endsWith(QStringLiteral("/TVR.chm")));
    QCOMPARE(help_[0].file, QCoreApplication::applicationDirPath() + QStringLiteral("/TVR.chm"));
    QCOMPARE(help_[0].command, 15u);
    QCOMPARE(help_[0].context, 1000u);
    QCOMPARE(help_[0].owner, form_);
}

void TestCommands::f1AsksForContext1000Everywhere_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("number field") << "EditVerification";
    QTest::newRow("report view") << "Editeur";
    QTest::newRow("start button") << "ButtonDemarrer";
}

void TestCommands::f1AsksForContext1000Everywhere()
{
    QFETCH(QString, control);
    auto *target = form_->findChild<QWidget *>(control);
    press(target, Qt::Key_F1, Qt::NoModifier);
    QCOMPARE(help_.size(), 1);
    QCOMPARE(help_[0].command, 15u);
    QCOMPARE(help_[0].context, 1000u);
    QCOMPARE(help_[0].owner, nullptr);
}

void TestCommands::otherHelpRequestsShowNothing()
{
    QVERIFY(form_->HelpChm(2, 1000));
    QVERIFY(form_->HelpChm(0, 0));
    QVERIFY(help_.isEmpty());
    QVERIFY(form_->HelpChm(1, 1234));
    QCOMPARE(help_.size(), 1);
    QCOMPARE(help_[0].context, 1234u);
}

void TestCommands::quitClosesTheWindow()
{
    ModalAnswerer answerer;
    child<QAction>("MenuQuitter")->trigger();
    QVERIFY(!form_->isVisible());
    QVERIFY(answerer.boxes.isEmpty());
}

void TestCommands::quitDuringRunAsksFirst()
{
    ModalAnswerer answerer({QStringLiteral("&Non"), QStringLiteral("&Oui")});
    const HeldRun hold;
    form_->SetEngines(hold.Engines());
    // The largest prime below 2^63, held at its first checkpoint.
    child<QLineEdit>("EditVerification")->setText(QStringLiteral("9223372036854775783"));
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY2(hold.WaitHeld(form_), "the run ended before its first checkpoint");
    child<QAction>("MenuQuitter")->trigger();
    QVERIFY(form_->isVisible());
    QVERIFY(form_->TraitementEnCours());
    child<QAction>("MenuQuitter")->trigger();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(answerer.boxes.size(), 2);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Processus en cours. Arrêter ?"));
    QVERIFY(!form_->isVisible());
    QVERIFY(!form_->TraitementEnCours());
}

void TestCommands::aboutBoxIsFreshEachTime()
{
    QList<QPointer<QDialog>> seen;
    QStringList texts;
    QList<QSize> sizes;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<TAboutBox *>(QApplication::activeModalWidget());
        if (!box || (!seen.isEmpty() && seen.last() == box))
            return;
        seen << box;
        // Only recorded here: a failed check would leave the box open.
        const auto *name = box->findChild<QLabel *>(QStringLiteral("ProductNameLabel"));
        const auto *version = box->findChild<QLabel *>(QStringLiteral("LabelVersionBuild"));
        auto *close = box->findChild<QPushButton *>(QStringLiteral("BitBtn1"));
        texts << box->windowTitle() << (name ? name->text() : QString()) << (version ? version->text() : QString())
              << (close ? close->text() : QString());
        sizes << box->size();
        if (close)
            close->click();
        else
            box->reject();
    });
    closer.start(10);
    child<QAction>("MenuAbout")->trigger();
    child<QAction>("MenuAbout")->trigger();
    QCOMPARE(seen.size(), 2);
    QVERIFY(seen[0].isNull() && seen[1].isNull()); // destroyed once closed
    const QStringList once = {"A propos de...", "Tavorine", "Version " TAVORINE_VERSION_TEXT, " &Fermer"};
    QCOMPARE(texts, once + once);
    QCOMPARE(sizes, QList<QSize>({QSize(330, 154), QSize(330, 154)}));
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
