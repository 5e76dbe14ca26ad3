// Lists into the report view without stopping the window: every list is read
// and built on one thread of its own, and shown once it is ready: the files
// a run completes at most once a second, then the run's last file, and the
// files the user opens. The run's last file may be built ahead, while the
// run goes on, on a second thread that only takes what the run leaves of
// the cores.
#pragma once

#include "core/WorkerPriority.h"
#include "listhost/ListFileHost.h"
#include "ui/JobThread.h"
#include "ui/ThreadWake.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QTextDocument;
class TReportView;

class TListViewLoader : public QObject
{
    Q_OBJECT

public:
    explicit TListViewLoader(TReportView *view, QObject *parent = nullptr);
    ~TListViewLoader() override;

    // During a run: a file is complete; the newest one is shown when the
    // builder is free and a second has gone by since the run started or the
    // last one was shown. Building a view takes a good part of a core, which
    // a run that ends within a second spends on its files instead.
    void StartRun() { lastBuild_.start(); }
    // Before a list: works out its last file (nothing when it cannot) and
    // builds its view, both at the lowest priority. ShowThen shows that view
    // at once if the run's last file is byte for byte the one foreseen.
    using Foresight = std::function<std::optional<ListFileHost::WrittenFile>()>;
    void Foresee(Foresight foresee);
    // Whether a view built ahead waits to be shown.
    bool ForeseenReady() const;
    void Completed(const ListFileHost::WrittenFile &file);
    // The run's last file; `then` runs once it shows (or could not be
    // built for want of memory).
    void ShowThen(const ListFileHost::WrittenFile &file, std::function<void()> then);
    // Whatever is being built or waits no longer matters.
    void Forget();

    // Opens a list file, left-aligned and indented; `done` gets the message
    // to show when it cannot be shown, or an empty text. Loading() holds
    // meanwhile.
    void Open(const QString &path, std::function<void(const QString &message)> done);
    bool Loading() const { return loading_; }

private:
    struct Build;
    struct Foreseen;
    using Make = std::function<QTextDocument *()>;
    using Shown = std::function<void(QTextDocument *document, std::exception_ptr failure)>;

    // What the builder has built comes back through a list of its own, so
    // that every hand-over between the two threads goes through a lock of
    // ours.
    void TakeBuilt();
    void Start(Make make, Shown shown);
    void Finished(const std::shared_ptr<Build> &build);
    void Next();
    void Dispose(QTextDocument *replaced, bool giveBack);
    void BuildCompleted();
    // The view foreseen, if it is the file's; the foresight ends either way.
    QTextDocument *TakeForeseen(const ListFileHost::WrittenFile &file);
    void DropForeseen();

    TReportView *view_;
    std::optional<ListFileHost::WrittenFile> pending_;
    // What waits for the builder after the build under way: the run's last
    // file or a file opened.
    std::function<void()> queued_;
    QElapsedTimer lastBuild_;
    QTimer refreshTimer_;
    QTimer builtTimer_;
    // A finished build is taken as soon as it is done, not at the next poll.
    TThreadWake builtWake_{[this] { TakeBuilt(); }, this};
    static constexpr int kBuiltPollMs = 5;
    static constexpr int kRefreshMs = 1000;
    // A list small enough to be built in a few milliseconds shows before
    // the call that asked for it returns, as it always did.
    static constexpr int kSettleMs = 2;
    quint64 token_ = 0;
    std::shared_ptr<Build> building_;
    std::shared_ptr<Foreseen> foreseen_;
    // Every list is built on one thread, so that the memory of one list is
    // reused for the next.
    TJobThread &Builder();
    bool tuned_ = false;
    TJobThread builder_{"tvr-view", LowerWorkerPriority};
    TJobThread foresight_{"tvr-foresee", LowestWorkerPriority};
    std::mutex builtMutex_;
    std::vector<std::shared_ptr<Build>> built_;
    bool loading_ = false;
};
