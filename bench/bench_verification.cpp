// Verification of a 17-digit prime through the real main window against
// the plain n % d loop, measured side by side; prints the speed-up and the
// SIMD path the kernel ran.
#include "KernelChoice.h"
#include "WindowRun.h"
#include "core/TrialKernel.h"
#include "ui/ReMainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>
#include <cstdio>

namespace {

const qint64 kNumber = 99999999999999997;

// The same divisors, 2 then every odd number up to sqrt(n + 1), one
// hardware division each, with nothing else in the loop.
bool BareTrialDivision(qint64 n)
{
    const quint64 value = quint64(n);
    const quint64 bound = quint64(std::sqrt(static_cast<long double>(value + 1)));
    if (value % 2 == 0)
        return false;
    for (quint64 d = 3; d <= bound; d += 2)
        if (value % d == 0)
            return false;
    return true;
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
    form.findChild<QLineEdit *>(QStringLiteral("EditVerification"))->setText(QString::number(kNumber));
    auto *start = form.findChild<QPushButton *>(QStringLiteral("ButtonDemarrer"));

    qint64 bestBare = -1, bestWindow = -1;
    volatile bool sink = false;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        sink = BareTrialDivision(kNumber);
        const qint64 bare = timer.nsecsElapsed();
        timer.restart();
        StartAndWait(form, start);
        const qint64 window = timer.nsecsElapsed();
        bestBare = bestBare < 0 ? bare : qMin(bestBare, bare);
        bestWindow = bestWindow < 0 ? window : qMin(bestWindow, window);
        std::printf("round %d: bare %.3f s, window %.3f s\n", round + 1, bare / 1e9, window / 1e9);
    }
    (void)sink;
    std::printf("kernel path: %s\n", KernelPathName(CurrentKernelPath()));
    std::printf("verification of %lld: plain loop / window = %.1f (best of 5, goal >= 12)\n",
                static_cast<long long>(kNumber), double(bestBare) / double(bestWindow));
    return 0;
}
