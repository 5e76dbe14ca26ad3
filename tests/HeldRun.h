// The window's real engines held at a checkpoint: the checkpoint reaches the
// window, then the engine waits there until the test lets it go or a stop is
// asked. A stop, a close or a change made meanwhile lands in a run known to
// be under way, however fast the machine is.
#pragma once

#include "core/Generation.h"
#include "core/StopToken.h"
#include "core/Verification.h"
#include "ui/window/MainForm.h"

#include <QSemaphore>
#include <QTest>

#include <atomic>
#include <memory>

class HeldRun
{
public:
    // A verification is held at its first checkpoint; a list at its first
    // checkpoint after primes were stored, or at its very first one.
    explicit HeldRun(bool listAfterPrimes = true) : listAfterPrimes_(listAfterPrimes) {}

    // Engines for TMainForm::SetEngines.
    TMainForm::Engines Engines() const
    {
        TMainForm::Engines engines;
        engines.verify = [gate = gate_](qint64 n, StopToken &stop, const VerificationProgress &progress) {
            return Verify(n, stop, [&](const VerificationCheckpoint &checkpoint) {
                progress(checkpoint);
                gate->Hold(stop);
            });
        };
        engines.generate = [gate = gate_, afterPrimes = listAfterPrimes_](ListHost &host, const ListRequest &request, StopToken &stop,
                                          const ListProgressFn &progress) {
            return GenerateList(host, request, stop, [&](const ListProgress &p) {
                progress(p);
                if (p.handledAny || !afterPrimes)
                    gate->Hold(stop);
            });
        };
        return engines;
    }

    // Handles events until the engine is held; false when the run ended
    // first.
    bool WaitHeld(const TMainForm *form) const
    {
        return QTest::qWaitFor([&] { return gate_->held || !form->TraitementEnCours(); }, 120000) && gate_->held
               && form->TraitementEnCours();
    }
    // Lets the engine go on; it is not held again.
    void Release() const { gate_->open.release(); }

private:
    struct Gate {
        std::atomic<bool> held = false;
        QSemaphore open;
        void Hold(StopToken &stop)
        {
            if (held.exchange(true))
                return;
            // A stop confirmed meanwhile (the window waits for the run as it
            // closes) lets the run go to its next checkpoint and end there.
            while (!open.tryAcquire(1, 1))
                if (stop.StopRequested())
                    return;
        }
    };
    bool listAfterPrimes_;
    // Shared with the engines, which may outlive the test's object.
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
};
