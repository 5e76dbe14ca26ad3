// Lists into the report view without stopping the window: every list is read
// and built on one thread of its own, and shown once it is ready: the files
// a run completes at most once a second, then the run's last file, and the
// files the user opens. The run's last file may be built ahead, while the
// run goes on, on a second thread that only takes what the run leaves of
// the cores.
#pragma once

#include "core/WorkerPriority.h"
#include "listhost/ListFileHost.h"
#include "ui/threads/JobThread.h"
#include "ui/threads/Mailbox.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

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
    void Completed(const ListFileHost::WrittenFile &file);
    // The run's last file; `then` runs once it shows (or could not be
    // built for want of memory). While the foresight is still under way,
    // the last file waits for it: it is the same work, and further along.
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

    // What the builder and the foresight build comes back through the
    // mailbox.
    void Start(Make make, Shown shown);
    void Finished(const std::shared_ptr<Build> &build);
    void Next();
    void Dispose(QTextDocument *replaced, bool giveBack);
    void BuildCompleted();
    void ShowLast(const ListFileHost::WrittenFile &file, std::function<void()> then);
    void ForeseenBuilt(const std::shared_ptr<Foreseen> &foreseen);
    // The view foreseen, if it is the file's; the foresight ends either way.
    QTextDocument *TakeForeseen(const ListFileHost::WrittenFile &file);
    void DropForeseen();

    TReportView *view_;
    std::optional<ListFileHost::WrittenFile> pending_;
    // What waits for the builder after the build under way: the run's last
    // file or a file opened.
    std::function<void()> queued_;
    // The run's last file, waiting for the foresight under way.
    std::function<void()> awaitingForesight_;
    QElapsedTimer lastBuild_;
    QTimer refreshTimer_;
    static constexpr int kRefreshMs = 1000;
    quint64 token_ = 0;
    std::shared_ptr<Build> building_;
    std::shared_ptr<Foreseen> foreseen_;
    TMailbox mailbox_{this};
    // Every list is built on one thread, so that the memory of one list is
    // reused for the next.
    TJobThread &Builder();
    bool tuned_ = false;
    TJobThread builder_{"tvr-view", LowerWorkerPriority};
    TJobThread foresight_{"tvr-foresee", LowestWorkerPriority};
    bool loading_ = false;
};
