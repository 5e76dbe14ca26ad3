// Lists into the report view without stopping the window: the files a run
// completes, built on a thread of their own at most twice a second, and the
// files the user opens, read on a thread while the window goes on.
#pragma once

#include "listhost/ListFileHost.h"

#include <QElapsedTimer>
#include <QObject>

#include <optional>

class QTextDocument;
class QThread;
class TReportView;

class TListViewLoader : public QObject
{
    Q_OBJECT

public:
    explicit TListViewLoader(TReportView *view, QObject *parent = nullptr);
    ~TListViewLoader() override;

    // During a run: a file is complete, and a look at whether the newest one
    // may be built now (the run pumps its messages).
    void StartRun() { lastBuild_.invalidate(); }
    void Completed(const ListFileHost::WrittenFile &file);
    void Refresh(bool running);
    // The run's last file, shown before returning; the window goes on
    // painting meanwhile, and what the user types waits.
    void ShowAndWait(const ListFileHost::WrittenFile &file);
    // Whatever is being built or waits no longer matters.
    void Forget();

    // Opens a list file, left-aligned and indented; returns the message to
    // show when it cannot be shown, or nothing. Loading() holds meanwhile.
    QString Open(const QString &path);
    bool Loading() const { return loading_; }

private:
    void Build(const ListFileHost::WrittenFile &file, quint64 token);
    void Built(QTextDocument *document, quint64 token);
    static QString ReadWithoutBlocking(const QString &path);

    TReportView *view_;
    std::optional<ListFileHost::WrittenFile> pending_;
    QElapsedTimer lastBuild_;
    static constexpr qint64 kRefreshMs = 500;
    quint64 token_ = 0;
    quint64 awaited_ = 0;
    int building_ = 0;
    QThread *builderThread_ = nullptr;
    QObject *builder_ = nullptr;
    bool loading_ = false;
};
