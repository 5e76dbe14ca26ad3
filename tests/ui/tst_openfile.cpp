// The file dialogs and opening a list file: the captions of the dialogs'
// filters, the save dialog's folder on an account without a desktop folder,
// and files too large to be shown.
#include "FileDialogAnswerer.h"
#include "MainFormTest.h"
#include "ModalAnswerer.h"

#include "ui/window/MainForm.h"
#include "ui/report/ReportView.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QtTest>

class TestOpenFile : public QObject
{
    Q_OBJECT

private slots:
    void filterCaptions_data();
    void filterCaptions();
    void saveDialogWithoutDesktopFolder();
    void fileTooLargeToShow_data();
    void fileTooLargeToShow();
};

void TestOpenFile::filterCaptions_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::newRow("open") << "OpenDialog1";
    QTest::newRow("save") << "SaveDialog1";
}

void TestOpenFile::filterCaptions()
{
    QFETCH(QString, dialog);
    TMainForm form;
    auto *files = form.findChild<QFileDialog *>(dialog);
    QVERIFY(files);
    auto *combo = files->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QVERIFY(combo);
    QStringList captions;
    for (int i = 0; i < combo->count(); ++i)
        captions << combo->itemText(i);
    QCOMPARE(captions, QStringList({"Fichiers texte (.txt)", "Tous les fichiers (*.*)"}));
    // What each choice lets through: text files, then every name, with or
    // without a dot.
    auto *model = files->findChild<QFileSystemModel *>();
    QVERIFY(model);
    files->selectNameFilter(files->nameFilters().at(0));
    QCOMPARE(model->nameFilters(), QStringList{"*.txt"});
    files->selectNameFilter(files->nameFilters().at(1));
    QCOMPARE(model->nameFilters(), QStringList{"*"});
}

void TestOpenFile::saveDialogWithoutDesktopFolder()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    });
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Desktop"))));
    // The folder the program runs in must not be taken for the answer.
    QVERIFY(QDir::currentPath() != QDir(home.path()).canonicalPath());

    TMainForm form;
    form.show();
    FindChild<QTabWidget>(&form, "PageControl1")->setCurrentWidget(FindChild<QWidget>(&form, "TabRecherche"));
    FileDialogAnswerer files({QString()});
    FindChild<QPushButton>(&form, "ButtonDemarrer")->click();
    QVERIFY(WaitUntilIdle(&form));
    QCOMPARE(files.dialogs.size(), 1);
    QCOMPARE(QDir(files.dialogs[0].directory).canonicalPath(), QDir(home.path()).canonicalPath());
}

void TestOpenFile::fileTooLargeToShow_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("sizeText");
    QTest::newRow("one byte above 16 MiB") << qint64(16 * 1024 * 1024 + 1) << "16,0\u00A0Mo (16\u00A0777\u00A0217\u00A0octets)";
    QTest::newRow("three gigabytes") << (qint64(3) << 30) << "3,0\u00A0Go (3\u00A0221\u00A0225\u00A0472\u00A0octets)";
}

void TestOpenFile::fileTooLargeToShow()
{
    QFETCH(qint64, size);
    QFETCH(QString, sizeText);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grand.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(size)); // sparse: nothing is written
    file.close();

    TMainForm form;
    form.show();
    ModalAnswerer answerer;
    form.OuvrirFichierDirect(path);
    QVERIFY(WaitUntilIdle(&form));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].caption, QStringLiteral("Information"));
    const QString text = answerer.boxes[0].text;
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
    QVERIFY2(text.contains(sizeText), qPrintable(text));
    QVERIFY(FindChild<TReportView>(&form, "Editeur")->toPlainText().isEmpty());
    QVERIFY(!form.TraitementEnCours());
}

QTEST_MAIN(TestOpenFile)
#include "tst_openfile.moc"
