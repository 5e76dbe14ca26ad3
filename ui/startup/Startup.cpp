// The program's entry: its command-line options, the single-instance guard,
// the splash window, the main window and the message loop.
#include "ui/startup/Startup.h"

#include "ui/startup/CommandLine.h"
#include "ui/help/HelpLocator.h"
#include "ui/help/HelpViewer.h"
#include "ui/startup/InstanceGuard.h"
#include "ui/common/MessageBoxes.h"
#include "ui/window/MainForm.h"
#include "ui/startup/Splash.h"
#include "presentation/HelpMessages.h"

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

namespace {

void Print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// Opens the help topic F1 opens, through the help file the main window chose,
// without showing anything; says on the standard output where it was found.
int CheckHelpFile(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    QString helpFile;
    {
        const TMainForm mainForm;
        helpFile = mainForm.HelpFile();
    }
    const THelpViewer *viewer = THelpViewer::htmlHelp(nullptr, helpFile, THelpViewer::HH_HELP_CONTEXT, kHelpIndexContext);
    if (!viewer) {
        Print(stderr, HelpFileUnreadableMessage(helpFile));
        return 1;
    }
    Print(stdout, HelpFileReport(helpFile, kHelpIndexContext, viewer->currentTopic()));
    THelpViewer::htmlHelp(nullptr, QString(), THelpViewer::HH_CLOSE_ALL);
    return 0;
}

} // namespace

int RunTavorine(int argc, char *argv[])
{
    // Read before anything needs a display or the instance name, so that
    // --version works in a terminal without one and beside a running window.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    switch (ParseCommandLine(arguments)) {
    case CommandLineAction::ShowHelp:
        Print(stdout, CommandLineHelpText());
        return 0;
    case CommandLineAction::ShowVersion:
        Print(stdout, VersionText());
        return 0;
    case CommandLineAction::CheckHelpFile:
        return CheckHelpFile(argc, argv);
    case CommandLineAction::Start:
        break;
    }

    const TInstanceGuard guard("TVR");
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
    // The desktop entry the windows belong to, for desktops that match
    // them by it (Wayland's application id); on X the entry names the
    // window class, the application's name, as StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tavorine.Tavorine"));
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
