// Prime lists through the real main window against the primesieve command
// line tool writing the same range to a file on the same disk, side by side
// in one run: the time ratio and the longest gap between two handled events
// for three ranges, then the peak memory of the list from 1 to 10^9 beyond
// the idle window, measured in a fresh process.
#include "WindowRun.h"
#include "ui/window/MainForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <primesieve.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <unistd.h>

namespace {

qint64 StatusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The peer: Debian's primesieve, one thread, printing the range to a file.
double PeerSeconds(const QString &first, const QString &last, const QString &file)
{
    QProcess peer;
    peer.setStandardOutputFile(file);
    QElapsedTimer timer;
    timer.start();
    peer.start(QStringLiteral("primesieve"), {first, last, QStringLiteral("--print"), QStringLiteral("-t1")});
    if (!peer.waitForFinished(-1) || peer.exitCode() != 0) {
        std::fprintf(stderr, "primesieve could not run (Debian package primesieve-bin)\n");
        return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

// The machine's floor for a list: libprimesieve counting the range on one
// thread, plus writing as many bytes into as many files of the same sizes.
double FloorSeconds(const QString &first, const QString &last, const QList<qint64> &sizes, const QString &folder)
{
    primesieve::set_num_threads(1);
    QElapsedTimer timer;
    timer.start();
    volatile std::uint64_t count = primesieve::count_primes(first.toULongLong(), last.toULongLong());
    (void)count;
    const QByteArray bytes(*std::max_element(sizes.cbegin(), sizes.cend()), '7');
    for (int i = 0; i < sizes.size(); ++i) {
        QFile file(QStringLiteral("%1/floor_%2.txt").arg(folder).arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.constData(), sizes[i]) != sizes[i])
            return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

// Memory freed a while ago may have gone back to the virtual machine's
// host, and the first write into each of its pages then costs several times
// the copy itself: the same bytes take 0.15 s or 1.5 s depending on what
// ran before. Each side starts after writing and freeing as much page cache
// as a list takes, so that both find the same pages ready.
//
// On ext4 without a journal, every new file also skips, one by one, the
// inodes freed in the last minute (six while their table is not yet written
// back) whose table is in memory, and the benchmark frees thousands: the
// time would depend on the sides run before. As root, the disk is synced
// and the clean caches dropped first, which forgets them, as on a disk
// where no list was just deleted.
void ReadyPageCache(const QString &folder)
{
    sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    if (drop.open(QIODevice::WriteOnly))
        drop.write("3");
    QFile scratch(folder + QStringLiteral("/scratch.bin"));
    if (!scratch.open(QIODevice::WriteOnly))
        return;
    const QByteArray chunk(8 << 20, '7');
    for (int i = 0; i < 80; ++i)
        scratch.write(chunk);
    scratch.close();
    scratch.remove();
}

QList<qint64> FileSizes(const QString &folder)
{
    QList<qint64> sizes;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files))
        sizes << info.size();
    return sizes;
}

// The window, its save dialog answered with a file of the folder and its
// final message with OK. A run is timed from the answer to the dialog to
// the final message; a 1 ms timer measures the gaps between the moments
// the window handles its events. The moments at which gaps over 10 ms ended
// are kept, on the system's monotonic clock, so that they can be set
// beside a trace of the machine (perf record -k CLOCK_MONOTONIC).
class WindowRunner
{
public:
    WindowRunner()
    {
        ShowAndPaint(form_, QStringLiteral("TabRecherche"));
        clock_.start();
        QObject::connect(&answerer_, &QTimer::timeout, [this] { Answer(); });
        answerer_.start(1);
    }

    struct Result {
        double seconds;
        double longestGapMs;
        QStringList longGapEnds;
    };

    Result Run(const QString &first, const QString &last, const QString &target)
    {
        target_ = target;
        answeredNs_ = finishedNs_ = lastTickNs_ = 0;
        longestGapNs_ = 0;
        longGapEnds_.clear();
        form_.findChild<QLineEdit *>(QStringLiteral("EditRechercheDebut"))->setText(first);
        form_.findChild<QLineEdit *>(QStringLiteral("EditRechercheFin"))->setText(last);
        StartAndWait(form_, form_.findChild<QPushButton *>(QStringLiteral("ButtonDemarrer")));
        return {(finishedNs_ - answeredNs_) / 1e9, longestGapNs_ / 1e6, longGapEnds_};
    }

private:
    void Answer()
    {
        const qint64 now = clock_.nsecsElapsed();
        if (answeredNs_ != 0 && finishedNs_ == 0 && lastTickNs_ != 0) {
            longestGapNs_ = std::max(longestGapNs_, now - lastTickNs_);
            if (now - lastTickNs_ > 10'000'000) {
                timespec end{};
                clock_gettime(CLOCK_MONOTONIC, &end);
                longGapEnds_ << QString::asprintf("%.1f ms ending at %lld.%03ld s", double(now - lastTickNs_) / 1e6,
                                                  static_cast<long long>(end.tv_sec), end.tv_nsec / 1'000'000);
            }
        }
        lastTickNs_ = now;
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && dialog->isVisible()) {
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(target_);
            answeredNs_ = clock_.nsecsElapsed();
            lastTickNs_ = answeredNs_;
            static_cast<QDialog *>(dialog)->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal); box && box->isVisible() && answeredNs_ != 0
                   && finishedNs_ == 0) {
            // Seen within one tick of its showing.
            finishedNs_ = now;
            box->defaultButton()->click();
        }
    }

