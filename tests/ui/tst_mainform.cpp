// The main window driven as a user would: typing into the number fields,
// Enter, the digit limit, starting, stopping, closing, and the status strip.
#include "MainFormTest.h"
#include "FileDialogAnswerer.h"
#include "HeldRun.h"
#include "ModalAnswerer.h"

#include "presentation/NumberText.h"
#include "ui/window/MainForm.h"
#include "ui/report/ReportView.h"
#include "ui/status/StatusStrip.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

namespace {

const QString kEnCours = QStringLiteral("Traitement en cours, patientez...");
// A prime whose verification lasts long enough to be interrupted (a few
// tenths of a second with SIMD trial division): the largest below 2^63.
const QString kLongPrime = QStringLiteral("9223372036854775783");

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void namedControls();
    void enterStartsInEveryField_data();
    void enterStartsInEveryField();
    void reportLinesAndFormats();
    void statusAfterRun();
    void conversionErrorLeavesWindowIdle_data();
    void conversionErrorLeavesWindowIdle();
    void negativeNumberError();
    void searchRangeTooSmall_data();
    void searchRangeTooSmall();
    void stopAnsweredNonThenOui();
    void closeDuringRun();
    void stopWhenIdleAsksNothing();
    void pageSwitchDuringRunKeepsRunning();
    void progressClamps_data();
    void progressClamps();
    void setProgressBarIgnoresNonPositiveMaximum();
    void statusStripGeometry();
    void oneComputationPerStart_data();
    void oneComputationPerStart();

private:
    template <typename T> T *child(const char *name) { return FindChild<T>(form_, name); }
    TStatusStrip *strip() { return child<TStatusStrip>("StatusBar1"); }
    QString panel(int i) { return strip()->PanelText(i); }
    QStringList lines() { return child<TReportView>("Editeur")->Lines(); }
    void startWithEnter(QLineEdit *field);
    void verify(const QString &text);
    // Starts a verification held at its first checkpoint.
    void startHeld(const HeldRun &hold, const QString &text);

    TMainForm *form_ = nullptr;
};

void TestMainForm::init()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    form_ = new TMainForm;
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void TestMainForm::cleanup()
{
    delete form_;
    form_ = nullptr;
}

void TestMainForm::startWithEnter(QLineEdit *field)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(WaitUntilIdle(form_));
}

void TestMainForm::startHeld(const HeldRun &hold, const QString &text)
{
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabVerification"));
    child<QLineEdit>("EditVerification")->setText(text);
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY2(hold.WaitHeld(form_), "the run ended before its first checkpoint");
    // The checkpoint shows before the engine waits.
    QTRY_VERIFY(panel(1).startsWith(QStringLiteral("Temps : ")));
}

void TestMainForm::verify(const QString &text)
{
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabVerification"));
    child<QLineEdit>("EditVerification")->setText(text);
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY(WaitUntilIdle(form_));
}

void TestMainForm::namedControls()
{
    for (const char *name : {"EditVerification", "EditRechercheDebut", "EditRechercheFin", "EditDecomposition"})
        QVERIFY(form_->findChild<QLineEdit *>(QLatin1String(name)));
    for (const char *name : {"TabVerification", "TabRecherche", "TabDecomposition"})
        QVERIFY(form_->findChild<QWidget *>(QLatin1String(name)));
    QVERIFY(form_->findChild<QPushButton *>(QStringLiteral("ButtonDemarrer")));
    QVERIFY(form_->findChild<QPushButton *>(QStringLiteral("ButtonStop")));
    QVERIFY(form_->findChild<QTabWidget *>(QStringLiteral("PageControl1")));
    QVERIFY(form_->findChild<QCheckBox *>(QStringLiteral("CBSepMilliers"))->isChecked());
    QCOMPARE(child<QProgressBar>("ProgressBar1")->parentWidget(), strip());
    QCOMPARE(child<QPushButton>("ButtonDemarrer")->text(), QStringLiteral("Démarrer"));
    QCOMPARE(child<QLineEdit>("EditRechercheFin")->text(), QStringLiteral("10000"));
    QCOMPARE(child<QTabWidget>("PageControl1")->currentWidget(), child<QWidget>("TabVerification"));
}

void TestMainForm::enterStartsInEveryField_data()
{
    AddNumberFieldRows();
}

