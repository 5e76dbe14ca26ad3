// Where the program finds its compiled help file: beside the executable in a
// build tree, or in the data folder of an installed tree, wherever it was moved.
#pragma once

#include <QString>

// The help file's context number of its index page, the topic F1 opens.
constexpr unsigned kHelpIndexContext = 1000;

// The help file's path for an executable in exeFolder (with or without a
// trailing separator). The file beside the executable wins; then
// ../share/tavorine/TVR.chm relative to that folder. When neither exists the
// path beside the executable is returned, so that the help viewer stays silent
// on a missing file as it always has.
QString LocateHelpFile(const QString &exeFolder);
