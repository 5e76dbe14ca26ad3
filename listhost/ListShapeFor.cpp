// The byte lengths of a list's names and separators as its files will hold
// them, for the estimate made before the list starts.
#include "listhost/ListShapeFor.h"

#include "listfiles/ListFile.h"
#include "listfiles/Windows1252.h"

#include <QFileInfo>

ListShape ShapeForList(const QString &firstFile, const QString &baseName, bool separators,
                       const QString &separator)
{
    ListShape shape;
    shape.firstNameBytes = ListFiles::EncodeWindows1252(QFileInfo(firstFile).fileName()).size();
    shape.baseNameBytes = ListFiles::EncodeWindows1252(baseName).size();
    shape.countLabelBytes = ListFiles::EncodeWindows1252(ListFiles::CountLabel()).size();
    shape.separators = separators;
    // The same bytes as the host's separator: number lines use at most four.
    const QByteArray bytes = ListFiles::EncodeWindows1252(separator);
    shape.numberSeparatorBytes = int(std::min<qsizetype>(bytes.size(), 4));
    shape.countSeparatorBytes = int(bytes.size());
    return shape;
}
