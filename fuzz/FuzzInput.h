// Hands a fuzzer's input to readers that take a path: the bytes become the
// whole content of one file, rewritten for each input.
#pragma once

#include <QByteArray>
#include <QFile>

#include <cstdlib>

inline QByteArray WriteInput(const QString &path, const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return bytes;
}
