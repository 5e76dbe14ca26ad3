// Primes of any size through FLINT: a proven verdict, the factorisation
// into prime powers, the next and the previous prime.
#include "cli/BigPrimes.h"

#include <flint/aprcl.h>
#include <flint/fmpz_factor.h>
#include <flint/qsieve.h>
#include <flint/thread_support.h>
#include <flint/ulong_extras.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace {

// Small primes are divided out first, so that the progress line counts
// them at once and FLINT's methods only see the hard part.
constexpr ulong kTrialLimit = 100'000;

void AddPower(QList<BigPrimes::Power> &powers, const fmpz *prime, quint32 exponent)
{
    for (BigPrimes::Power &power : powers) {
        if (fmpz_equal(power.prime.get(), prime)) {
            power.exponent += exponent;
            return;
        }
    }
    BigPrimes::Power power;
    fmpz_set(power.prime.get(), prime);
    power.exponent = exponent;
    powers.append(power);
}

// Above this many digits a part without small factors goes to the quadratic
// sieve on every core; below, fmpz_factor's own choice is quicker.
constexpr int kSieveDigits = 40;

// Splits a composite part into factors, not all of them prime. FLINT's
// fmpz_factor sieves on one thread after a long elliptic-curve search; a
// short search for factors of up to about 15 digits, then the sieve on
// every core, halves the time of two 30-digit factors. plain: fmpz_factor
// alone, for a part the sieve did not split.
void SplitComposite(fmpz_factor_t factors, const BigNumber &part, bool plain)
{
    BigNumber root;
    if (const int k = fmpz_is_perfect_power(root.get(), part.get()); k > 1) {
        _fmpz_factor_append(factors, root.get(), ulong(k));
        return;
    }
    if (plain || part.DigitCount() < kSieveDigits) {
        fmpz_factor(factors, part.get());
        return;
    }
    flint_rand_t state;
    flint_randinit(state);
    BigNumber found;
    const int ecm = fmpz_factor_ecm(found.get(), 25, 2'000, 200'000, state, part.get());
    flint_randclear(state);
    if (ecm > 0 && fmpz_cmp_ui(found.get(), 1) > 0 && !(found == part)) {
        BigNumber other;
        fmpz_divexact(other.get(), part.get(), found.get());
        _fmpz_factor_append(factors, found.get(), 1);
        _fmpz_factor_append(factors, other.get(), 1);
        return;
    }
    flint_set_num_threads(int(std::max(1u, std::thread::hardware_concurrency())));
    qsieve_factor(factors, part.get());
}

} // namespace

namespace BigPrimes {

bool IsPrime(const BigNumber &n)
{
    if (fmpz_cmp_ui(n.get(), 2) < 0)
        return false;
    const int verdict = fmpz_is_prime(n.get());
    if (verdict >= 0)
        return verdict == 1;
    // FLINT could not settle it by its quick proofs: APR-CL always does.
    return aprcl_is_prime(n.get()) == 1;
}

QList<Power> Factorise(const BigNumber &n, FactorisationState &state)
{
    QList<Power> powers;
    BigNumber rest = n;
    const auto report = [&] {
        state.factorsFound.store(int(powers.size()));
        state.digitsLeft.store(fmpz_is_one(rest.get()) ? 0 : rest.DigitCount());
    };
    report();
    for (ulong p = 2; p < kTrialLimit && !fmpz_is_one(rest.get()); p = n_nextprime(p, 1)) {
        quint32 exponent = 0;
        while (fmpz_fdiv_ui(rest.get(), p) == 0) {
            fmpz_divexact_ui(rest.get(), rest.get(), p);
            ++exponent;
        }
        if (exponent > 0) {
            const BigNumber prime{qint64(p)};
            AddPower(powers, prime.get(), exponent);
            report();
        }
    }
    // The parts still to split, each with the multiplicity it stands for,
    // and whether the sieve already failed to split it.
    struct Part {
        BigNumber number;
        quint32 multiplicity = 1;
        bool plain = false;
    };
    QList<Part> pending;
    if (!fmpz_is_one(rest.get()))
        pending.append({rest, 1, false});
    while (!pending.isEmpty()) {
        const Part taken = pending.takeLast();
        const BigNumber &part = taken.number;
        const quint32 multiplicity = taken.multiplicity;
        if (IsPrime(part)) {
            AddPower(powers, part.get(), multiplicity);
            report();
            continue;
        }
        fmpz_factor_t factors;
        fmpz_factor_init(factors);
        SplitComposite(factors, part, taken.plain);
        for (slong i = 0; i < factors->num; ++i) {
            BigNumber factor;
            fmpz_set(factor.get(), factors->p + i);
            const quint32 exponent = multiplicity * quint32(factors->exp[i]);
            // FLINT's factors are checked by the proof as well; one that
            // fails it is split again.
            if (IsPrime(factor)) {
                AddPower(powers, factor.get(), exponent);
                report();
            } else if (!(factor == part)) {
                pending.append({factor, exponent, false});
            } else if (!taken.plain) {
                pending.append({factor, exponent, true});
            } else {
                fmpz_factor_clear(factors);
                throw std::runtime_error("FLINT n'a pas séparé un facteur composé");
            }
        }
        fmpz_factor_clear(factors);
    }
    std::sort(powers.begin(), powers.end(), [](const Power &a, const Power &b) { return a.prime < b.prime; });
    return powers;
}

BigNumber NextPrime(const BigNumber &n)
{
    BigNumber next;
    if (fmpz_cmp_ui(n.get(), 2) < 0) {
        fmpz_set_ui(next.get(), 2);
        return next;
    }
    fmpz_set(next.get(), n.get());
    do {
        // FLINT's search with proof; the loop is the fallback of IsPrime.
        fmpz_nextprime(next.get(), next.get(), 0);
    } while (!IsPrime(next));
    return next;
}

BigNumber PreviousPrime(const BigNumber &n)
{
    BigNumber previous;
    fmpz_sub_ui(previous.get(), n.get(), 1);
    if (fmpz_cmp_ui(previous.get(), 2) <= 0)
        return previous;
    if (fmpz_is_even(previous.get()))
        fmpz_sub_ui(previous.get(), previous.get(), 1);
    // Odd candidates downwards: the probable-prime test rejects composite
    // ones quickly, and only the first survivor is proven.
    while (!(fmpz_is_probabprime(previous.get()) && IsPrime(previous)))
        fmpz_sub_ui(previous.get(), previous.get(), 2);
    return previous;
}

} // namespace BigPrimes
