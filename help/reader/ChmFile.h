// Read-only access to a compiled HTML help file (CHM) through chmlib: its pages,
// its title and default topic, its context-number table, its contents and index.
#pragma once

#include "help/reader/ChmSiteMap.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct chmFile;

class ChmFile
{
public:
    ChmFile() = default;
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    // Opens the file and reads its system data, context table and sitemaps.
    // On failure errorString() says why, in French, and the file stays closed.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    QString fileName() const { return path_; }
    QString errorString() const { return error_; }

    QString title() const { return title_; }
    QString defaultTopic() const { return defaultTopic_; }
    const QList<ChmTopic> &contents() const { return contents_; }
    const QList<ChmTopic> &index() const { return index_; }
    const QMap<quint32, QString> &contextTable() const { return contexts_; }

    // The object path of the page a context number leads to, or an empty text.
    QString topicForContext(quint32 context) const;

    // Object paths are taken whole: "#" belongs to names such as "/#SYSTEM", so a
    // link's fragment must be cut off by the caller.
    bool contains(const QString &objectPath) const;
    // The whole object, or a null array when it is missing or cannot be read.
    QByteArray read(const QString &objectPath) const;
    // Every page of the file (objects ending in .htm or .html), in file order.
    QStringList pages() const;

    // Object path of a link target: "/page.html" for "page.html", "./page.html",
    // "/page.html", "mk:@MSITStore:X.chm::/page.html" or "ms-its:X.chm::/page.html".
    static QString normalizePath(const QString &target);
    // Decodes the context table: #IVB holds a byte count followed by pairs of
    // little-endian 32-bit words (context number, offset of a name in #STRINGS).
    static QMap<quint32, QString> parseContextTable(const QByteArray &ivb, const QByteArray &strings);
    // Reads the entries of a sitemap (.hhc or .hhk) in document order.
    static QList<ChmTopic> parseSiteMap(const QByteArray &sitemap);
    // Text of an HTML page or sitemap: the charset its <meta> declares, else UTF-8
    // when the bytes are valid UTF-8, else Windows-1252.
    static QString decodeHtml(const QByteArray &html);

private:
    QStringList objectPaths() const;
    void readSystem();
    void readContextTable();
    QString resolveContextName(const QString &name) const;
    QList<ChmTopic> readSiteMap(const QString &objectPath, const char *extension) const;

    ::chmFile *handle_ = nullptr;
    QString path_;
    QString error_;
    QString title_;
    QString defaultTopic_;
    QString contentsFile_;
    QString indexFile_;
    QMap<quint32, QString> contexts_;
    QList<ChmTopic> contents_;
    QList<ChmTopic> index_;
};
