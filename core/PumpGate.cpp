// A cheap gate in front of the message pump, for loops that would pump at
// every step: it pumps only when a few milliseconds have passed.
#include "core/PumpGate.h"

#include "core/RunHost.h"

PumpGate::PumpGate(RunHost &host, qint64 intervalNs)
    : host_(host), intervalNs_(intervalNs)
{
    sincePump_.start();
}

bool PumpGate::Check()
{
    countdown_ = kStride;
    if (sincePump_.nsecsElapsed() < intervalNs_)
        return false;
    host_.ProcessMessages();
    sincePump_.restart();
    return true;
}
