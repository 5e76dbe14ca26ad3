// SIGINT and SIGTERM as the stop button of a terminal run: the first one is
// recorded for the run to poll, and later ones are ignored while it stops.
#include "cli/StopSignals.h"

#include <csignal>

namespace {

// Only a sig_atomic_t may be written from a handler; nothing else is done
// there, so the run never sees a file operation cut in half by a handler.
volatile std::sig_atomic_t received = 0;

extern "C" void RecordStop(int signal)
{
    // A second Ctrl+C while the current file gets its header changes
    // nothing: the stop is already under way.
    if (received == 0)
        received = signal;
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
    return received;
}

} // namespace StopSignals