void TestMainForm::enterStartsInEveryField()
{
    QFETCH(QString, page);
    QFETCH(QString, field);
    child<QTabWidget>("PageControl1")->setCurrentWidget(form_->findChild<QWidget *>(page));
    // A range of nine numbers refuses with a box, which shows that Enter
    // reached the start on the search page too.
    child<QLineEdit>("EditRechercheDebut")->setText(QStringLiteral("1"));
    child<QLineEdit>("EditRechercheFin")->setText(QStringLiteral("9"));
    child<QLineEdit>("EditVerification")->setText(QStringLiteral("97"));
    child<QLineEdit>("EditDecomposition")->setText(QStringLiteral("abc"));
    ModalAnswerer answerer;
    startWithEnter(form_->findChild<QLineEdit *>(field));
    if (page == QLatin1String("TabVerification")) {
        QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
        QVERIFY(answerer.boxes.isEmpty());
    } else {
        QCOMPARE(answerer.boxes.size(), 1);
    }
    QVERIFY(!form_->TraitementEnCours());
}

void TestMainForm::reportLinesAndFormats()
{
    verify(QStringLiteral("99999999999999999"));
    auto *view = child<TReportView>("Editeur");
    QCOMPARE(view->Lines(), QStringList({"", "", "", "99 999 999 999 999 999", "", "Nombre premier : non", "", "", ""}));
    QTextBlock block = view->document()->begin();
    for (int i = 0; block.isValid(); ++i, block = block.next()) {
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        const QTextCharFormat format = block.charFormat();
        if (!block.text().isEmpty())
            QCOMPARE(block.begin().fragment().charFormat().fontWeight() == QFont::Bold, i == 3);
        QCOMPARE(format.fontItalic(), i == 7);
    }
    QVERIFY(view->isReadOnly());

    verify(QStringLiteral("1"));
    QCOMPARE(view->Lines().size(), 9);
    QVERIFY(view->Lines()[7].startsWith(QStringLiteral("La définition")));
}

void TestMainForm::statusAfterRun()
{
    verify(QStringLiteral("97"));
    QVERIFY(panel(1).startsWith(QStringLiteral("Temps : ")));
    QVERIFY(panel(1).endsWith(QStringLiteral(" sec.")));
    QCOMPARE(panel(2), QStringLiteral("100 %"));
    QCOMPARE(panel(3), QStringLiteral("Terminé..."));
    QCOMPARE(child<QProgressBar>("ProgressBar1")->value(), 100);
    QVERIFY(panel(0).isEmpty());
}

void TestMainForm::conversionErrorLeavesWindowIdle_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("letters") << "abc";
    QTest::newRow("empty") << "";
    QTest::newRow("too large") << "9223372036854775808";
}

void TestMainForm::conversionErrorLeavesWindowIdle()
{
    QFETCH(QString, text);
    ModalAnswerer answerer;
    verify(text);
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].caption, QStringLiteral("Tavorin"));
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("'%1' n'est pas une valeur entière correcte.").arg(text));
    QCOMPARE(answerer.boxes[0].buttons, QStringList{QStringLiteral("OK")});
    QVERIFY(!form_->TraitementEnCours());
    QVERIFY(lines().join(QString()).isEmpty());
    verify(QStringLiteral("97"));
    QCOMPARE(panel(3), QStringLiteral("Terminé..."));
}

void TestMainForm::negativeNumberError()
{
    ModalAnswerer answerer;
    verify(QStringLiteral("-5"));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].caption, QStringLiteral("Tavorin"));
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Opération en virgule flottante incorrecte."));
    QCOMPARE(panel(3), kEnCours);
    QVERIFY(!form_->TraitementEnCours());

    verify(QStringLiteral("-1"));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(panel(3), QStringLiteral("Terminé..."));
    QVERIFY(lines().join(QString()).isEmpty());
}

void TestMainForm::searchRangeTooSmall_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("nine numbers") << "1" << "9";
    QTest::newRow("reversed") << "100" << "1";
    QTest::newRow("top of the range") << "9223372036854775800" << "9223372036854775807";
    QTest::newRow("bottom of the range") << "-9223372036854775808" << "-9223372036854775800";
}

