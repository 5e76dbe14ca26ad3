// The contents (.hhc) and the index (.hhk) of a compiled help file: HTML lists of
// <object type="text/sitemap"> entries, each naming a topic and its page.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One entry of the contents (.hhc) or of the index (.hhk): the text shown to the
// user, the page it leads to (an object path such as "/recherche.html#arret",
// empty for a heading without a page) and its nesting level, 0 at the top.
struct ChmTopic
{
    QString name;
    QString local;
    int depth = 0;

    bool operator==(const ChmTopic &) const = default;
};

class ChmSiteMap
{
public:
    // Reads the entries of a sitemap in document order; the nesting of its <ul>
    // lists gives their depth.
    static QList<ChmTopic> parse(const QByteArray &sitemap);
};
