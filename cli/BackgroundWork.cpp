// A long computation of a library run on a thread of its own, so that
// Ctrl+C and SIGTERM end the process at once even in the middle of it.
#include "cli/BackgroundWork.h"

#include "cli/StopSignals.h"

#include "core/CommandError.h"
#include "core/ThreadName.h"
#include "presentation/CliTexts.h"
#include "presentation/ElapsedText.h"

#include <QElapsedTimer>
#include <QLocale>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <unistd.h>

namespace {

// How often the waiting thread looks at the signals and the progress: a
// stop is seen within this time.
constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr qint64 kRedrawMs = 100;

void WriteError(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

namespace BackgroundWork {

void Run(const std::function<void()> &work, const std::function<QString()> &status, bool showProgress)
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr failure;
    std::thread worker([&] {
        NameThisThread("tvr-run");
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(mutex);
        done = true;
        finished.notify_one();
    });

    QElapsedTimer clock;
    clock.start();
    qint64 drawnAt = -kRedrawMs;
    bool shown = false;
    std::unique_lock lock(mutex);
    while (!finished.wait_for(lock, kPollInterval, [&] { return done; })) {
        if (const int signal = StopSignals::Received(); signal != 0) {
            if (shown)
                WriteError(QStringLiteral("\r\033[K"));
            // The library's thread cannot be interrupted; the process ends
            // around it, and nothing of the run was written.
            std::fflush(stdout);
            _exit(128 + signal);
        }
        if (showProgress && clock.elapsed() - drawnAt >= kRedrawMs && clock.elapsed() >= 500) {
            drawnAt = clock.elapsed();
            WriteError(QStringLiteral("\r%1  %2\033[K")
                           .arg(ClockText(drawnAt, QLocale(QLocale::French, QLocale::France)), status()));
            shown = true;
        }
    }
    lock.unlock();
    worker.join();
    if (shown)
        WriteError(QStringLiteral("\r\033[K"));
    if (!failure)
        return;
    try {
        std::rethrow_exception(failure);
    } catch (const CommandError &) {
        throw;
    } catch (const CliTexts::Refusal &) {
        throw;
    } catch (const std::bad_alloc &) {
        throw CliTexts::Refusal(CliTexts::OutOfMemory());
    } catch (const std::exception &error) {
        throw CliTexts::Refusal(CliTexts::LibraryFailure(QString::fromUtf8(error.what())));
    }
}

} // namespace BackgroundWork
