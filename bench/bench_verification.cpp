// Verification of a 17-digit prime through the real main window, and the
// kernel's checkpointed search with one thread and with all of them, against
// the plain n % d loop, measured side by side; prints the speed-ups and the
// SIMD path the kernel ran.
#include "KernelChoice.h"
#include "WindowRun.h"
#include "core/Arithmetic.h"
#include "core/TrialKernel.h"
#include "tests/oracles/PlainTrialDivision.h"
#include "ui/window/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

namespace {

const qint64 kNumber = 99999999999999997;

// 2 then every odd number up to sqrt(n + 1), through `divide`, with a
// checkpoint that never stops; true when no divisor shows.
template <typename Divide>
bool Prime(qint64 n, Divide divide)
{
    const quint64 value = quint64(n);
    quint32 counter = 0;
    quint64 d = 2;
    return divide(value, ISqrt(value + 1), counter, d, [](quint64) { return false; }) == TrialOutcome::NoDivisor;
}

qint64 Best(qint64 best, qint64 ns)
{
    return best < 0 ? ns : qMin(best, ns);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ChoosePath(argc, argv);
    TMainForm form;
    ShowAndPaint(form, QStringLiteral("TabVerification"));
    form.findChild<QLineEdit *>(QStringLiteral("EditVerification"))->setText(QString::number(kNumber));
    auto *start = form.findChild<QPushButton *>(QStringLiteral("ButtonDemarrer"));

    const int threads = DivisionThreads();
    const auto plain = [](auto &&...args) { return PlainTrialDivide(args...); };
    const auto kernel = [](auto &&...args) { return TrialDivide(args...); };
    qint64 bestBare = -1, bestWindow = -1, bestOne = -1, bestAll = -1;
    volatile bool sink = false;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        sink = Prime(kNumber, plain);
        const qint64 bare = timer.nsecsElapsed();
        timer.restart();
        StartAndWait(form, start);
        const qint64 window = timer.nsecsElapsed();
        UseDivisionThreads(1);
        timer.restart();
        sink = Prime(kNumber, kernel);
        const qint64 one = timer.nsecsElapsed();
        UseDivisionThreads(threads);
        timer.restart();
        sink = Prime(kNumber, kernel);
        const qint64 all = timer.nsecsElapsed();
        bestBare = Best(bestBare, bare);
        bestWindow = Best(bestWindow, window);
        bestOne = Best(bestOne, one);
        bestAll = Best(bestAll, all);
        std::printf("round %d: plain loop %.3f s, window %.3f s, kernel %.3f s (1 thread), %.3f s (%d threads)\n",
                    round + 1, bare / 1e9, window / 1e9, one / 1e9, all / 1e9, threads);
    }
    (void)sink;
    std::printf("kernel path: %s\n", KernelPathName(CurrentKernelPath()));
    std::printf("verification of %lld, best of 5, goal >= 20:\n", static_cast<long long>(kNumber));
    std::printf("  plain loop / window = %.1f\n", double(bestBare) / double(bestWindow));
    std::printf("  plain loop / TrialDivide, 1 thread = %.1f\n", double(bestBare) / double(bestOne));
    std::printf("  plain loop / TrialDivide, %d threads = %.1f\n", threads,
                double(bestBare) / double(bestAll));
    return 0;
}
