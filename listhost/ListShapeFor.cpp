// The byte lengths of a list's names and separators as its files will hold
// them, for the estimate made before the list starts.
#include "listhost/ListShapeFor.h"

#include "core/NumberText.h"
#include "listfiles/Windows1252.h"

#include <QFileInfo>

ListShape ShapeForList(const QString &firstFile, const QString &baseName, bool separators)
{
    ListShape shape;
    shape.firstNameBytes = ListFiles::EncodeWindows1252(QFileInfo(firstFile).fileName()).size();
    shape.baseNameBytes = ListFiles::EncodeWindows1252(baseName).size();
    shape.separators = separators;
    // The same bytes as the host's separator: number lines use at most four.
    const QByteArray separator = ListFiles::EncodeWindows1252(ThousandsSeparator());
    shape.numberSeparatorBytes = int(std::min<qsizetype>(separator.size(), 4));
    shape.countSeparatorBytes = int(separator.size());
    return shape;
}
