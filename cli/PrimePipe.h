// The primes of a range on standard output, one per line and nothing else,
// for pipes: plain digits, or digit groups with a separator as the list
// files write them.
#pragma once

#include <QByteArray>
#include <QtGlobal>

enum class PipeOutcome {
    Finished,
    Closed,  // the reader went away (| head): a quiet end
    Stopped, // Ctrl+C or SIGTERM
    Failed,  // the output could not be written
};

// Writes the primes of [first, last] to the file descriptor; separator
// empty for plain digits, else its UTF-8 bytes (1 to 4).
PipeOutcome WritePrimes(int fd, quint64 first, quint64 last, const QByteArray &separator);
