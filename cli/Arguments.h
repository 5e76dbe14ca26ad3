// The command line of tavorine-cli: a command with its numbers and options,
// read by hand so that a negative number is never taken for an option.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct Arguments {
    enum class Command { Help, Version, Verify, Factorise, List, Count, Nth, Next, Previous };

    Command command = Command::Help;
    QStringList numbers; // the number texts as typed
    QString folder;
    QString fileName;
    bool separators = false;
    std::optional<QString> separator; // --sep-milliers=CAR
    bool replace = false;
    bool resume = false; // --reprendre: an earlier stopped run goes on
    bool silent = false;
    bool estimate = false; // --estimer: what the list would be, nothing written
    QStringList tuplets;   // compter --jumeaux, --cousins...: in the order given
    std::optional<QString> output; // lister --sortie VALUE ("-": standard output)
    // Set when the command line is wrong: what to tell the user.
    QString error;
};

// Reads the arguments after the program's name.
Arguments ParseArguments(const QStringList &arguments);

QString HelpText();
QString VersionText();
