// The list files of a run of the window, on the thread that computes it:
// the list file library writes them, and each completed file is handed to
// the window to be shown.
#pragma once

#include "listhost/ListFileHost.h"

#include <atomic>
#include <functional>
#include <memory>

class TWorkerListHost : public ListFileHost
{
public:
    using CompletedFile = std::function<void(const WrittenFile &file)>;

    // `separators` follows "Sep. milliers" on the window's thread.
    explicit TWorkerListHost(std::shared_ptr<const std::atomic<bool>> separators)
        : separators_(std::move(separators)) {}

    // Set by the run before it starts.
    void SetCompletedFile(CompletedFile completed) { completed_ = std::move(completed); }

    bool SepMilliers() const override { return separators_->load(std::memory_order_relaxed); }
    void FichierTermine(const QString &path) override
    {
        if (completed_ && LastWritten().path == path)
            completed_(LastWritten());
    }

private:
    std::shared_ptr<const std::atomic<bool>> separators_;
    CompletedFile completed_;
};
