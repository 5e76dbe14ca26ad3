// The window as the list generation sees it: what a run shows, plus the
// message pump and the stop request.
#pragma once

#include "core/RunView.h"

class RunHost : public RunView
{
public:
    // Run control: handle pending window messages, then say whether the user
    // asked to stop; RazFin resets the window after a stopped run.
    virtual void ProcessMessages() = 0;
    virtual bool ArretDemande() const = 0;
    virtual void RazFin() = 0;
};