    TMainForm form_;
    QTimer answerer_;
    QElapsedTimer clock_;
    QString target_;
    qint64 answeredNs_ = 0, finishedNs_ = 0, lastTickNs_ = 0, longestGapNs_ = 0;
    QStringList longGapEnds_;
};

// Run in a fresh process: the window's memory at rest, then its peak
// during the list from 1 to 10^9.
int MeasureMemory()
{
    QTemporaryDir folder;
    WindowRunner runner;
    // With --apres-petite-liste the window has made one small list first, so
    // that its save dialog has been shown once before the baseline.
    if (QCoreApplication::arguments().contains(QStringLiteral("--apres-petite-liste")))
        runner.Run(QStringLiteral("1"), QStringLiteral("100"), folder.filePath(QStringLiteral("petite.txt")));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    const qint64 idleKb = StatusKb("VmRSS:");
    // Writing 5 to clear_refs resets the peak resident size of the process.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
        clear.close();
    }
    runner.Run(QStringLiteral("1"), QStringLiteral("1000000000"), folder.filePath(QStringLiteral("liste.txt")));
    const qint64 peakKb = StatusKb("VmHWM:");
    std::printf("%.1f %.1f\n", idleKb / 1024.0, (peakKb - idleKb) / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--memoire")))
        return MeasureMemory();

    // A folder on the disk the user works on, not a memory file system.
    const QString base = QDir::homePath() + QStringLiteral("/.cache");
    QDir().mkpath(base);
    WindowRunner runner;

    struct Range {
        const char *label;
        QString first, last;
        double limit;
    };
    QList<Range> ranges = {
        {"1 to 10^9 (1 000 files)", QStringLiteral("1"), QStringLiteral("1000000000"), 1.5},
        {"10^17 to 10^17 + 10^7", QStringLiteral("100000000000000000"), QStringLiteral("100000000010000000"), 1.5},
        {"the last 10^7 below 2^63", QStringLiteral("9223372036844775807"), QStringLiteral("9223372036854775807"), 1.5},
    };
    // bench_generation FIRST LAST runs one range of one's own.
    const QStringList args = app.arguments();
    if (args.size() == 3)
        ranges = {{"the range asked for", args[1], args[2], 2.0}};
    for (const Range &range : ranges) {
        double bestPeer = -1, bestWindow = -1, bestFloor = -1, longestGap = 0;
        // The floor is measured for the list from 1 to 10^9.
        const bool withFloor = range.first == QStringLiteral("1") && range.last == QStringLiteral("1000000000");
        for (int round = 0; round < 2; ++round) {
            {
                QTemporaryDir folder(base + QStringLiteral("/tavorine-bench-XXXXXX"));
                ReadyPageCache(folder.path());
                const double peer = PeerSeconds(range.first, range.last, folder.filePath(QStringLiteral("peer.txt")));
                bestPeer = bestPeer < 0 ? peer : std::min(bestPeer, peer);
            }
            QTemporaryDir folder(base + QStringLiteral("/tavorine-bench-XXXXXX"));
            ReadyPageCache(folder.path());
            const WindowRunner::Result window =
                runner.Run(range.first, range.last, folder.filePath(QStringLiteral("liste.txt")));
            bestWindow = bestWindow < 0 ? window.seconds : std::min(bestWindow, window.seconds);
            longestGap = std::max(longestGap, window.longestGapMs);
            if (withFloor) {
                const QList<qint64> sizes = FileSizes(folder.path());
                QTemporaryDir floorFolder(base + QStringLiteral("/tavorine-bench-XXXXXX"));
                ReadyPageCache(floorFolder.path());
                const double floor = FloorSeconds(range.first, range.last, sizes, floorFolder.path());
                bestFloor = bestFloor < 0 ? floor : std::min(bestFloor, floor);
            }
            std::printf("  %s, round %d: primesieve %.3f s, window %.3f s, floor %.3f s, longest gap %.1f ms\n",
                        range.label, round + 1, bestPeer, window.seconds, bestFloor, window.longestGapMs);
            for (const QString &gap : window.longGapEnds)
                std::printf("    gap of %s (monotonic clock)\n", qPrintable(gap));
        }
        std::printf("%s: window / primesieve = %.2f (best of 2, limit %.1f); longest gap between events %.1f ms "
                    "(limit 16)\n",
                    range.label, bestWindow / bestPeer, range.limit, longestGap);
        if (withFloor)
            std::printf("%s: window / machine's floor = %.2f (floor %.3f s: one-thread count and the same bytes "
                        "written; limit 2.5)\n",
                        range.label, bestWindow / bestFloor, bestFloor);
        std::fflush(stdout);
    }

    QProcess fresh;
    fresh.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memoire")});
    fresh.waitForFinished(-1);
    const QList<QByteArray> figures = fresh.readAllStandardOutput().trimmed().split(' ');
    std::printf("list 1 to 10^9 in a fresh process: idle window %s MiB, peak beyond it %s MiB (limit 64)\n",
                figures.value(0).constData(), figures.value(1).constData());
    return 0;
}
