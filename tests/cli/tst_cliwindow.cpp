// tavorine-cli against the window: the same list files, byte for byte, for
// the same texts typed in the window or passed on the command line.
#include "CliRun.h"
#include "FileDialogAnswerer.h"
#include "MainFormTest.h"
#include "ModalAnswerer.h"

#include "presentation/NumberText.h"
#include "ui/window/MainForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestCliWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sameListFiles_data();
    void sameListFiles();

private:
    template <typename T> T *child(const char *name) { return FindChild<T>(form_, name); }
    TMainForm *form_ = nullptr;
};

void TestCliWindow::init()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    form_ = new TMainForm;
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void TestCliWindow::cleanup()
{
    delete form_;
    form_ = nullptr;
}

void TestCliWindow::sameListFiles_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("separators");
    QTest::newRow("three files, separators") << "1" << "2100000" << true;
    QTest::newRow("hex and signs, plain digits") << " -$10" << "0x1FFFF" << false;
    QTest::newRow("high numbers") << "999999999000000" << "999999999100000" << true;
}

void TestCliWindow::sameListFiles()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(bool, separators);
    QTemporaryDir windowDir;
    QTemporaryDir cliDir;
    const QString name = "NP_" + first + "-" + last + "_01.txt";

    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabRecherche"));
    child<QCheckBox>("CBSepMilliers")->setChecked(separators);
    child<QLineEdit>("EditRechercheDebut")->setText(first);
    child<QLineEdit>("EditRechercheFin")->setText(last);
    {
        FileDialogAnswerer files({windowDir.filePath(name)});
        ModalAnswerer boxes;
        child<QPushButton>("ButtonDemarrer")->click();
        QVERIFY(WaitUntilIdle(form_));
        QCOMPARE(boxes.boxes.size(), 1);
    }

    QStringList arguments{"lister", first, last, "--dossier", cliDir.path()};
    if (separators)
        arguments << "--sep-milliers=" + LocaleSeparator();
    const CliResult result = RunCli(arguments);
    QCOMPARE(result.status, 0);

    const QStringList names = QDir(windowDir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QVERIFY(names.contains(name));
    QCOMPARE(QDir(cliDir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
    for (const QString &n : names)
        QVERIFY2(ReadFileBytes(cliDir.filePath(n)) == ReadFileBytes(windowDir.filePath(n)), qPrintable(n));
}

QTEST_MAIN(TestCliWindow)
#include "tst_cliwindow.moc"
