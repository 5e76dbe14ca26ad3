// Read-only access to a compiled HTML help file (CHM) through chmlib: its pages,
// its title and default topic, its context-number table, its contents and index.
#include "help/reader/ChmFile.h"

#include "help/reader/ChmStructure.h"
#include "help/reader/ChmText.h"

#include <QFile>
#include <QFileInfo>
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
        error_ = QStringLiteral("Aucun fichier d'aide n'est indiqué.");
        return false;
    }
    if (!info.exists()) {
        error_ = QStringLiteral("Le fichier d'aide « %1 » est introuvable.").arg(path);
        return false;
    }
    if (!info.isFile()) {
        error_ = QStringLiteral("« %1 » est un dossier, pas un fichier d'aide.").arg(path);
        return false;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("Le fichier d'aide « %1 » ne peut pas être lu : %2.")
                      .arg(path, probe.errorString());
        return false;
    }
    const bool hasSignature = probe.peek(4) == "ITSF";
    const bool sound = hasSignature && ChmStructure::isSound(probe);
    probe.close();
    if (sound)
        handle_ = chm_open(QFile::encodeName(path).constData());
    if (!handle_) {
        error_ = hasSignature ? QStringLiteral("Le fichier d'aide « %1 » est endommagé.").arg(path)
                          : QStringLiteral("« %1 » n'est pas un fichier d'aide compilé valide.").arg(path);
        return false;
    }
    path_ = path;
    error_.clear();
    readSystem();
    readContextTable();
    contents_ = readSiteMap(contentsFile_, ".hhc");
    index_ = readSiteMap(indexFile_, ".hhk");
    return true;
}

void ChmFile::close()
{
    if (handle_)
        chm_close(handle_);
    handle_ = nullptr;
    path_.clear();
    title_.clear();
    defaultTopic_.clear();
    contentsFile_.clear();
    indexFile_.clear();
    contexts_.clear();
    contents_.clear();
    index_.clear();
}

QString ChmFile::topicForContext(quint32 context) const
{
    return contexts_.value(context);
}

bool ChmFile::contains(const QString &objectPath) const
{
    if (!handle_)
        return false;
    const QByteArray path = normalizePath(objectPath).toUtf8();
    chmUnitInfo info;
    return chm_resolve_object(handle_, path.constData(), &info) == CHM_RESOLVE_SUCCESS;
}

QByteArray ChmFile::read(const QString &objectPath) const
{
    if (!handle_)
        return {};
    const QByteArray path = normalizePath(objectPath).toUtf8();
    chmUnitInfo info;
    if (chm_resolve_object(handle_, path.constData(), &info) != CHM_RESOLVE_SUCCESS
        || info.length > MaxObjectSize)
        return {};
    QByteArray data(qsizetype(info.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(handle_, &info,
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
    if (handle_)
        chm_enumerate(handle_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, enumerateObject, &objects);
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
            table.insert(context, ChmText::decodeStored(name));
    }
    return table;
}

QList<ChmTopic> ChmFile::parseSiteMap(const QByteArray &sitemap)
{
    return ChmSiteMap::parse(sitemap);
}

QString ChmFile::decodeHtml(const QByteArray &html)
{
    return ChmText::decodeHtml(html);
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
        const QString text = ChmText::decodeStored(data);
        switch (code) {
        case ContentsFile: contentsFile_ = text; break;
        case IndexFile: indexFile_ = text; break;
        case DefaultTopic: defaultTopic_ = text.isEmpty() ? QString() : normalizePath(text); break;
        case Title: title_ = text; break;
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
            contexts_.insert(it.key(), topic);
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
