// Factorisation into prime powers by trial division: an engine that knows
// nothing of the window; it reports each prime power as soon as it is
// known, and its progress as the count of divisors tried.
#include "core/Factorisation.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/StopToken.h"
#include "core/TrialKernel.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// Every divisor tried is counted; the count runs 1, 2, ..., kLap and then
// starts again from 0.
constexpr quint64 kLap = quint64(kDivisorsPerLap) + 1;

// The first count above c at which something is shown: the first count of
// a lap, a new bar position, or the lap's end. round() keeps a position up
// to the next half step; a tie belongs to the even neighbour, so it ends
// the range of an even value.
quint64 NextEvent(quint64 c)
{
    if (c == 0)
        return 1;
    const quint64 position = RoundHalfEven(c, kDivisorsPerStep);
    const quint64 half = kDivisorsPerStep / 2;
    const quint64 last = position * kDivisorsPerStep + (position % 2 == 0 ? half : half - 1);
    return std::min(last + 1, kLap);
}

class Factoriser
{
public:
    Factoriser(qint64 n, StopToken &stop, const FactorisationEvents &events)
        : stop_(stop), events_(events)
    {
        clock_.start();
        result_.n = n;
    }

    FactorisationResult Run();

private:
    // The counter once every candidate from d_ to `through` is counted.
    quint64 CounterAfter(quint64 through) const { return (counter_ + (through - d_ + 1)) % kLap; }
    quint64 ChunkEnd(quint64 chunkFirst, quint64 last) const;
    bool ChunkDone(quint64 chunkLast);
    void Report(quint64 counter);
    void Finish();

    StopToken &stop_;
    const FactorisationEvents &events_;
    QElapsedTimer clock_;
    FactorisationResult result_;
    // The next divisor to try, and the count before it is tried.
    quint64 d_ = 2;
    quint64 counter_ = 0;
};

quint64 Factoriser::ChunkEnd(quint64 chunkFirst, quint64 last) const
{
    // The count before chunkFirst, then the candidates up to the next count
    // that shows something.
    const quint64 before = chunkFirst == d_ ? counter_ : CounterAfter(chunkFirst - 1);
    const quint64 length = NextEvent(before) - before;
    return last - chunkFirst < length ? last : chunkFirst + (length - 1);
}

void Factoriser::Report(quint64 counter)
{
    // A count of 0 is the lap's last count, kLap, after the restart.
    const bool lapEnded = counter == 0;
    events_.progress({quint32(lapEnded ? kLap : counter), lapEnded, clock_.elapsed()});
}

bool Factoriser::ChunkDone(quint64 chunkLast)
{
    Report(CounterAfter(chunkLast));
    return stop_.Checkpoint();
}

FactorisationResult Factoriser::Run()
{
    if (stop_.Checkpoint()) {
        result_.stopped = true;
        return result_;
    }
    // The loop bound is the square root of what is left, which a negative
    // number does not have.
    if (result_.n < 0)
        throw CommandError::InvalidFloatOperation();

    quint64 x = quint64(result_.n); // the cofactor still to factorise, exact
    quint64 limit = ISqrt(x);       // d <= sqrt(x), recomputed as x shrinks
    while (d_ <= limit) {
        // Every prime below d_ that could divide x has been divided out, so
        // the search may skip the multiples of 2, 3, 5 and 7.
        const DivisorSearch found = SmallestDivisorInOrder(
            x, d_, limit, [&](quint64 first) { return ChunkEnd(first, limit); },
            [&](quint64 chunkLast) { return ChunkDone(chunkLast); });
        if (found.stopped) {
            result_.stopped = true;
            return result_;
        }
        if (found.divisor == 0)
            break;
        // The candidates before the divisor failed; the divisor itself is
        // counted once it has been divided out.
        const quint64 p = found.divisor;
        counter_ = CounterAfter(p);
        d_ = p + 1;
        PrimePower power{p, 0};
        while (x % p == 0) {
            x /= p;
            ++power.exponent;
        }
        limit = ISqrt(x);
        result_.factors.append(power);
        events_.factor(power);
        Report(counter_);
        if (stop_.Checkpoint()) {
            result_.stopped = true;
            return result_;
        }
    }
    result_.cofactor = x;
    result_.elapsedMs = clock_.elapsed();
    return result_;
}

} // namespace

qint64 FactorisationPosition(quint32 counter)
{
    return qint64(RoundHalfEven(counter, kDivisorsPerStep));
}

FactorisationResult Factorise(qint64 n, StopToken &stop, const FactorisationEvents &events)
{
    return Factoriser(n, stop, events).Run();
}
