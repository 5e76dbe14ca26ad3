// The three runs shown on a test's stand-in for the window, computed on the
// test's thread: each checkpoint pumps the stand-in, and a stop asked for at
// a pump ends the run there, leaving what RazFin leaves.
#pragma once

#include "presentation/InlineRun.h"
#include "core/StopToken.h"

template <typename Host> CheckpointHook PumpHook(Host &host, StopToken &stop)
{
    return [&host, &stop] {
        host.ProcessMessages();
        if (host.ArretDemande())
            stop.RequestStop();
    };
}

template <typename Host> void Verifier(Host &host, qint64 n)
{
    StopToken stop;
    if (RunVerification(host, n, stop, PumpHook(host, stop)).stopped)
        host.RazFin();
}

template <typename Host> void Decomposer(Host &host, qint64 n)
{
    StopToken stop;
    if (RunFactorisation(host, n, stop, PumpHook(host, stop)).stopped)
        host.RazFin();
}

template <typename Host>
void Generer(Host &host, qint64 first, qint64 last, const QString &firstText, const QString &lastText,
             const QString &separator)
{
    StopToken stop;
    RunList(host, host, first, last, firstText, lastText, separator, stop, PumpHook(host, stop));
}
