// Names of the files of one generated list: the name proposed for the first
// file and the names and folder of the continuation files.
#pragma once

#include <QString>

namespace ListFiles {

// "NP_" + start + "-" + end + "_", the texts of the two fields as typed.
QString BaseName(const QString &startText, const QString &endText);

// What the save dialog proposes for file 1: the base name and 01, without
// extension (the dialog adds its default one).
QString ProposedFirstName(const QString &startText, const QString &endText);

// File number k of the list: base name + FormaterChiffre(k) + ".txt", in the
// first file's folder whatever the user called the first file.
QString ContinuationPath(const QString &firstFilePath, const QString &baseName, qint64 k);

} // namespace ListFiles
