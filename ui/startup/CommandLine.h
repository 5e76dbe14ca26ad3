// The few command-line options of the program: its version and a short help,
// both printed in French before any window, display or instance check.
#pragma once

#include <QString>
#include <QStringList>

enum class CommandLineAction {
    Start,       // no option of ours: open the window as usual
    ShowHelp,    // -h, --help
    ShowVersion, // -v, --version
    CheckHelpFile // --verifier-aide (not listed): report where the help file is
};

// Reads the arguments (the program's name first). Options that are not ours,
// such as Qt's own -platform or -style, are left to Qt and mean Start.
CommandLineAction ParseCommandLine(const QStringList &arguments);

// The texts printed for --version and --help, each ending with a line break.
QString VersionText();
QString CommandLineHelpText();
