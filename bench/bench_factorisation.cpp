// Factorisation of a 17-digit prime and of the largest prime below 2^63
// through the real main window against the plain every-integer loop, side
// by side, the longest time the window went without handling an event, and
// the SIMD path the kernel ran.
#include "KernelChoice.h"
#include "WindowRun.h"
#include "core/Arithmetic.h"
#include "core/TrialKernel.h"
#include "ui/ReMainForm.h"

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

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ChoosePath(argc, argv);
    TMainForm form;
    form.show();
    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    pages->setCurrentWidget(form.findChild<QWidget *>(QStringLiteral("TabDecomposition")));
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
    // One number, plain loop then window, `rounds` times; the best of each.
    const auto measure = [&](qint64 number, int rounds) {
        field->setText(QString::number(number));
        qint64 bestBare = -1, bestWindow = -1;
        volatile quint64 sink = 0;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            sink = BareTrialDivision(quint64(number));
            const qint64 bare = timer.nsecsElapsed();
            sinceTick.restart();
            measuring = true;
            timer.restart();
            StartAndWait(form, start);
            const qint64 window = timer.nsecsElapsed();
            measuring = false;
            bestBare = bestBare < 0 ? bare : qMin(bestBare, bare);
            bestWindow = bestWindow < 0 ? window : qMin(bestWindow, window);
            std::printf("%lld round %d: plain loop %.3f s, window %.3f s\n", static_cast<long long>(number),
                        round + 1, bare / 1e9, window / 1e9);
        }
        (void)sink;
        return std::make_pair(bestBare, bestWindow);
    };

    const auto [bare17, window17] = measure(kNumber, 5);
    const auto [barePasted, windowPasted] = measure(kPasted, 1);
    std::printf("kernel path: %s\n", KernelPathName(CurrentKernelPath()));
    std::printf("factorisation of %lld: plain loop / window = %.1f (best of 5, goal >= 25)\n",
                static_cast<long long>(kNumber), double(bare17) / double(window17));
    std::printf("factorisation of %lld: window %.3f s, plain loop %.3f s, plain loop / window = %.1f\n",
                static_cast<long long>(kPasted), windowPasted / 1e9, barePasted / 1e9,
                double(barePasted) / double(windowPasted));
    std::printf("longest gap between two handled events: %.1f ms (limit 25)\n", longestGapNs / 1e6);
    return 0;
}
