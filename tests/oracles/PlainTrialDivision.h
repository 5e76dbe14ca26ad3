// The plain trial division the kernel is checked and measured against: 2,
// then every odd number up to a bound, one hardware remainder each.
#pragma once

#include "core/TrialDivision.h"

#include <QtGlobal>
#include <algorithm>

// Tries the divisors 2, 3, 5, 7, 9, ... while they are <= limit. `counter`
// holds the divisions since the last checkpoint and carries over from one
// number to the next. When it reaches 100 000 it goes back to 0 and
// `checkpoint(d)` runs, d being the divisor the loop would try next (or the
// one found); it returns true to stop. `d` ends on the divisor found.
template <typename Checkpoint>
TrialOutcome PlainTrialDivide(quint64 value, quint64 limit, quint32 &counter, quint64 &d, Checkpoint &&checkpoint)
{
    d = 2;
    if (limit < 2)
        return TrialOutcome::NoDivisor;
    bool found = value % 2 == 0;
    if (!found)
        d = 3;
    if (++counter == kDivisionsPerCheckpoint) {
        counter = 0;
        if (checkpoint(d))
            return TrialOutcome::Stopped;
    }
    while (!found && d <= limit) {
        // The odd divisors up to the next checkpoint run in a loop of their
        // own, which holds nothing but the remainder and the bound.
        const quint64 room = kDivisionsPerCheckpoint - counter;
        quint64 last = std::min(limit, d + 2 * (room - 1));
        if ((last - d) % 2 != 0)
            --last;
        quint64 divisor = d;
        while (divisor <= last && value % divisor != 0)
            divisor += 2;
        if (divisor <= last) {
            found = true;
            counter += quint32((divisor - d) / 2 + 1);
            d = divisor;
        } else {
            counter += quint32((last - d) / 2 + 1);
            d = last + 2;
        }
        if (counter == kDivisionsPerCheckpoint) {
            counter = 0;
            if (checkpoint(d))
                return TrialOutcome::Stopped;
        }
    }
    return found ? TrialOutcome::DivisorFound : TrialOutcome::NoDivisor;
}
