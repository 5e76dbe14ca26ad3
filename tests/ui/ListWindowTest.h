// The main window with a list folder of its own, for the tests of list
// runs and of opening lists: each test gets a fresh window on the search
// page, French separators and a temporary folder; lists from an independent
// sieve to compare files with.
#pragma once

#include "FileDialogAnswerer.h"
#include "MainFormTest.h"
#include "ModalAnswerer.h"

#include "presentation/NumberText.h"
#include "ui/window/MainForm.h"
#include "ui/report/ReportView.h"
#include "ui/status/StatusStrip.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace ListWindow {

// Primes by the sieve of Eratosthenes, independent of the program.
inline QList<qint64> Sieve(qint64 from, qint64 to)
{
    QList<bool> composite(to + 1, false);
    QList<qint64> primes;
    for (qint64 i = 2; i <= to; ++i) {
        if (composite[i])
            continue;
        if (i >= from)
            primes << i;
        for (qint64 j = i * i; j <= to; j += i)
            composite[j] = true;
    }
    return primes;
}

// Digits in groups of three with the byte 0xA0, the no-break space that
// stands for the French separator in a list file.
inline QByteArray Grouped(qint64 n, bool separators)
{
    QByteArray digits = QByteArray::number(n);
    if (!separators)
        return digits;
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, '\xA0');
    return digits;
}

inline QByteArray ListBytes(const QString &name, const QList<QByteArray> &numbers, const QByteArray &count)
{
    QByteArray bytes = name.toLatin1() + "\r\nNombres premiers de cette liste : " + count + "\r\n \r\n";
    for (const QByteArray &n : numbers)
        bytes += n + "\r\n";
    return bytes;
}

inline QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace ListWindow

class ListWindowTest : public QObject
{
    Q_OBJECT

protected slots:
    void init();
    void cleanup();

protected:
    template <typename T> T *child(const char *name) { return FindChild<T>(form_, name); }
    void generate(const QString &first, const QString &last);
    QString path(const QString &name) const { return dir_->filePath(name); }
    QString panel(int i) { return child<TStatusStrip>("StatusBar1")->PanelText(i); }
    QStringList lines() { return child<TReportView>("Editeur")->Lines(); }
    void drop(const QStringList &paths);

    TMainForm *form_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
};

inline void ListWindowTest::init()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    dir_ = std::make_unique<QTemporaryDir>();
    form_ = new TMainForm;
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabRecherche"));
}

inline void ListWindowTest::cleanup()
{
    delete form_;
    form_ = nullptr;
    dir_.reset();
}

inline void ListWindowTest::generate(const QString &first, const QString &last)
{
    child<QLineEdit>("EditRechercheDebut")->setText(first);
    child<QLineEdit>("EditRechercheFin")->setText(last);
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY(WaitUntilIdle(form_));
}

inline void ListWindowTest::drop(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_, &dropped);
    delete data;
}


// A home of its own, so that the desktop folder the save dialog opens on
// exists and no test writes into the real one.
template <typename Test>
int RunListWindowTest(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    QDir(home.path()).mkpath(QStringLiteral("Desktop"));
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
