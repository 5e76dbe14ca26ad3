// Where the program finds its compiled help file: beside the executable in a
// build tree, or in the data folder of an installed tree, wherever it was moved.
#include "ui/help/HelpLocator.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QLatin1String kHelpFileName("TVR.chm");
// Only relative to the executable, never an absolute path: an installed tree
// (bin/ beside share/) keeps working after it is moved or extracted elsewhere.
const QLatin1String kInstalledHelpFolder("../share/tavorine/");

bool IsReadableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

} // namespace

QString LocateHelpFile(const QString &exeFolder)
{
    QString folder = exeFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString beside = folder + kHelpFileName;
    if (IsReadableFile(beside))
        return beside;
    const QString installed = QDir::cleanPath(folder + kInstalledHelpFolder + kHelpFileName);
    if (IsReadableFile(installed))
        return installed;
    return beside;
}
