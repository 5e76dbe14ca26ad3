// Factorisation of a 17-digit prime and of the largest prime below 2^63
// through the real main window, and by ordered kernel searches with one
// thread and with all of them, against the plain every-integer loop, side
// by side; the longest time the window went without handling an event, and
// the SIMD path the kernel ran.
#include "KernelChoice.h"
#include "WindowRun.h"
#include "core/Arithmetic.h"
#include "core/TrialKernel.h"
#include "ui/window/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <utility>

namespace {

const qint64 kNumber = 99999999999999997;
const qint64 kPasted = 9223372036854775783; // prime, reachable only by pasting

// Every integer from 2 up to the square root of what is left, dividing out
// factors, one hardware division each: the plain loop of the factorisation
// with nothing else in it.
quint64 BareTrialDivision(quint64 x)
{
    quint64 largest = 1;
    quint64 limit = ISqrt(x);
    for (quint64 d = 2; d <= limit;) {
        if (x % d == 0) {
            x /= d;
            limit = ISqrt(x);
            largest = d;
        } else {
            ++d;
        }
    }
    return x > 1 ? x : largest;
}

// The same factorisation by ordered searches of the kernel, in chunks of
// 2^18 integers, each factor divided out before the search goes on above it.
quint64 KernelTrialDivision(quint64 x)
{
    constexpr quint64 kChunk = quint64(1) << 18;
    quint64 largest = 1;
    quint64 limit = ISqrt(x);
    for (quint64 d = 2; d <= limit;) {
        const DivisorSearch search = SmallestDivisorInOrder(
            x, d, limit, [](quint64 chunkFirst) { return chunkFirst + (kChunk - 1); },
            [](quint64) { return false; });
        if (search.divisor == 0)
            break;
        while (x % search.divisor == 0)
            x /= search.divisor;
        largest = search.divisor;
        limit = ISqrt(x);
        d = search.divisor + 1;
    }
    return x > 1 ? x : largest;
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
    ShowAndPaint(form, QStringLiteral("TabDecomposition"));
    auto *start = form.findChild<QPushButton *>(QStringLiteral("ButtonDemarrer"));

    // A timer asking for an event every millisecond: the gaps between its
    // ticks are the gaps in the window's event handling.
    QElapsedTimer sinceTick;
    qint64 longestGapNs = 0;
    bool measuring = false;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (measuring)
            longestGapNs = qMax(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    ticker.start(1);

    auto *field = form.findChild<QLineEdit *>(QStringLiteral("EditDecomposition"));
    const int threads = DivisionThreads();
    struct Best4 {
        qint64 bare = -1, window = -1, one = -1, all = -1;
    };
    // One number, plain loop, window and kernel searches, `rounds` times
    // (the plain loop `bareRounds` of them); the best of each.
    const auto measure = [&](qint64 number, int rounds, int bareRounds) {
        field->setText(QString::number(number));
        Best4 best;
        volatile quint64 sink = 0;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            qint64 bare = 0;
            if (round < bareRounds) {
                timer.start();
                sink = BareTrialDivision(quint64(number));
                bare = timer.nsecsElapsed();
                best.bare = Best(best.bare, bare);
            }
            sinceTick.restart();
            measuring = true;
            timer.restart();
            StartAndWait(form, start);
            const qint64 window = timer.nsecsElapsed();
            measuring = false;
            UseDivisionThreads(1);
            timer.restart();
            sink = KernelTrialDivision(quint64(number));
            const qint64 one = timer.nsecsElapsed();
            UseDivisionThreads(threads);
            timer.restart();
            sink = KernelTrialDivision(quint64(number));
            const qint64 all = timer.nsecsElapsed();
            best.window = Best(best.window, window);
            best.one = Best(best.one, one);
            best.all = Best(best.all, all);
            std::printf("%lld round %d: plain loop %.3f s, window %.3f s, kernel %.3f s (1 thread), %.3f s "
                        "(%d threads)\n",
                        static_cast<long long>(number), round + 1, bare / 1e9, window / 1e9, one / 1e9, all / 1e9,
                        threads);
        }
        (void)sink;
        return best;
    };
    const auto report = [&](qint64 number, const Best4 &best, int rounds, int bareRounds) {
        std::printf("factorisation of %lld, best of %d (plain loop: %d), goal >= 40:\n",
                    static_cast<long long>(number), rounds, bareRounds);
        std::printf("  plain loop / window = %.1f\n", double(best.bare) / double(best.window));
        std::printf("  plain loop / ordered searches, 1 thread = %.1f\n", double(best.bare) / double(best.one));
        std::printf("  plain loop / ordered searches, %d threads = %.1f\n", threads,
                    double(best.bare) / double(best.all));
    };

    const Best4 best17 = measure(kNumber, 5, 5);
    const Best4 bestPasted = measure(kPasted, 3, 1);
    std::printf("kernel path: %s\n", KernelPathName(CurrentKernelPath()));
    report(kNumber, best17, 5, 5);
    report(kPasted, bestPasted, 3, 1);
    std::printf("longest gap between two handled events: %.1f ms (limit 16, one frame at 60 Hz)\n", longestGapNs / 1e6);
    return 0;
}
