// SIGINT and SIGTERM as the stop button of a terminal run: the first one is
// recorded for the run to poll, and later ones are ignored while it stops.
#pragma once

namespace StopSignals {

// Installs the handlers; call before any file of a run is created.
void Install();

// The signal that asked for the stop, or 0 while none came.
int Received();

} // namespace StopSignals
