// Lists into the report view without stopping the window: every list is read
// and built on one thread of its own, the files a run completes at most twice
// a second, the run's last file and the files the user opens while the
// window goes on with its messages.
#pragma once

#include "listhost/ListFileHost.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>

#include <functional>
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
    // A list file read from disk and shown centred, before returning; a
    // file that cannot be read throws ListFileError.
    void ShowFileAndWait(const QString &path);

private:
    QObject *Builder();
    void Build(const ListFileHost::WrittenFile &file, quint64 token);
    void Built(QTextDocument *document, quint64 token);
    // Runs make on the builder's thread and handles the window's messages
    // of the given kinds until it is done; what it throws is thrown here.
    QTextDocument *BuildAndWait(const std::function<QTextDocument *()> &make,
                                QEventLoop::ProcessEventsFlags messages);

    TReportView *view_;
    std::optional<ListFileHost::WrittenFile> pending_;
    QElapsedTimer lastBuild_;
    static constexpr qint64 kRefreshMs = 500;
    quint64 token_ = 0;
    int building_ = 0;
    QThread *builderThread_ = nullptr;
    QObject *builder_ = nullptr;
    bool loading_ = false;
};
