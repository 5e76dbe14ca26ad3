// The main window alone, as the program shows it, for the test that reads it
// over the desktop's accessibility bus; no instance guard, so that a Tavorine
// running beside it on the machine does not stop the test.
#include "ui/common/MessageBoxes.h"
#include "ui/window/MainForm.h"
#include "ui/startup/Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    InstallerTraductionsQt(app);
    TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
