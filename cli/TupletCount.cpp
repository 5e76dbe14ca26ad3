// Prime pairs and tuplets inside a range, with primesieve's definitions:
// every member of a group lies in [first, last].
#include "cli/TupletCount.h"

#include <primesieve.hpp>

#include <array>

namespace {

constexpr std::array<std::pair<Tuplet, const char *>, 7> kOptions = {{
    {Tuplet::Twins, "--jumeaux"},
    {Tuplet::Cousins, "--cousins"},
    {Tuplet::Sexy, "--sexy"},
    {Tuplet::Triplets, "--triplets"},
    {Tuplet::Quadruplets, "--quadruplets"},
    {Tuplet::Quintuplets, "--quintuplets"},
    {Tuplet::Sextuplets, "--sextuplets"},
}};

// Pairs (p, p + gap), both in [first, last]: libprimesieve counts twins and
// tuplets, not these, so the primes are walked once, keeping the three
// before the current one (between p and p + 6 there are at most three).
quint64 CountPairs(quint64 gap, quint64 first, quint64 last)
{
    if (last < gap || last - gap < first)
        return 0;
    primesieve::iterator primes(first, last);
    std::array<quint64, 3> before = {0, 0, 0};
    quint64 count = 0;
    for (primes.generate_next_primes(); primes.size_ > 0; primes.generate_next_primes()) {
        for (std::size_t i = 0; i < primes.size_; ++i) {
            const quint64 p = primes.primes_[i];
            if (p > last)
                return count;
            count += (before[0] + gap == p || before[1] + gap == p || before[2] + gap == p) ? 1 : 0;
            before = {before[1], before[2], p};
        }
        if (primes.primes_[primes.size_ - 1] >= last)
            break;
    }
    return count;
}

} // namespace

QString TupletOption(Tuplet kind)
{
    for (const auto &[k, name] : kOptions) {
        if (k == kind)
            return QString::fromLatin1(name);
    }
    return {};
}

std::optional<Tuplet> TupletOfOption(const QString &option)
{
    for (const auto &[kind, name] : kOptions) {
        if (option == QLatin1String(name))
            return kind;
    }
    return std::nullopt;
}

quint64 CountTuplets(Tuplet kind, quint64 first, quint64 last)
{
    switch (kind) {
    case Tuplet::Twins:
        return primesieve::count_twins(first, last);
    case Tuplet::Cousins:
        return CountPairs(4, first, last);
    case Tuplet::Sexy:
        return CountPairs(6, first, last);
    case Tuplet::Triplets:
        return primesieve::count_triplets(first, last);
    case Tuplet::Quadruplets:
        return primesieve::count_quadruplets(first, last);
    case Tuplet::Quintuplets:
        return primesieve::count_quintuplets(first, last);
    case Tuplet::Sextuplets:
        return primesieve::count_sextuplets(first, last);
    }
    return 0;
}
