// Names of the files of one generated list: the names and folder of the
// continuation files. The list's base name ("NP_" + start + "-" + end + "_")
// is made by ListRequestFor, with the request it names.
#pragma once

#include <QString>

namespace ListFiles {

// File number k of the list: base name + FormaterChiffre(k) + ".txt", in the
// first file's folder whatever the user called the first file.
QString ContinuationPath(const QString &firstFilePath, const QString &baseName, qint64 k);

} // namespace ListFiles
