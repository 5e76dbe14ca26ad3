// The list files of a run of the window, on the thread that computes it:
// the list file library writes them, and each completed file is handed to
// the window to be shown.
#pragma once

#include "listhost/ListFileHost.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

class TWorkerListHost : public ListFileHost
{
public:
    // Called on the run's thread when a completed file waits for the window
    // and none waited before.
    using CompletedFile = std::function<void()>;

    // `separators` follows "Sep. milliers" on the window's thread.
    explicit TWorkerListHost(std::shared_ptr<const std::atomic<bool>> separators)
        : separators_(std::move(separators)) {}

    // Set by the run before it starts.
    void SetCompletedFile(CompletedFile completed) { completed_ = std::move(completed); }

    bool SepMilliers() const { return separators_->load(std::memory_order_relaxed); }
    bool LinesGrouped() const override { return SepMilliers(); }
    // The files are written on a thread of the run's own, while the run
    // formats the next one: the list files library and the free space it
    // consults are only used there, and the window takes completed files
    // under the lock below.
    bool FilesOffThread() const override { return true; }
    void FichierTermine(const QString &path) override
    {
        if (LastWritten().path != path)
            return;
        // Only the newest completed file is shown, so only it waits for the
        // window: a file completed meanwhile replaces it, and the buffer of
        // the one replaced goes back to the run.
        bool waited = false;
        {
            const std::lock_guard lock(mutex_);
            waited = newest_.has_value();
            newest_ = LastWritten();
        }
        if (!waited && completed_)
            completed_();
    }

    // On the window's thread: the newest completed file not taken yet.
    std::optional<WrittenFile> TakeCompleted()
    {
        const std::lock_guard lock(mutex_);
        return std::exchange(newest_, std::nullopt);
    }

private:
    std::shared_ptr<const std::atomic<bool>> separators_;
    CompletedFile completed_;
    std::mutex mutex_;
    std::optional<WrittenFile> newest_;
};
