// Read-only access to a compiled HTML help file (CHM) through chmlib: its pages,
// its title and default topic, its context-number table, its contents and index.
#include "ui/ChmFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocumentFragment>
#include <QtEndian>

#include <chm_lib.h>

namespace {

// A help file's objects are small pages; a larger length can only come from a
// damaged directory, and must not turn into a huge allocation.
constexpr LONGUINT64 MaxObjectSize = 64 * 1024 * 1024;

// Codes of the #SYSTEM records that Tavorine uses.
enum SystemCode : quint16 { ContentsFile = 0, IndexFile = 1, DefaultTopic = 2, Title = 3 };

quint32 readWord32(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

QString decodeWith(const QByteArray &bytes, const QByteArray &encodingName)
{
    QStringDecoder decoder(encodingName.constData());
    if (!decoder.isValid())
        return {};
    QString text = decoder(bytes);
    return decoder.hasError() ? QString() : text;
}

// Windows-1252 is the code page of French help files; Latin-1 stands in where Qt
// was built without a converter for it, and differs only in 0x80-0x9F.
QString decodeWindows1252(const QByteArray &bytes)
{
    QString text = decodeWith(bytes, "windows-1252");
    return text.isNull() ? QString::fromLatin1(bytes) : text;
}

// Strings stored by the help compiler are in the file's code page, or UTF-8 when
// the sources were; only valid UTF-8 is taken as UTF-8.
QString decodeStoredText(const QByteArray &bytes)
{
    const QString utf8 = decodeWith(bytes, "UTF-8");
    return utf8.isNull() ? decodeWindows1252(bytes) : utf8;
}

QString decodeEntities(const QString &value)
{
    if (!value.contains(QLatin1Char('&')))
        return value;
    // Only the character references are wanted: markup inside a value stays text.
    QString escaped = value;
    escaped.replace(QLatin1Char('<'), QLatin1String("&lt;")).replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return QTextDocumentFragment::fromHtml(escaped).toPlainText();
}

QMap<QString, QString> attributesOf(const QString &tagBody)
{
    static const QRegularExpression attribute(
        QStringLiteral(R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    QMap<QString, QString> attributes;
    auto it = attribute.globalMatch(tagBody);
    while (it.hasNext()) {
        const auto match = it.next();
        QString value = match.captured(2);
        if (match.capturedStart(3) >= 0)
            value = match.captured(3);
        else if (match.capturedStart(4) >= 0)
            value = match.captured(4);
        attributes.insert(match.captured(1).toLower(), decodeEntities(value));
    }
    return attributes;
}

// chmlib trusts the directory and the compression parameters of the files it
// opens: a damaged file makes it follow a null decoder, read past its buffers
// or loop for ever. The checks below go over the same structures first, with
// the layout of the ITSF format, so that such a file is refused instead.
namespace structure {

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

bool isSound(QFile &file)
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

} // namespace structure

int enumerateObject(chmFile *, chmUnitInfo *info, void *context)
{
    static_cast<QStringList *>(context)->append(QString::fromUtf8(info->path));
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

ChmFile::~ChmFile()
{
    close();
}

bool ChmFile::open(const QString &path)
{
    close();
    const QFileInfo info(path);
    if (path.isEmpty()) {
        m_error = QStringLiteral("Aucun fichier d'aide n'est indiqué.");
        return false;
    }
    if (!info.exists()) {
        m_error = QStringLiteral("Le fichier d'aide « %1 » est introuvable.").arg(path);
        return false;
    }
    if (!info.isFile()) {
        m_error = QStringLiteral("« %1 » est un dossier, pas un fichier d'aide.").arg(path);
        return false;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("Le fichier d'aide « %1 » ne peut pas être lu : %2.")
                      .arg(path, probe.errorString());
        return false;
    }
    const bool hasSignature = probe.peek(4) == "ITSF";
    const bool sound = hasSignature && structure::isSound(probe);
    probe.close();
    if (sound)
        m_handle = chm_open(QFile::encodeName(path).constData());
    if (!m_handle) {
        m_error = hasSignature ? QStringLiteral("Le fichier d'aide « %1 » est endommagé.").arg(path)
                          : QStringLiteral("« %1 » n'est pas un fichier d'aide compilé valide.").arg(path);
        return false;
    }
    m_path = path;
    m_error.clear();
    readSystem();
    readContextTable();
    m_contents = readSiteMap(m_contentsFile, ".hhc");
    m_index = readSiteMap(m_indexFile, ".hhk");
    return true;
}

void ChmFile::close()
{
    if (m_handle)
        chm_close(m_handle);
    m_handle = nullptr;
    m_path.clear();
    m_title.clear();
    m_defaultTopic.clear();
    m_contentsFile.clear();
    m_indexFile.clear();
    m_contexts.clear();
    m_contents.clear();
    m_index.clear();
}

QString ChmFile::topicForContext(quint32 context) const
{
    return m_contexts.value(context);
}

bool ChmFile::contains(const QString &objectPath) const
{
    if (!m_handle)
        return false;
    const QByteArray path = normalizePath(objectPath).toUtf8();
    chmUnitInfo info;
    return chm_resolve_object(m_handle, path.constData(), &info) == CHM_RESOLVE_SUCCESS;
}

QByteArray ChmFile::read(const QString &objectPath) const
{
    if (!m_handle)
        return {};
    const QByteArray path = normalizePath(objectPath).toUtf8();
    chmUnitInfo info;
    if (chm_resolve_object(m_handle, path.constData(), &info) != CHM_RESOLVE_SUCCESS
        || info.length > MaxObjectSize)
        return {};
    QByteArray data(qsizetype(info.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(m_handle, &info,
                                              reinterpret_cast<unsigned char *>(data.data()),
                                              0, LONGINT64(info.length));
    // A damaged or truncated file yields fewer bytes than its directory promises.
    if (got != LONGINT64(info.length))
        return {};
    return data.isNull() ? QByteArray("") : data;
}

QStringList ChmFile::pages() const
{
    QStringList result;
    const QStringList objects = objectPaths();
    for (const QString &object : objects) {
        if (object.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
            || object.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
            result.append(object);
    }
    return result;
}

QStringList ChmFile::objectPaths() const
{
    QStringList objects;
    if (m_handle)
        chm_enumerate(m_handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, enumerateObject, &objects);
    return objects;
}

QString ChmFile::normalizePath(const QString &target)
{
    QString path = target.trimmed();
    const qsizetype storage = path.indexOf(QLatin1String("::"));
    if (storage >= 0)
        path = path.mid(storage + 2);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1String("./")))
        path.remove(0, 2);
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

QMap<quint32, QString> ChmFile::parseContextTable(const QByteArray &ivb, const QByteArray &strings)
{
    QMap<quint32, QString> table;
    if (ivb.size() < 4)
        return table;
    // The leading count may disagree with the object's real size in a damaged
    // file; only pairs that lie wholly inside both are read.
    const qsizetype declared = qsizetype(readWord32(ivb, 0));
    const qsizetype end = 4 + std::min(declared, ivb.size() - 4);
    for (qsizetype pos = 4; pos + 8 <= end; pos += 8) {
        const quint32 context = readWord32(ivb, pos);
        const quint32 offset = readWord32(ivb, pos + 4);
        if (offset >= quint32(strings.size()))
            continue;
        const qsizetype stop = strings.indexOf('\0', qsizetype(offset));
        const QByteArray name = strings.mid(qsizetype(offset), stop < 0 ? -1 : stop - qsizetype(offset));
        if (!name.isEmpty() && !table.contains(context))
            table.insert(context, decodeStoredText(name));
    }
    return table;
}

QList<ChmTopic> ChmFile::parseSiteMap(const QByteArray &sitemap)
{
    static const QRegularExpression tag(QStringLiteral(R"re(<\s*(/?)\s*(ul|object|param)\b((?:[^>"']|"[^"]*"|'[^']*')*)>)re"),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<ChmTopic> topics;
    int listDepth = 0;
    bool inEntry = false;
    ChmTopic entry;
    auto it = tag.globalMatch(decodeHtml(sitemap));
    while (it.hasNext()) {
        const auto match = it.next();
        const bool closing = !match.captured(1).isEmpty();
        const QString name = match.captured(2).toLower();
        if (name == QLatin1String("ul")) {
            listDepth = closing ? std::max(0, listDepth - 1) : listDepth + 1;
        } else if (name == QLatin1String("object")) {
            if (!closing) {
                const auto attributes = attributesOf(match.captured(3));
                inEntry = attributes.value(QStringLiteral("type")).compare(
                              QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0;
                entry = ChmTopic{{}, {}, std::max(0, listDepth - 1)};
            } else if (inEntry) {
                inEntry = false;
                if (!entry.name.isEmpty() || !entry.local.isEmpty())
                    topics.append(entry);
            }
        } else if (inEntry && !closing) {
            // An entry may repeat Name and Local (an index keyword that leads to
            // several pages); the first pair is the one shown.
            const auto attributes = attributesOf(match.captured(3));
            const QString param = attributes.value(QStringLiteral("name")).toLower();
            const QString value = attributes.value(QStringLiteral("value")).trimmed();
            if (param == QLatin1String("name") && entry.name.isEmpty())
                entry.name = value;
            else if (param == QLatin1String("local") && entry.local.isEmpty() && !value.isEmpty())
                entry.local = normalizePath(value);
        }
    }
    return topics;
}

QString ChmFile::decodeHtml(const QByteArray &html)
{
    static const QRegularExpression charset(QStringLiteral(R"re(charset\s*=\s*["']?\s*([-A-Za-z0-9_:.]+))re"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = charset.match(QString::fromLatin1(html.left(2048)));
    if (match.hasMatch()) {
        const QString text = decodeWith(html, match.captured(1).toLatin1());
        if (!text.isNull())
            return text;
    }
    return decodeStoredText(html);
}

void ChmFile::readSystem()
{
    const QByteArray system = read(QStringLiteral("/#SYSTEM"));
    // A version word, then records of a 16-bit code, a 16-bit length and data.
    for (qsizetype pos = 4; pos + 4 <= system.size();) {
        const quint16 code = qFromLittleEndian<quint16>(system.constData() + pos);
        const quint16 length = qFromLittleEndian<quint16>(system.constData() + pos + 2);
        pos += 4;
        if (pos + length > system.size())
            break;
        QByteArray data = system.mid(pos, length);
        pos += length;
        const qsizetype nul = data.indexOf('\0');
        if (nul >= 0)
            data.truncate(nul);
        const QString text = decodeStoredText(data);
        switch (code) {
        case ContentsFile: m_contentsFile = text; break;
        case IndexFile: m_indexFile = text; break;
        case DefaultTopic: m_defaultTopic = text.isEmpty() ? QString() : normalizePath(text); break;
        case Title: m_title = text; break;
        default: break;
        }
    }
}

void ChmFile::readContextTable()
{
    const QMap<quint32, QString> names =
        parseContextTable(read(QStringLiteral("/#IVB")), read(QStringLiteral("/#STRINGS")));
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        const QString topic = resolveContextName(it.value());
        if (!topic.isEmpty())
            m_contexts.insert(it.key(), topic);
    }
}

// Microsoft's compiler stores the name of the page inside the file ("page.htm"),
// chmcmd the absolute path of the source it compiled ("/home/x/aide/page.htm"):
// the longest trailing part of the name that is an object of the file wins.
QString ChmFile::resolveContextName(const QString &name) const
{
    QString candidate = normalizePath(name);
    const QString fragment = candidate.contains(QLatin1Char('#'))
                                 ? candidate.mid(candidate.indexOf(QLatin1Char('#')))
                                 : QString();
    candidate.chop(fragment.size());
    while (!candidate.isEmpty()) {
        if (contains(candidate))
            return candidate + fragment;
        const qsizetype next = candidate.indexOf(QLatin1Char('/'), 1);
        if (next < 0)
            break;
        candidate = candidate.mid(next);
    }
    return {};
}

QList<ChmTopic> ChmFile::readSiteMap(const QString &objectPath, const char *extension) const
{
    QString path = objectPath;
    if (path.isEmpty() || !contains(path)) {
        path.clear();
        const QStringList objects = objectPaths();
        for (const QString &object : objects) {
            if (object.endsWith(QLatin1String(extension), Qt::CaseInsensitive)) {
                path = object;
                break;
            }
        }
    }
    return path.isEmpty() ? QList<ChmTopic>() : parseSiteMap(read(path));
}
