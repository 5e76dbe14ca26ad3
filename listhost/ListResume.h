// Whether a chosen first file starts an earlier, stopped run of the same
// list, and from which file that list must be written again.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The file k from which the list [first, last] must be written again when
// firstFile is file 1 of an earlier run of it that was stopped: files 1 to
// k - 1 are on disk, complete, and hold exactly the primes of their slices
// in the layout that separators and the thousands separator `separator`
// give; the first file that is missing, stopped or damaged is k. No value
// when there is nothing to keep (file 1 itself is not complete) or nothing
// to write (every file of the list is complete). baseName names the
// continuation files ("NP_start-end_").
std::optional<qint64> ResumeFile(qint64 first, qint64 last, const QString &firstFile, const QString &baseName,
                                       bool separators, const QString &separator);

// "Reprendre la liste à partir du fichier 1043 ?"
QString ResumeQuestion(qint64 file);
