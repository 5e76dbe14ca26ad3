// SIGINT and SIGTERM as the stop button of a terminal run: the first one is
// recorded for the run to poll, and later ones are ignored while it stops.
#include "cli/StopSignals.h"

#include <atomic>
#include <csignal>

namespace {

// A lock-free atomic may be written from a handler, and the handler may run
// on the sieving thread as well as on the run's; nothing else is done there,
// so no file operation is ever cut in half by a handler.
std::atomic<int> received{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void RecordStop(int signal)
{
    // A second Ctrl+C while the current file gets its header changes
    // nothing: the stop is already under way.
    int none = 0;
    received.compare_exchange_strong(none, signal);
}

} // namespace

namespace StopSignals {

void Install()
{
    struct sigaction action = {};
    action.sa_handler = RecordStop;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    // Writes interrupted by the signal resume instead of failing.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int Received()
{
    return received.load();
}

} // namespace StopSignals
