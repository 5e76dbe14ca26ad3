// A long computation of a library (FLINT, primecount, primesieve) run on a
// thread of its own, so that Ctrl+C and SIGTERM end the process at once
// even in the middle of it: the calling thread waits, draws the progress
// line, and exits with 128 + the signal when one comes.
#pragma once

#include <QString>

#include <functional>

namespace BackgroundWork {

// Runs work to its end and returns; the progress line on stderr (when
// shown) gives the elapsed time and status(), read a few times a second.
// An exception of work is raised again here as a CommandError, in French.
// A stop signal ends the process from here, with nothing more written.
void Run(const std::function<void()> &work, const std::function<QString()> &status, bool showProgress);

} // namespace BackgroundWork
