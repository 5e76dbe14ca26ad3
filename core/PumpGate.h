// A cheap gate in front of the message pump, for loops that would pump at
// every step: it pumps only when a few milliseconds have passed.
#pragma once

#include <QElapsedTimer>

class RunHost;

class PumpGate
{
public:
    explicit PumpGate(RunHost &host, qint64 intervalNs = 4'000'000);

    // Called at every step; true when pending messages were processed.
    bool Tick()
    {
        if (--countdown_ > 0)
            return false;
        return Check();
    }

    // Steps left until the next call of Tick looks at the clock, and a way
    // to count steps a loop took without calling Tick for each (fewer than
    // StepsToCheck).
    int StepsToCheck() const { return countdown_; }
    void Skip(int steps) { countdown_ -= steps; }

private:
    bool Check();

    // Steps between two looks at the clock: a trial divisor costs well
    // under a nanosecond with SIMD and about one without, so the clock is
    // read every few to every hundred microseconds.
    static constexpr int kStride = 1 << 16;

    RunHost &host_;
    qint64 intervalNs_;
    int countdown_ = kStride;
    QElapsedTimer sincePump_;
};
