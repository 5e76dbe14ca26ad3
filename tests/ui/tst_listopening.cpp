// Lists opened again through the real window: from the menu, by dropping
// files (each in turn, refused during a run, with long paths), and files
// that are not lists.
#include "ListWindowTest.h"

#include <QAction>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextBlock>

using namespace ListWindow;

class TestListOpening : public ListWindowTest
{
    Q_OBJECT

private slots:
    void openFromTheMenu();
    void openFailures_data();
    void openFailures();
    void dropsLoadEachFileInTurn();
    void dropsDuringRunAreRefused();
    void dropWithALongPath();
    void reportAfterAListIsLaidOutAsAReport();
};

void TestListOpening::openFromTheMenu()
{
    const QString list = path(QStringLiteral("NP_1-10000_01.txt"));
    {
        FileDialogAnswerer files({list});
        ModalAnswerer boxes;
        generate(QStringLiteral("1"), QStringLiteral("10000"));
    }
    FileDialogAnswerer files({list, QString()});
    ModalAnswerer boxes;
    child<QAction>("MenuOuvrir")->trigger();
    QVERIFY(WaitUntilIdle(form_));
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(lines().size(), 3 + 1229);
    QCOMPARE(lines().value(0), QStringLiteral("NP_1-10000_01.txt"));
    QCOMPARE(lines().value(1), QStringLiteral("Nombres premiers de cette liste : 1\u00A0229"));
    QCOMPARE(lines().value(2), QStringLiteral(" "));
    QCOMPARE(lines().last(), QStringLiteral("9\u00A0973"));
    const QTextBlockFormat format = child<TReportView>("Editeur")->document()->begin().blockFormat();
    QCOMPARE(format.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QVERIFY(format.textIndent() > 0);
    QVERIFY(panel(3).isEmpty());

    // Cancelling the dialog leaves the view empty.
    child<QAction>("MenuOuvrir")->trigger();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(files.dialogs.size(), 2);
    QVERIFY(lines().join(QString()).isEmpty());
}

void TestListOpening::openFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readable");
    QTest::newRow("binary file") << "donnees.bin" << true;
    QTest::newRow("folder") << "dossier" << false;
    QTest::newRow("missing file") << "absent.txt" << false;
}

void TestListOpening::openFailures()
{
    QFETCH(QString, name);
    QFETCH(bool, readable);
    QFile binary(path(QStringLiteral("donnees.bin")));
    QVERIFY(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\x00\x01\xFF\xFEMZ\x90\r\nabc", 12));
    binary.close();
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("dossier")));

    ModalAnswerer boxes;
    form_->OuvrirFichierDirect(path(name));
    QVERIFY(WaitUntilIdle(form_));
    if (readable) {
        QVERIFY(boxes.boxes.isEmpty());
        QVERIFY2(lines().join(QString()).contains(QStringLiteral("abc")), qPrintable(lines().join(QLatin1Char('|'))));
    } else {
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].text, QStringLiteral("Type de fichier incorrect."));
        QCOMPARE(boxes.boxes[0].caption, QStringLiteral("Information"));
        QVERIFY(lines().join(QString()).isEmpty());
    }
}

void TestListOpening::dropsLoadEachFileInTurn()
{
    QStringList paths;
    for (const char *text : {"premier", "deuxième", "troisième"}) {
        paths << path(QString::fromUtf8(text) + QStringLiteral(".txt"));
        QFile file(paths.last());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(text) + "\r\n");
    }
    paths.insert(1, path(QStringLiteral("absent.txt")));
    ModalAnswerer boxes;
    drop(paths);
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].text, QStringLiteral("Type de fichier incorrect."));
    QCOMPARE(lines().value(0), QStringLiteral("troisième"));
}

void TestListOpening::dropsDuringRunAreRefused()
{
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        paths << path(QStringLiteral("l%1.txt").arg(i));
        QFile file(paths.last());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("2\r\n");
    }
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabVerification"));
    // The largest prime below 2^63: a run long enough for the drop.
    child<QLineEdit>("EditVerification")->setText(QStringLiteral("9223372036854775783"));
    ModalAnswerer boxes;
    QTimer::singleShot(0, this, [&] { drop(paths); });
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(boxes.boxes.size(), 3);
    for (const ModalAnswerer::Box &box : boxes.boxes)
        QCOMPARE(box.text, QStringLiteral("Vous devez arrêter le processus en cours d'abord (bouton \"Arrêter\")"));
    QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
}

void TestListOpening::dropWithALongPath()
{
    QString folder = dir_->path();
    while (folder.size() < 300)
        folder += QStringLiteral("/un-dossier-au-nom-assez-long");
    QVERIFY(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/liste-au-long-chemin.txt");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("17\r\n19\r\n");
    out.close();
    ModalAnswerer boxes;
    drop({file});
    QVERIFY(WaitUntilIdle(form_));
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(lines(), QStringList({"17", "19"}));
}

void TestListOpening::reportAfterAListIsLaidOutAsAReport()
{
    // A list is laid out a line at a time; the report that follows it gets
    // the ordinary layout again (wrapping, spacing), not the list's.
    QFile out(path(QStringLiteral("courte.txt")));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("17\r\n19\r\n");
    out.close();
    form_->OuvrirFichierDirect(path(QStringLiteral("courte.txt")));
    QVERIFY(WaitUntilIdle(form_));
    auto *view = child<TReportView>("Editeur");
    const QString listLayout = QString::fromLatin1(view->document()->documentLayout()->metaObject()->className());
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabVerification"));
    child<QLineEdit>("EditVerification")->setText(QStringLiteral("97"));
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(lines().value(3), QStringLiteral("97"));
    QVERIFY(QString::fromLatin1(view->document()->documentLayout()->metaObject()->className()) != listLayout);
}

int main(int argc, char *argv[])
{
    return RunListWindowTest<TestListOpening>(argc, argv);
}

#include "tst_listopening.moc"
