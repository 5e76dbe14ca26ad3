// Opening a list file much larger than any a run writes: how long the window
// takes to show it, and the longest gap between two events it handles meanwhile.
#include "ui/window/MainForm.h"
#include "ui/report/ReportView.h"
#include "listfiles/ListFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QScrollBar>

#include <cstdio>

namespace {

// A list of lines like those of a generated file (19 digits and CR LF), up
// to the given size.
bool WriteList(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    for (qint64 n = 1000000000000000003; chunk.size() < 1 << 20; n += 2)
        chunk += QByteArray::number(n) + "\r\n";
    for (qint64 written = 0; written < size; written += chunk.size())
        file.write(chunk.constData(), std::min<qint64>(chunk.size(), size - written));
    return true;
}

void Measure(TMainForm &form, const QString &path, const char *label)
{
    qint64 longestGapNs = 0;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapNs = qMax(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.start();
    });
    ticker.start(1);
    QCoreApplication::processEvents();
    sinceTick.start();
    clock.start();
    form.OuvrirFichierDirect(path);
    const qint64 loadMs = clock.elapsed();
    // The view lays the text out by steps after it is in; wait for the last
    // one, seen as a document height that no longer grows.
    const auto *view = form.findChild<TReportView *>(QStringLiteral("Editeur"));
    qreal height = -1;
    qint64 stableSince = clock.elapsed();
    while (clock.elapsed() - stableSince < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // The scroll bar follows the layout; asking the layout for its size
        // would finish it at once.
        const qreal now = view->verticalScrollBar()->maximum();
        if (now != height) {
            height = now;
            stableSince = clock.elapsed();
        }
    }
    const qint64 laidOutMs = stableSince;
    ticker.stop();
    std::printf("%s: %lld lines in the view after %lld ms, laid out after %lld ms; longest gap between two handled events: %.1f ms\n", label,
                qint64(view->document()->blockCount()), loadMs, laidOutMs, double(longestGapNs) / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir dir;
    const QString largest = dir.filePath(QStringLiteral("largest.txt"));
    const QString written = dir.filePath(QStringLiteral("written.txt"));
    if (!WriteList(largest, ListFiles::kLargestShownFile) || !WriteList(written, 78498 * 27)) {
        std::fprintf(stderr, "cannot write the test files\n");
        return 1;
    }
    TMainForm form;
    form.show();
    Measure(form, written, "largest list a run writes (2.1 MB)");
    Measure(form, largest, "largest file shown (16 MiB)");
    return 0;
}
