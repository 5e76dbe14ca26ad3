// Naming of list files. Continuation files always follow the pattern, so a
// list stays findable as a series even when its first file was renamed.
#include "listfiles/ListFileNames.h"

#include "digits/DigitGroups.h"

namespace ListFiles {

QString ContinuationPath(const QString &firstFilePath, const QString &baseName, qint64 k)
{
    const QString fileName = baseName + FormaterChiffre(k) + QStringLiteral(".txt");
    // The folder exactly as the first path gives it, so a relative first path
    // gives a relative continuation path in the same place.
    const qsizetype slash = firstFilePath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return fileName;
    return firstFilePath.left(slash + 1) + fileName;
}

} // namespace ListFiles
