// The window's run control, state by state, with fake engines whose
// checkpoints the test lets through one at a time: a second start, the stop
// button, the close, a page change, a drop and the open command, while a run
// computes, while the stop question is open, and after it was answered.
#include "MainFormTest.h"
#include "ModalAnswerer.h"

#include "core/StopToken.h"
#include "ui/window/MainForm.h"
#include "ui/report/ReportView.h"
#include "ui/status/StatusStrip.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstdint>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QString kQuestion = QStringLiteral("Processus en cours. Arrêter ?");
const QString kRefus = QStringLiteral("Vous devez arrêter le processus en cours d'abord (bouton \"Arrêter\")");

// A verification that passes `checkpoints` checkpoints and then ends with
// "prime", each step waiting for the test to let it through.
struct FakeVerification {
    int checkpoints = 3;
    QSemaphore steps;
    std::atomic<int> calls = 0;
    std::atomic<int> reached = 0;
    std::atomic<bool> stopped = false;
    // The computing thread's nice value.
    int nice = 0;

    VerificationResult operator()(qint64 n, StopToken &stop, const VerificationProgress &progress)
    {
        if (++calls == 1)
            nice = getpriority(PRIO_PROCESS, 0);
        VerificationResult result;
        result.n = n;
        for (int i = 0; i < checkpoints; ++i) {
            steps.acquire();
            progress({quint64(1000 * (i + 1)), 10 * (i + 1)});
            ++reached;
            if (stop.Checkpoint()) {
                stopped = true;
                result.stopped = true;
                return result;
            }
        }
        steps.acquire();
        result.prime = true;
        return result;
    }
};

} // namespace

class TestRunState : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void secondStartIsIgnored();
    void startPaintsNothingUntilTheRunShows();
    void stopQuestionHoldsTheRun_data();
    void stopQuestionHoldsTheRun();
    void stopBeforeAnyCheckpoint_data();
    void stopBeforeAnyCheckpoint();
    void closeDuringRun_data();
    void closeDuringRun();
    void pageChangeEmptiesTheViewAndTheRunGoesOn();
    void dropAndOpenAreRefusedWhileRunning();
    void computationYieldsToTheWindow();

private:
    template <typename T> T *child(const char *name) { return FindChild<T>(form_, name); }
    void start(int checkpoints);
    // Lets the engine take one more step and waits until it has taken it.
    void step(int reached);
    // Runs `whileOpen` once the next message box shows, then clicks `answer`.
    void onNextBox(const QString &answer, std::function<void()> whileOpen);
    QStringList lines() const { return form_->findChild<TReportView *>("Editeur")->Lines(); }
    QString panel(int i) const { return form_->findChild<TStatusStrip *>("StatusBar1")->PanelText(i); }

    TMainForm *form_ = nullptr;
    std::shared_ptr<FakeVerification> engine_;
    QStringList boxes_;
};

void TestRunState::init()
{
    form_ = new TMainForm;
    engine_ = std::make_shared<FakeVerification>();
    TMainForm::Engines engines;
    engines.verify = [engine = engine_](qint64 n, StopToken &stop, const VerificationProgress &progress) {
        return (*engine)(n, stop, progress);
    };
    form_->SetEngines(engines);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
    boxes_.clear();
}

void TestRunState::cleanup()
{
    // A run still waiting for its steps is let go before the window ends.
    engine_->steps.release(100);
    delete form_;
    form_ = nullptr;
}

void TestRunState::start(int checkpoints)
{
    engine_->checkpoints = checkpoints;
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabVerification"));
    child<QLineEdit>("EditVerification")->setText(QStringLiteral("101"));
    child<QPushButton>("ButtonDemarrer")->click();
    QVERIFY(form_->TraitementEnCours());
}

void TestRunState::step(int reached)
{
    engine_->steps.release();
    QTRY_COMPARE(engine_->reached.load(), reached);
}

void TestRunState::onNextBox(const QString &answer, std::function<void()> whileOpen)
{
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this, poll, answer, whileOpen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->deleteLater();
        boxes_ << box->text();
        whileOpen();
        for (QAbstractButton *button : box->buttons())
            if (button->text() == answer)
                button->click();
    });
    poll->start(5);
}

void TestRunState::secondStartIsIgnored()
{
    start(2);
    step(1);
    child<QPushButton>("ButtonDemarrer")->click();
    QTest::keyClick(child<QLineEdit>("EditVerification"), Qt::Key_Return);
    step(2);
    engine_->steps.release();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(engine_->calls.load(), 1);
    QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
    QCOMPARE(panel(3), QStringLiteral("Terminé..."));
}

void TestRunState::stopQuestionHoldsTheRun_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Non: the run goes on") << QStringLiteral("&Non");
    QTest::newRow("Oui: it ends at that checkpoint") << QStringLiteral("&Oui");
}