void TestMainForm::searchRangeTooSmall()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabRecherche"));
    child<QLineEdit>("EditRechercheDebut")->setText(first);
    child<QLineEdit>("EditRechercheFin")->setText(last);
    ModalAnswerer answerer;
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].caption, QStringLiteral("Information"));
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Demandez au minimum 10 nombres premiers."));
    QVERIFY(!form_->TraitementEnCours());
}

void TestMainForm::stopAnsweredNonThenOui()
{
    auto *stop = child<QPushButton>("ButtonStop");
    ModalAnswerer answerer({QStringLiteral("&Non"), QStringLiteral("&Oui")});
    const HeldRun hold;
    form_->SetEngines(hold.Engines());
    startHeld(hold, kLongPrime);
    // Asked once and refused: the run goes on; asked again and confirmed.
    stop->click();
    QCOMPARE(answerer.boxes.size(), 1);
    QVERIFY(form_->TraitementEnCours());
    stop->click();
    hold.Release();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(answerer.boxes.size(), 2);
    QCOMPARE(answerer.boxes[0].caption, QStringLiteral("Avertissement"));
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Warning);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Processus en cours. Arrêter ?"));
    QCOMPARE(answerer.boxes[0].buttons, QStringList({"&Oui", "&Non"}));
    QCOMPARE(answerer.boxes[0].defaultButton, QStringLiteral("&Oui"));
    QCOMPARE(answerer.boxes[0].escapeButton, QStringLiteral("&Non"));
    // Stopped: nothing written, the state panel and the bar reset, the time
    // and percentage of the last checkpoint kept.
    QVERIFY(lines().join(QString()).isEmpty());
    QVERIFY(panel(3).isEmpty());
    QCOMPARE(child<QProgressBar>("ProgressBar1")->value(), 0);
    QVERIFY(panel(1).startsWith(QStringLiteral("Temps : ")));
    QVERIFY(panel(2).endsWith(QStringLiteral(" %")));
    QVERIFY(!form_->TraitementEnCours());

    verify(QStringLiteral("97"));
    QCOMPARE(panel(3), QStringLiteral("Terminé..."));
}

void TestMainForm::closeDuringRun()
{
    ModalAnswerer answerer({QStringLiteral("&Non"), QStringLiteral("&Oui")});
    const HeldRun hold;
    form_->SetEngines(hold.Engines());
    startHeld(hold, kLongPrime);
    QVERIFY(!form_->close());
    const bool visibleAfterNon = form_->isVisible();
    // Confirmed, the close waits for the run, which stops at its checkpoint.
    QVERIFY(form_->close());
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(answerer.boxes.size(), 2);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Processus en cours. Arrêter ?"));
    QVERIFY(visibleAfterNon);
    QVERIFY(!form_->isVisible());
    QVERIFY(lines().join(QString()).isEmpty());
    QVERIFY(!form_->TraitementEnCours());
}

void TestMainForm::stopWhenIdleAsksNothing()
{
    ModalAnswerer answerer;
    child<QPushButton>("ButtonStop")->click();
    QVERIFY(form_->close());
    QVERIFY(answerer.boxes.isEmpty());
}

void TestMainForm::pageSwitchDuringRunKeepsRunning()
{
    auto *pages = child<QTabWidget>("PageControl1");
    const HeldRun hold;
    form_->SetEngines(hold.Engines());
    startHeld(hold, kLongPrime);
    pages->setCurrentWidget(child<QWidget>("TabRecherche"));
    hold.Release();
    QVERIFY(WaitUntilIdle(form_));
    // The run went on and wrote its report into the emptied view.
    QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
    QCOMPARE(panel(3), QStringLiteral("Terminé..."));
    pages->setCurrentWidget(child<QWidget>("TabDecomposition"));
    QVERIFY(lines().join(QString()).isEmpty());
    QVERIFY(panel(1).isEmpty() && panel(2).isEmpty() && panel(3).isEmpty());
    QCOMPARE(child<QProgressBar>("ProgressBar1")->value(), 0);
}

void TestMainForm::progressClamps_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<int>("kept");
    QTest::newRow("inside") << qint64(37) << 37;
    QTest::newRow("above") << qint64(150) << 100;
    QTest::newRow("below") << qint64(-3) << 0;
    QTest::newRow("huge") << (qint64(1) << 40) << 100;
}

