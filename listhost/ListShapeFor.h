// The byte lengths of a list's names and separators as its files will hold
// them, for the estimate made before the list starts.
#pragma once

#include "core/ListEstimate.h"

#include <QString>

// The layout of the list whose first file is firstFile (a path) and whose
// continuation files are named from baseName ("NP_start-end_"), with the
// thousands separator `separator` when separators is true.
ListShape ShapeForList(const QString &firstFile, const QString &baseName, bool separators,
                       const QString &separator);
