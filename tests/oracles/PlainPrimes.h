// The primes of a range by plain trial division with 2 and every odd number
// up to the square root: the rule the lists must agree with, written
// independently of the sieve and of the trial-division kernel.
#pragma once

#include <QList>
#include <QtGlobal>

inline bool IsPrimeByPlainDivision(quint64 n)
{
    if (n < 2)
        return false;
    if (n % 2 == 0)
        return n == 2;
    // d <= n / d keeps d * d from overflowing near 2^64.
    for (quint64 d = 3; d <= n / d; d += 2)
        if (n % d == 0)
            return false;
    return true;
}

inline QList<quint64> PrimesByTrialDivision(quint64 first, quint64 last)
{
    QList<quint64> primes;
    for (quint64 n = first; n <= last; ++n) {
        if (IsPrimeByPlainDivision(n))
            primes.append(n);
        if (n == last)
            break;
    }
    return primes;
}
