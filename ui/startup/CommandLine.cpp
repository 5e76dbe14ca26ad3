// The few command-line options of the program: its version and a short help,
// both printed in French before any window, display or instance check.
#include "ui/startup/CommandLine.h"

#include "Version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

CommandLineAction ParseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-reverse" or "-style" are Qt's options, not a bundle of one-letter
    // options that could hide our -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    QCommandLineOption checkHelp(QStringLiteral("verifier-aide"));
    checkHelp.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(checkHelp);
    // Unknown options make parse() return false, but the known ones are read
    // all the same; the unknown ones go on to Qt.
    parser.parse(arguments);
    if (parser.isSet(help))
        return CommandLineAction::ShowHelp;
    if (parser.isSet(version))
        return CommandLineAction::ShowVersion;
    if (parser.isSet(checkHelp))
        return CommandLineAction::CheckHelpFile;
    return CommandLineAction::Start;
}

QString VersionText()
{
    return QStringLiteral("Tavorine " TAVORINE_VERSION_TEXT "\n");
}

QString CommandLineHelpText()
{
    return QStringLiteral(
        "Utilisation : tavorine [option]\n"
        "Tavorine vérifie si un nombre est premier, cherche les nombres premiers\n"
        "entre deux bornes et décompose un entier en facteurs premiers.\n"
        "\n"
        "Options :\n"
        "  -h, --help     affiche cette aide et quitte\n"
        "  -v, --version  affiche la version et quitte\n"
        "\n"
        "Sans option, Tavorine ouvre sa fenêtre. L'aide complète s'ouvre avec F1.\n");
}
