// Text of list files: Windows-1252 bytes on disk, so a list reads the same on
// every system, and the reading rule that also accepts lists saved as UTF-8.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace ListFiles {

// Characters with no Windows-1252 byte become '?', except spaces (the narrow
// no-break space that French locales use between digit groups, thin spaces…),
// which become 0xA0 so that digit groups stay apart. No byte-order mark.
QByteArray EncodeWindows1252(QStringView text);
void AppendWindows1252(QByteArray &out, QStringView text);

QString DecodeWindows1252(const QByteArray &bytes);

// UTF-8 when the bytes are valid UTF-8 and hold something beyond ASCII,
// Windows-1252 otherwise.
QString DecodeListText(const QByteArray &bytes);

} // namespace ListFiles
