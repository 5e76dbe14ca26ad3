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
    return QTextDocumentFragment::fromHtml(value).toPlainText();
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
    // chmlib reads any header it is given; the signature check keeps other files
    // (a page saved under the wrong name, an empty file) from reaching it.
    const bool signatureOk = probe.read(4) == "ITSF";
    probe.close();
    if (signatureOk)
        m_handle = chm_open(QFile::encodeName(path).constData());
    if (!m_handle) {
        m_error = QStringLiteral("« %1 » n'est pas un fichier d'aide compilé valide.").arg(path);
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
    static const QRegularExpression tag(QStringLiteral(R"re(<\s*(/?)\s*(ul|object|param)\b([^>]*)>)re"),
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
