// A start of the real window, timed until its run has ended: runs compute
// on a worker thread, so the benchmark handles the window's events
// meanwhile, as the application's own loop would.
#pragma once

#include "ui/window/MainForm.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QWindow>

// Shows the window on one of its pages and handles its events until it is
// exposed and has painted itself once, as a window on a screen has before
// anyone can press its button; otherwise the first run would be timed with
// the window's first paint.
inline void ShowAndPaint(TMainForm &form, const QString &page)
{
    form.show();
    form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentWidget(form.findChild<QWidget *>(page));
    QElapsedTimer shown;
    shown.start();
    while (!(form.windowHandle() && form.windowHandle()->isExposed()) && shown.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    form.repaint();
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

inline void StartAndWait(TMainForm &form, QPushButton *start)
{
    start->click();
    while (form.TraitementEnCours())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
