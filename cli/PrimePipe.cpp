// The primes of a range on standard output, one per line and nothing else,
// for pipes.
#include "cli/PrimePipe.h"

#include "cli/StopSignals.h"
#include "core/PrimeText.h"

#include <primesieve.hpp>

#include <cerrno>
#include <vector>
#include <unistd.h>

namespace {

// Written in blocks of this size: large enough that the system calls cost
// nothing beside the formatting, small enough to stay in the cache.
constexpr std::size_t kBlock = 1 << 18;

// write() until everything is out; errno tells a closed pipe from a failure.
bool WriteAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

// One line of v: plain or grouped digits, then "\n" (a pipe's line end,
// where the files have CR LF).
template <int SepLength> inline char *PipeLine(char *out, quint64 v, const char *sep)
{
    const int digits = PrimeText::DigitCount(v);
    char *end;
    if constexpr (SepLength == 0) {
        (void)sep;
        end = PrimeText::PlainLineOf(out, v, digits);
    } else {
        end = PrimeText::GroupedLineOf<SepLength>(out, v, sep, digits);
    }
    end[-2] = '\n';
    return end - 1;
}

template <int SepLength> PipeOutcome WriteLines(int fd, quint64 first, quint64 last, const char *sep)
{
    std::vector<char> buffer(kBlock + PrimeText::kMaxLine);
    char *const begin = buffer.data();
    char *const full = begin + kBlock;
    char *out = begin;
    const auto flush = [&] {
        const bool ok = WriteAll(fd, begin, std::size_t(out - begin));
        out = begin;
        return ok;
    };
    primesieve::iterator primes(first, last);
    bool more = first <= last;
    while (more) {
        primes.generate_next_primes();
        for (std::size_t i = 0; i < primes.size_; ++i) {
            const quint64 p = primes.primes_[i];
            if (p > last) {
                more = false;
                break;
            }
            out = PipeLine<SepLength>(out, p, sep);
            if (out >= full) {
                if (StopSignals::Received() != 0)
                    return PipeOutcome::Stopped;
                if (!flush())
                    return errno == EPIPE ? PipeOutcome::Closed : PipeOutcome::Failed;
            }
        }
        if (more && primes.primes_[primes.size_ - 1] >= last)
            more = false;
    }
    if (StopSignals::Received() != 0)
        return PipeOutcome::Stopped;
    if (!flush())
        return errno == EPIPE ? PipeOutcome::Closed : PipeOutcome::Failed;
    return PipeOutcome::Finished;
}

} // namespace

PipeOutcome WritePrimes(int fd, quint64 first, quint64 last, const QByteArray &separator)
{
    const char *sep = separator.constData();
    switch (separator.size()) {
    case 0:
        return WriteLines<0>(fd, first, last, sep);
    case 1:
        return WriteLines<1>(fd, first, last, sep);
    case 2:
        return WriteLines<2>(fd, first, last, sep);
    case 3:
        return WriteLines<3>(fd, first, last, sep);
    default:
        return WriteLines<4>(fd, first, last, sep);
    }
}
