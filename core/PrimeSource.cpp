// The primes of a range, sieved by libprimesieve on a worker thread and
// handed to the caller's thread in blocks through a small bounded queue.
#include "core/PrimeSource.h"

#include "core/ThreadName.h"

#include <primesieve.hpp>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// Workers that were let go while still sieving: each is joined once it has
// ended. One still inside a sieving step when the process exits is left to
// end with it: it holds only its own shared state, no file and nothing of
// the caller's, and waiting for it would keep a closed window's process
// alive for seconds near 2^63.
class Reaper
{
public:
    static Reaper &Instance()
    {
        static Reaper reaper;
        return reaper;
    }

    void Adopt(std::thread thread, std::shared_ptr<std::atomic<bool>> ended)
    {
        const std::lock_guard lock(mutex_);
        JoinEnded();
        workers_.push_back({std::move(thread), std::move(ended)});
    }

    ~Reaper()
    {
        const std::lock_guard lock(mutex_);
        for (Worker &worker : workers_) {
            if (worker.ended->load())
                worker.thread.join();
            else
                worker.thread.detach();
        }
    }

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };

    void JoinEnded()
    {
        for (auto it = workers_.begin(); it != workers_.end();) {
            if (it->ended->load()) {
                it->thread.join();
                it = workers_.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::mutex mutex_;
    std::vector<Worker> workers_;
};

// Blocks waiting in the queue: enough for the sieve to run a few
// milliseconds ahead of the consumer, little enough to stay small (2 MiB).
constexpr std::size_t kQueueBlocks = 4;
// A block also ends once its primes span this share of the range, so that
// where primes are sparse and slow to sieve the consumer still sees the
// range go by in small steps.
constexpr quint64 kBlocksPerRangeAtLeast = 256;

} // namespace

struct PrimeSource::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Block> queue;
    std::vector<std::vector<quint64>> spare;
    bool stop = false;
    std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
    std::thread worker;

    // Waits for room; false when the consumer has gone.
    bool Push(Block &&block)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return stop || queue.size() < kQueueBlocks; });
        if (stop)
            return false;
        queue.push_back(std::move(block));
        // The consumer waits only for an empty queue to get a block.
        if (queue.size() == 1)
            changed.notify_all();
        return true;
    }

    std::vector<quint64> TakeSpare()
    {
        std::vector<quint64> primes;
        {
            const std::lock_guard lock(mutex);
            if (!spare.empty()) {
                primes = std::move(spare.back());
                spare.pop_back();
            }
        }
        primes.clear();
        primes.reserve(kBlockSize);
        return primes;
    }

    bool Stopping()
    {
        const std::lock_guard lock(mutex);
        return stop;
    }

    void Produce(quint64 first, quint64 last);
};

void PrimeSource::Shared::Produce(quint64 first, quint64 last)
{
    const quint64 span = std::max<quint64>((last - first) / kBlocksPerRangeAtLeast, 1);
    Block block;
    block.primes = TakeSpare();
    try {
        primesieve::iterator it(first, last);
        for (;;) {
            it.generate_next_primes();
            if (Stopping())
                return;
            const std::uint64_t *begin = it.primes_;
            const std::uint64_t *end = it.primes_ + it.size_;
            // The sieve runs past the end of the range to its next prime.
            const std::uint64_t *inRange = std::upper_bound(begin, end, std::uint64_t(last));
            while (begin != inRange) {
                const std::size_t room = kBlockSize - block.primes.size();
                const std::uint64_t *take = begin + std::min<std::size_t>(room, std::size_t(inRange - begin));
                // Primes from start + span on go to the next block; start
                // + span stays below 2^64, as both are below 2^63.
                const quint64 start = block.primes.empty() ? *begin : block.primes.front();
                const std::uint64_t *within = std::lower_bound(begin, take, std::uint64_t(start + span));
                block.primes.insert(block.primes.end(), begin, within);
                begin = within;
                if (block.primes.size() == kBlockSize || within != take) {
                    if (!Push(std::move(block)))
                        return;
                    block = Block{TakeSpare(), false};
                }
            }
            if (inRange != end)
                break;
        }
    } catch (...) {
        // Only memory can run out here; the consumer sees the range end
        // early, which it reports as an error.
        block.primes.clear();
        block.failed = true;
    }
    block.last = true;
    Push(std::move(block));
}

PrimeSource::PrimeSource(quint64 first, quint64 last)
    : shared_(std::make_shared<Shared>())
{
    // The worker holds the shared state, so it outlives this object if it
    // is let go in the middle of a sieving step.
    shared_->worker = std::thread([shared = shared_, first, last] {
        NameThisThread("tvr-sieve");
        shared->Produce(first, last);
        shared->ended->store(true);
    });
}

PrimeSource::~PrimeSource()
{
    Abandon();
}

bool PrimeSource::Next(Block &block, std::chrono::microseconds wait)
{
    std::unique_lock lock(shared_->mutex);
    if (!shared_->changed.wait_for(lock, wait, [this] { return !shared_->queue.empty(); }))
        return false;
    block = std::move(shared_->queue.front());
    shared_->queue.pop_front();
    // The sieve waits only for a full queue to get room.
    if (shared_->queue.size() == kQueueBlocks - 1)
        shared_->changed.notify_all();
    return true;
}

void PrimeSource::Recycle(std::vector<quint64> &&primes)
{
    const std::lock_guard lock(shared_->mutex);
    if (shared_->spare.size() < kQueueBlocks)
        shared_->spare.push_back(std::move(primes));
}

void PrimeSource::Abandon()
{
    if (!shared_->worker.joinable())
        return;
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
        shared_->queue.clear();
    }
    shared_->changed.notify_all();
    if (shared_->ended->load())
        shared_->worker.join();
    else
        Reaper::Instance().Adopt(std::move(shared_->worker), shared_->ended);
}
