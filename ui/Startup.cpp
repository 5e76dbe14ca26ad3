// The program's entry: the single-instance guard, the splash window, the
// main window and the message loop.
#include "ui/Startup.h"

#include "ui/MessageBoxes.h"
#include "ui/ReMainForm.h"

#include <QApplication>

int RunTavorine(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
