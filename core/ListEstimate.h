// What a prime list will be before it starts: its primes, files, bytes on
// disk and duration, computed in at most about 0.2 s for any range.
#pragma once

#include <QtGlobal>

// The byte lengths that shape the files of a list, as its host encodes them.
struct ListShape {
    // Line 1 of file 1 (the name chosen in the save dialog) and the base name
    // "NP_start-end_" of the continuation files, in bytes.
    qsizetype firstNameBytes = 0;
    qsizetype baseNameBytes = 0;
    // Whether number lines are grouped, and the bytes between digit groups in the number
    // lines (at most 4 are written) and in the header's count.
    bool separators = false;
    int numberSeparatorBytes = 1;
    int countSeparatorBytes = 1;
    // The label before the count in the header's second line, in bytes.
    qsizetype countLabelBytes = 0;
};

struct ListEstimate {
    // Primes of the range; exact is false when they come from the
    // logarithmic integral ("environ"), and then the bytes are estimated too.
    quint64 primes = 0;
    bool exact = true;
    // Files the list writes: always exact.
    qint64 files = 1;
    // Bytes of every file, headers included.
    quint64 bytes = 0;
    // Expected duration at this machine's speed, in seconds.
    double seconds = 0;
};

// The list of [first, last] as the generation writes it (a start below 2
// counts from 2) with the given shape. The first estimate of a process
// measures the machine's pace (a few milliseconds), unless
// MeasurePaceAhead did it already.
ListEstimate EstimateList(qint64 first, qint64 last, const ListShape &shape);
// Measures the machine's pace on a thread of its own, once per process, so
// that a window's first estimate does not spend that time on its thread.
void MeasurePaceAhead();
