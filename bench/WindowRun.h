// A start of the real window, timed until its run has ended: runs compute
// on a worker thread, so the benchmark handles the window's events
// meanwhile, as the application's own loop would.
#pragma once

#include "ui/ReMainForm.h"

#include <QCoreApplication>
#include <QPushButton>

inline void StartAndWait(TMainForm &form, QPushButton *start)
{
    start->click();
    while (form.TraitementEnCours())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
