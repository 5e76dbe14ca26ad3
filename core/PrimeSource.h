// The primes of a range, sieved by libprimesieve on a worker thread and
// handed to the caller's thread in blocks through a small bounded queue.
#pragma once

#include <QtGlobal>

#include <chrono>
#include <memory>
#include <vector>

class PrimeSource
{
public:
    struct Block {
        std::vector<quint64> primes;
        // No prime of the range comes after this block.
        bool last = false;
        // The sieve could not go on (memory ran out); the range is not done.
        bool failed = false;
    };

    // Starts sieving [first, last] at once; first <= last.
    PrimeSource(quint64 first, quint64 last);
    // Stops the worker without waiting for it (see Abandon).
    ~PrimeSource();
    PrimeSource(const PrimeSource &) = delete;
    PrimeSource &operator=(const PrimeSource &) = delete;

    // Waits at most `wait` for the next block; false when none came in time.
    // A block's vector may be handed back through Recycle.
    bool Next(Block &block, std::chrono::microseconds wait);
    void Recycle(std::vector<quint64> &&primes);

    // Asks the worker to stop and lets it go. The worker may still be inside
    // one long sieving step (near 2^63 the first one builds every prime up to
    // 3·10^9 and takes seconds); it is joined when it ends, or left to end
    // with the process, so neither the caller nor the exit waits for it.
    void Abandon();

    // Primes per block at most: small enough that the caller handles one
    // block in a tenth of a millisecond and that the blocks in flight touch
    // few pages (a page touched for the first time costs about 10 µs in a
    // virtual machine), large enough that handing blocks over (a wake-up of
    // the other thread each time, which costs tens of microseconds there)
    // costs next to nothing.
    static constexpr std::size_t kBlockSize = 65536;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};
