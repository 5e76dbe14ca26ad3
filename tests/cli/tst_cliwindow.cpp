// tavorine-cli against the window: the same list files, byte for byte, and
// the same report lines, for the same texts typed or passed.
#include "CliRun.h"
#include "FileDialogAnswerer.h"
#include "MainFormTest.h"
#include "ModalAnswerer.h"

#include "core/NumberText.h"
#include "ui/ReMainForm.h"
#include "ui/ReportView.h"

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
    void sameReports_data();
    void sameReports();

private:
    template <typename T> T *child(const char *name) { return FindChild<T>(form_, name); }
    TMainForm *form_ = nullptr;
};

void TestCliWindow::init()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    ResetThousandsSeparator();
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
    QTest::newRow("three files, plain") << "1" << "2100000" << false;
    QTest::newRow("hex and signs") << " -$10" << "0x1FFFF" << true;
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
        QCOMPARE(boxes.boxes.size(), 1);
    }

    QStringList arguments{"lister", first, last, "--dossier", cliDir.path()};
    if (separators)
        arguments << "--sep-milliers=" + ThousandsSeparator();
    const CliResult result = RunCli(arguments);
    QCOMPARE(result.status, 0);

    const QStringList names = QDir(windowDir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QVERIFY(names.contains(name));
    QCOMPARE(QDir(cliDir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
    for (const QString &n : names)
        QVERIFY2(ReadFileBytes(cliDir.filePath(n)) == ReadFileBytes(windowDir.filePath(n)), qPrintable(n));
}

void TestCliWindow::sameReports_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("number");
    for (const char *n : {"0", "2", "1000003", "-1", "$7FFFFFFFFFFFFFFF"}) {
        QTest::addRow("verification of %s", n) << "verifier" << "TabVerification" << "EditVerification" << n;
        // A negative number ends the factorisation with an error box.
        if (n[0] != '-')
            QTest::addRow("factorisation of %s", n) << "decomposer" << "TabDecomposition" << "EditDecomposition" << n;
    }
}

void TestCliWindow::sameReports()
{
    QFETCH(QString, command);
    QFETCH(QString, page);
    QFETCH(QString, field);
    QFETCH(QString, number);
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>(page.toLatin1().constData()));
    child<QLineEdit>(field.toLatin1().constData())->setText(number);
    child<QPushButton>("ButtonDemarrer")->click();

    // The terminal drops the empty lines around the report, and only those.
    QStringList lines = child<TReportView>("Editeur")->Lines();
    while (!lines.isEmpty() && lines.constFirst().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    const CliResult result = RunCli({command, number});
    QCOMPARE(QString::fromUtf8(result.out).split('\n'), lines << QString());
}

QTEST_MAIN(TestCliWindow)
#include "tst_cliwindow.moc"