void TestMainForm::progressClamps()
{
    QFETCH(qint64, position);
    QFETCH(int, kept);
    form_->UpdateProgressBar(position);
    QCOMPARE(child<QProgressBar>("ProgressBar1")->value(), kept);
}

void TestMainForm::setProgressBarIgnoresNonPositiveMaximum()
{
    auto *bar = child<QProgressBar>("ProgressBar1");
    form_->SetProgressBar(0, 0);
    form_->SetProgressBar(-5, 0);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    form_->SetProgressBar(50, 10);
    QCOMPARE(bar->minimum(), 10);
    QCOMPARE(bar->maximum(), 50);
}

void TestMainForm::statusStripGeometry()
{
    TStatusStrip *bar = strip();
    auto *progress = child<QProgressBar>("ProgressBar1");
    QCOMPARE(bar->height(), 22);
    const int lefts[] = {0, 5, 155, 205, 405};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(bar->PanelRect(i).left(), lefts[i]);
    for (int width : {790, 1000, 600}) {
        form_->resize(width, 500);
        QTRY_COMPARE(bar->width(), form_->width());
        QCOMPARE(progress->geometry().left(), 405);
        QCOMPARE(progress->geometry().right() + 1, bar->width() - 12);
        QCOMPARE(progress->geometry().top(), bar->PanelRect(4).top());
        QCOMPARE(progress->geometry().bottom(), bar->PanelRect(4).bottom());
    }
    form_->resize(300, 400);
    QTRY_VERIFY(bar->width() <= 400);
    QVERIFY(progress->width() >= 0);
}

void TestMainForm::oneComputationPerStart_data()
{
    QTest::addColumn<QString>("runPage");
    QTest::addColumn<QString>("frontPage");
    QTest::addColumn<QString>("ending");
    // A page that follows the running one in the tab order is the one a
    // start looking at the pages again would have run next.
    const QList<std::pair<const char *, const char *>> pages = {{"TabVerification", "TabDecomposition"},
                                                                {"TabRecherche", "TabVerification"},
                                                                {"TabRecherche", "TabDecomposition"}};
    for (const auto &[run, front] : pages)
        for (const char *ending : {"finishes", "stopped", "closed"})
            QTest::addRow("%s, then %s, %s", run, front, ending) << run << front << ending;
}

void TestMainForm::oneComputationPerStart()
{
    QFETCH(QString, runPage);
    QFETCH(QString, frontPage);
    QFETCH(QString, ending);
    auto *pages = child<QTabWidget>("PageControl1");
    pages->setCurrentWidget(form_->findChild<QWidget *>(runPage));
    child<QLineEdit>("EditVerification")->setText(runPage == QLatin1String("TabVerification") ? kLongPrime : "abc");
    child<QLineEdit>("EditDecomposition")->setText(QStringLiteral("abc"));
    child<QLineEdit>("EditRechercheDebut")->setText(QStringLiteral("1"));
    child<QLineEdit>("EditRechercheFin")->setText(QStringLiteral("5000000"));
    QTemporaryDir dir;
    FileDialogAnswerer files({dir.filePath(QStringLiteral("NP_1-5000000_01.txt"))});
    ModalAnswerer answerer({QStringLiteral("&Oui")});

    // Once the run is held under way, the other page comes to the front,
    // then the run is left to finish, stopped or the window closed.
    const HeldRun hold;
    form_->SetEngines(hold.Engines());
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY2(hold.WaitHeld(form_), "the run ended before its checkpoint");
    pages->setCurrentWidget(form_->findChild<QWidget *>(frontPage));
    if (ending == QLatin1String("stopped"))
        child<QPushButton>("ButtonStop")->click();
    else if (ending == QLatin1String("closed"))
        QVERIFY(form_->close());
    hold.Release();
    QVERIFY(WaitUntilIdle(form_));

    QVERIFY(!form_->TraitementEnCours());
    // The page in front has "abc" in its field: had its computation run, it
    // would have ended in an error box.
    for (const ModalAnswerer::Box &box : answerer.boxes)
        QVERIFY2(!box.text.contains(QStringLiteral("abc")), qPrintable(box.text));
    QCOMPARE(form_->isVisible(), ending != QLatin1String("closed"));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
