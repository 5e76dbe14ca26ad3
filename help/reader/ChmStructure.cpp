// Checks the directory and the compression parameters of a compiled help file
// (CHM) before chmlib is given it.
#include "help/reader/ChmStructure.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QtEndian>

#include <algorithm>

namespace {

quint32 readWord32(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

constexpr quint64 MaxDirectorySize = 16 * 1024 * 1024;
constexpr quint64 MaxPathLength = 512; // chmlib's CHM_MAX_PATHLEN
constexpr quint32 LzxFrameSize = 0x8000;
const QByteArray ContentName = "::DataSpace/Storage/MSCompressed/Content";
const QByteArray ControlDataName = "::DataSpace/Storage/MSCompressed/ControlData";
const QByteArray ResetTableName =
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

struct Entry {
    quint64 section = 0;
    quint64 offset = 0;
    quint64 length = 0;
};

quint64 word64(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint64>(data.constData() + offset);
}

QByteArray readAt(QFile &file, quint64 offset, quint64 length)
{
    return file.seek(qint64(offset)) ? file.read(qint64(length)) : QByteArray();
}

// Variable-length integers of the directory: 7 bits a byte, most significant
// first, the high bit set on every byte but the last.
bool encodedInteger(const QByteArray &chunk, qsizetype &pos, qsizetype end, quint64 &value)
{
    value = 0;
    for (int i = 0; i < 9 && pos < end; ++i) {
        const auto byte = quint8(chunk[pos++]);
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// A listing chunk (PMGL): its entries must lie inside it and name one of the two
// storage spaces; uncompressed objects must lie inside the file.
bool listingIsSound(const QByteArray &chunk, quint64 dataOffset, quint64 fileSize, QMap<QByteArray, Entry> &entries)
{
    const quint32 freeSpace = readWord32(chunk, 4);
    if (freeSpace > quint32(chunk.size()) - 20)
        return false;
    const qsizetype end = chunk.size() - qsizetype(freeSpace);
    for (qsizetype pos = 20; pos < end;) {
        quint64 nameLength = 0;
        if (!encodedInteger(chunk, pos, end, nameLength) || nameLength > MaxPathLength
            || nameLength > quint64(end - pos))
            return false;
        const QByteArray name = chunk.mid(pos, qsizetype(nameLength));
        pos += qsizetype(nameLength);
        Entry entry;
        if (!encodedInteger(chunk, pos, end, entry.section) || !encodedInteger(chunk, pos, end, entry.offset)
            || !encodedInteger(chunk, pos, end, entry.length) || entry.section > 1)
            return false;
        if (entry.section == 0
            && (entry.offset > fileSize || entry.length > fileSize - entry.offset
                || dataOffset > fileSize - entry.offset - entry.length))
            return false;
        entries.insert(name, entry);
    }
    return true;
}

// An index chunk (PMGI): names and the numbers of the chunks they lead to.
bool indexIsSound(const QByteArray &chunk, quint32 chunkCount, QList<quint32> &children)
{
    const quint32 freeSpace = readWord32(chunk, 4);
    if (freeSpace > quint32(chunk.size()) - 8)
        return false;
    const qsizetype end = chunk.size() - qsizetype(freeSpace);
    for (qsizetype pos = 8; pos < end;) {
        quint64 nameLength = 0;
        quint64 child = 0;
        if (!encodedInteger(chunk, pos, end, nameLength) || nameLength > MaxPathLength
            || nameLength > quint64(end - pos))
            return false;
        pos += qsizetype(nameLength);
        if (!encodedInteger(chunk, pos, end, child) || child >= chunkCount)
            return false;
        children.append(quint32(child));
    }
    return true;
}

// The chunks chmlib walks: listings linked from the first one, and index chunks
// that must end in listings within as many steps as there are chunks.
bool chainsEnd(const QList<QByteArray> &chunks, quint32 first, const QList<QList<quint32>> &children)
{
    QList<bool> seen(chunks.size(), false);
    for (qint64 chunk = first; chunk != -1; chunk = qint32(readWord32(chunks[chunk], 16))) {
        if (chunk < 0 || chunk >= chunks.size() || seen[chunk] || !chunks[chunk].startsWith("PMGL"))
            return false;
        seen[chunk] = true;
    }
    QList<bool> ends(chunks.size(), false);
    for (qsizetype i = 0; i < chunks.size(); ++i)
        ends[i] = chunks[i].startsWith("PMGL");
    for (qsizetype round = 0; round < chunks.size(); ++round) {
        for (qsizetype i = 0; i < chunks.size(); ++i)
            ends[i] = ends[i] || std::all_of(children[i].cbegin(), children[i].cend(), [&](quint32 c) { return ends[c]; });
    }
    return std::all_of(ends.cbegin(), ends.cend(), [](bool end) { return end; });
}

// The LZX parameters: a window of 2^15 to 2^21 bytes (the decoder accepts no
// other), resets that fall on whole frames, and a reset table whose frames lie
// inside the compressed content.
bool compressionIsSound(QFile &file, quint64 dataOffset, const QMap<QByteArray, Entry> &entries)
{
    // Without these chmlib reads nothing from the compressed space: harmless.
    if (!entries.contains(ContentName) || !entries.contains(ControlDataName) || !entries.contains(ResetTableName))
        return true;
    const Entry content = entries.value(ContentName);
    const Entry control = entries.value(ControlDataName);
    const Entry reset = entries.value(ResetTableName);
    if (control.length < 24 || control.length > 256 || reset.length < 40 || reset.length > MaxDirectorySize)
        return false;
    const QByteArray lzxc = readAt(file, dataOffset + control.offset, 24);
    if (lzxc.size() != 24 || lzxc.mid(4, 4) != "LZXC")
        return false;
    const quint32 version = readWord32(lzxc, 8);
    const quint64 unit = version == 2 ? LzxFrameSize : 1;
    const quint64 resetInterval = readWord32(lzxc, 12) * unit;
    const quint64 windowSize = readWord32(lzxc, 16) * unit;
    const quint32 windowsPerReset = readWord32(lzxc, 20);
    if ((version != 1 && version != 2) || windowSize < (1u << 15) || windowSize > (1u << 21)
        || (windowSize & (windowSize - 1)) != 0 || resetInterval < windowSize / 2 || windowsPerReset == 0)
        return false;
    // chmlib works out the frames between resets in 32 bits and divides by that
    // count: a product that wraps to 0 would crash it on the first page read.
    const quint64 framesPerReset = resetInterval / (windowSize / 2) * windowsPerReset;
    if (resetInterval > 0xFFFFFFFFu || framesPerReset > 0xFFFFFFFFu)
        return false;

    const QByteArray table = readAt(file, dataOffset + reset.offset, reset.length);
    if (quint64(table.size()) != reset.length)
        return false;
    const quint64 blockCount = readWord32(table, 4);
    const quint64 tableOffset = readWord32(table, 12);
    const quint64 uncompressedLength = word64(table, 16);
    const quint64 compressedLength = word64(table, 24);
    const quint64 blockLength = word64(table, 32);
    if (blockLength == 0 || blockLength > LzxFrameSize || tableOffset > reset.length
        || blockCount > (reset.length - tableOffset) / 8 || compressedLength > content.length
        || uncompressedLength > blockCount * blockLength)
        return false;
    quint64 previous = 0;
    for (quint64 block = 0; block < blockCount; ++block) {
        const quint64 start = word64(table, qsizetype(tableOffset + block * 8));
        if (start < previous || start > compressedLength)
            return false;
        previous = start;
    }
    return std::all_of(entries.cbegin(), entries.cend(), [&](const Entry &e) {
        return e.section == 0 || (e.offset <= uncompressedLength && e.length <= uncompressedLength - e.offset);
    });
}

} // namespace

bool ChmStructure::isSound(QFile &file)
{
    const quint64 fileSize = quint64(file.size());
    const QByteArray header = readAt(file, 0, 0x60);
    if (header.size() < 0x58 || !header.startsWith("ITSF"))
        return false;
    const quint32 version = readWord32(header, 4);
    if ((version != 2 && version != 3) || (version == 3 && header.size() < 0x60))
        return false;
    const quint64 directoryOffset = word64(header, 0x48);
    const quint64 directoryLength = word64(header, 0x50);
    if (directoryOffset > fileSize || directoryLength > fileSize - directoryOffset || directoryLength < 0x54
        || directoryLength > MaxDirectorySize)
        return false;
    const quint64 dataOffset = version == 3 ? word64(header, 0x58) : directoryOffset + directoryLength;
    const QByteArray directory = readAt(file, directoryOffset, directoryLength);
    if (quint64(directory.size()) != directoryLength || !directory.startsWith("ITSP") || dataOffset > fileSize)
        return false;
    const quint32 headerLength = readWord32(directory, 8);
    const quint32 chunkLength = readWord32(directory, 0x10);
    const qint32 root = qint32(readWord32(directory, 0x1C));
    const quint32 firstListing = readWord32(directory, 0x20);
    if (headerLength < 0x54 || headerLength > directoryLength || chunkLength < 32 || chunkLength > 0x10000)
        return false;
    const quint32 chunkCount = quint32((directoryLength - headerLength) / chunkLength);
    if (chunkCount == 0 || firstListing >= chunkCount || root < -1 || (root >= 0 && quint32(root) >= chunkCount))
        return false;

    QList<QByteArray> chunks;
    QList<QList<quint32>> children(chunkCount);
    QMap<QByteArray, Entry> entries;
    for (quint32 i = 0; i < chunkCount; ++i) {
        chunks.append(directory.mid(qsizetype(headerLength + quint64(i) * chunkLength), chunkLength));
        const bool sound = chunks[i].startsWith("PMGL") ? listingIsSound(chunks[i], dataOffset, fileSize, entries)
                           : chunks[i].startsWith("PMGI") ? indexIsSound(chunks[i], chunkCount, children[i])
                                                          : true;
        if (!sound)
            return false;
    }
    return chainsEnd(chunks, firstListing, children) && compressionIsSound(file, dataOffset, entries);
}
