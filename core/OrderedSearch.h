// One divisor search shared by the calling thread and helper threads, its
// chunks passed on in order as if one thread had walked them.
#pragma once

#include "core/TrialKernel.h"

#include <QtGlobal>

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <limits>
#include <mutex>
#include <vector>

// Chunks are numbered in order; those handed out but not yet passed through
// chunkDone live in a ring of `window` slots, which is what bounds how far
// helpers run ahead. Helpers share the object (a shared_ptr), since one may
// still be inside a chunk when the calling thread has its answer.
class OrderedSearch
{
public:
    // The smallest divisor in [first, last] of the number searched, 0 when
    // there is none.
    using RangeSearch = std::function<quint64(quint64 first, quint64 last)>;

    OrderedSearch(RangeSearch divisorIn, quint64 first, quint64 last,
                  const std::function<quint64(quint64)> &chunkEnd, std::size_t window);

    // A helper's share: chunks until none is left to take.
    void Help();

    // The calling thread's share: it passes the chunks through chunkDone in
    // order, and computes chunks itself until the next one is done.
    DivisorSearch Run(const std::function<bool(quint64)> &chunkDone);

private:
    struct Chunk {
        std::size_t index = 0;
        quint64 first = 0;
        quint64 last = 0;
        quint64 divisor = 0;
        bool done = false;
    };

    // No chunk is left to hand out, now or later.
    bool Over() const { return finished_ || exhausted_ || handedOut_ > foundAt_; }
    bool Take(std::size_t &index);
    void Compute(std::unique_lock<std::mutex> &lock, std::size_t index);
    DivisorSearch Finish(DivisorSearch result);

    const RangeSearch divisorIn_;
    const quint64 last_;
    std::mutex mutex_;
    std::condition_variable roomFreed_; // a slot is free, or the search is over
    quint64 next_;
    const std::function<quint64(quint64)> *chunkEnd_;
    std::vector<Chunk> ring_;
    std::size_t handedOut_ = 0;
    std::size_t consumed_ = 0;
    std::size_t foundAt_ = std::numeric_limits<std::size_t>::max();
    bool exhausted_ = false;
    bool finished_ = false;
};
