// The program's entry: the single-instance guard, the splash window, the
// main window and the message loop.
#include "ui/Startup.h"

#include "ui/InstanceGuard.h"
#include "ui/MessageBoxes.h"
#include "ui/ReMainForm.h"
#include "ui/reSplash.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <cstdio>

void RefuserSecondeInstance()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tavorine"), QStringLiteral("TVR is already in use."));
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

void InstallerTraductionsQt(QApplication &app)
{
    // Qt's own dialogs (the file dialogs above all) speak French like the
    // rest of the program, whatever the user's language.
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

int RunTavorine(int argc, char *argv[])
{
    const InstanceGuard guard("TVR");
    if (guard.AnotherInstance()) {
        // Also said on the standard error, for whoever started the program
        // from a terminal or a script.
        std::fputs("TVR is already in use.\n", stderr);
        std::fflush(stderr);
        QApplication app(argc, argv);
        RefuserSecondeInstance();
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    InstallerTraductionsQt(app);
    // The splash window destroys itself when it closes.
    const QPointer<TSplash> splash = new TSplash;
    splash->ShowAndPaint();
    TMainForm mainForm;
    mainForm.show();
    // Stays on top of the main window even where no window manager keeps
    // the stacking order.
    if (splash)
        splash->raise();
    return QApplication::exec();
}