void TestRunState::stopQuestionHoldsTheRun()
{
    QFETCH(QString, answer);
    start(3);
    step(1);
    bool heldAtCheckpoint = false;
    onNextBox(answer, [&] {
        // Let the engine run: it reaches its second checkpoint and waits
        // there; a second click of the stop button or a start does nothing.
        engine_->steps.release();
        QTRY_COMPARE(engine_->reached.load(), 2);
        QTest::qWait(20);
        child<QPushButton>("ButtonStop")->click();
        child<QPushButton>("ButtonDemarrer")->click();
        heldAtCheckpoint = form_->TraitementEnCours() && !engine_->stopped && lines().join(QString()).isEmpty();
    });
    child<QPushButton>("ButtonStop")->click();
    QVERIFY(heldAtCheckpoint);
    QCOMPARE(boxes_, QStringList{kQuestion});
    if (answer == QStringLiteral("&Oui")) {
        QVERIFY(WaitUntilIdle(form_));
        QVERIFY(engine_->stopped);
        QCOMPARE(engine_->reached.load(), 2);
        // What a stop leaves: no report, the state emptied, the bar at 0,
        // the time of the last checkpoint kept.
        QVERIFY(lines().join(QString()).isEmpty());
        QVERIFY(panel(3).isEmpty());
        QCOMPARE(child<QProgressBar>("ProgressBar1")->value(), 0);
        QVERIFY(panel(1).startsWith(QStringLiteral("Temps : ")));
    } else {
        QVERIFY(form_->TraitementEnCours());
        engine_->steps.release(2);
        QVERIFY(WaitUntilIdle(form_));
        QVERIFY(!engine_->stopped);
        QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
    }
    QCOMPARE(engine_->calls.load(), 1);
}

void TestRunState::stopBeforeAnyCheckpoint_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("reported");
    QTest::newRow("Non: the result shows") << QStringLiteral("&Non") << true;
    QTest::newRow("Oui: stopped, though computed") << QStringLiteral("&Oui") << false;
}

void TestRunState::stopBeforeAnyCheckpoint()
{
    // A run too short to reach a checkpoint: it ends while the question is
    // open, and its end waits for the answer.
    QFETCH(QString, answer);
    QFETCH(bool, reported);
    start(0);
    bool waited = false;
    onNextBox(answer, [&] {
        engine_->steps.release();
        QTest::qWait(50);
        waited = form_->TraitementEnCours() && lines().join(QString()).isEmpty();
    });
    child<QPushButton>("ButtonStop")->click();
    QVERIFY(waited);
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(lines().value(5) == QStringLiteral("Nombre premier : oui"), reported);
    QCOMPARE(panel(3), reported ? QStringLiteral("Terminé...") : QString());
}

void TestRunState::closeDuringRun_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Non: stays open, goes on") << QStringLiteral("&Non");
    QTest::newRow("Oui: stops and closes") << QStringLiteral("&Oui");
}

void TestRunState::closeDuringRun()
{
    QFETCH(QString, answer);
    start(3);
    step(1);
    // The engine computes freely while the question is open: it waits at its
    // next checkpoint, the only place where it may stop.
    onNextBox(answer, [this] {
        engine_->steps.release(10);
        QTRY_COMPARE(engine_->reached.load(), 2);
    });
    const bool closed = form_->close();
    QCOMPARE(boxes_, QStringList{kQuestion});
    QCOMPARE(closed, answer == QStringLiteral("&Oui"));
    if (closed) {
        // Stopped and waited for before the window went.
        QVERIFY(engine_->stopped);
        QVERIFY(!form_->TraitementEnCours());
        QVERIFY(!form_->isVisible());
        return;
    }
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
}

void TestRunState::pageChangeEmptiesTheViewAndTheRunGoesOn()
{
    start(2);
    step(1);
    QTRY_VERIFY(panel(2).endsWith(QStringLiteral(" %")));
    child<QTabWidget>("PageControl1")->setCurrentWidget(child<QWidget>("TabDecomposition"));
    QVERIFY(panel(1).isEmpty() && panel(2).isEmpty() && panel(3).isEmpty());
    QCOMPARE(child<QProgressBar>("ProgressBar1")->value(), 0);
    // The next checkpoint writes into the emptied panels, the end into the
    // emptied view; the page in front does not start anything.
    step(2);
    QTRY_VERIFY(panel(1).startsWith(QStringLiteral("Temps : ")));
    engine_->steps.release();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
    QCOMPARE(engine_->calls.load(), 1);
}

void TestRunState::dropAndOpenAreRefusedWhileRunning()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("2\r\n3\r\n");
    file.close();
    start(1);
    ModalAnswerer answerer;
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_, &drop);
    child<QAction>("MenuOuvrir")->trigger();
    delete data;
    QCOMPARE(answerer.boxes.size(), 3);
    for (const ModalAnswerer::Box &box : answerer.boxes)
        QCOMPARE(box.text, kRefus);
    engine_->steps.release(2);
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
}

void TestRunState::computationYieldsToTheWindow()
{
    // The computation runs a few steps below the window's thread, which
    // keeps its own priority; the kernel's scheduler does the rest.
    const int window = getpriority(PRIO_PROCESS, 0);
    start(0);
    engine_->steps.release();
    QVERIFY(WaitUntilIdle(form_));
    QCOMPARE(engine_->nice, std::min(window + 5, 19));
    QCOMPARE(getpriority(PRIO_PROCESS, 0), window);
}

void TestRunState::startPaintsNothingUntilTheRunShows()
{
    // From the start until the computation first hands something over, the
    // report and the strip are not painted: a run that ends at once shows
    // its report, never the emptied view and the running state before it.
    auto *view = child<TReportView>("Editeur");
    auto *strip = child<TStatusStrip>("StatusBar1");
    start(0);
    QVERIFY(!view->updatesEnabled());
    QVERIFY(!strip->updatesEnabled());
    engine_->steps.release();
    QVERIFY(WaitUntilIdle(form_));
    QVERIFY(view->updatesEnabled());
    QVERIFY(strip->updatesEnabled());
    QCOMPARE(lines().value(5), QStringLiteral("Nombre premier : oui"));
}

QTEST_MAIN(TestRunState)
#include "tst_runstate.moc"
