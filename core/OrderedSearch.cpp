// One divisor search shared by the calling thread and helper threads, its
// chunks passed on in order as if one thread had walked them.
#include "core/OrderedSearch.h"

#include <algorithm>
#include <utility>

OrderedSearch::OrderedSearch(RangeSearch divisorIn, quint64 first, quint64 last,
                             const std::function<quint64(quint64)> &chunkEnd, std::size_t window)
    : divisorIn_(std::move(divisorIn)), last_(last), next_(first), chunkEnd_(&chunkEnd), ring_(window)
{
}

void OrderedSearch::Help()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        std::size_t index = 0;
        if (Take(index)) {
            Compute(lock, index);
            continue;
        }
        if (Over())
            return;
        roomFreed_.wait(lock);
    }
}

DivisorSearch OrderedSearch::Run(const std::function<bool(quint64)> &chunkDone)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        Chunk &chunk = ring_[consumed_ % ring_.size()];
        if (consumed_ < handedOut_ && chunk.done) {
            if (chunk.divisor != 0)
                return Finish({chunk.divisor, false});
            const quint64 chunkLast = chunk.last;
            lock.unlock();
            const bool stop = chunkDone(chunkLast);
            lock.lock();
            if (stop || chunkLast == last_)
                return Finish({0, stop});
            ++consumed_;
            roomFreed_.notify_all();
            continue;
        }
        // Otherwise a new chunk, while one may be handed out. When none
        // may, the chunk awaited is with a helper, which on a busy
        // machine may not even be running: this thread computes it too,
        // and the first result counts, so it never waits for another.
        std::size_t index = 0;
        if (!Take(index)) {
            Q_ASSERT(consumed_ < handedOut_);
            index = consumed_;
        }
        Compute(lock, index);
    }
}

bool OrderedSearch::Take(std::size_t &index)
{
    if (Over() || handedOut_ - consumed_ >= ring_.size())
        return false;
    const quint64 first = next_;
    const quint64 last = std::clamp((*chunkEnd_)(first), first, last_);
    if (last == last_)
        exhausted_ = true;
    else
        next_ = last + 1;
    index = handedOut_++;
    ring_[index % ring_.size()] = Chunk{index, first, last, 0, false};
    return true;
}

void OrderedSearch::Compute(std::unique_lock<std::mutex> &lock, std::size_t index)
{
    const quint64 first = ring_[index % ring_.size()].first;
    const quint64 last = ring_[index % ring_.size()].last;
    lock.unlock();
    const quint64 divisor = divisorIn_(first, last);
    lock.lock();
    // Chunks above one that holds a divisor can only give larger ones.
    if (divisor != 0)
        foundAt_ = std::min(foundAt_, index);
    // The slot may hold the same result already, or a later chunk.
    Chunk &chunk = ring_[index % ring_.size()];
    if (chunk.index != index || chunk.done)
        return;
    chunk.divisor = divisor;
    chunk.done = true;
}

DivisorSearch OrderedSearch::Finish(DivisorSearch result)
{
    // Helpers may still be inside a chunk; they own a share of this
    // object and leave at their next look, without calling chunkEnd.
    finished_ = true;
    roomFreed_.notify_all();
    return result;
}
