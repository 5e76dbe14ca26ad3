// The contents (.hhc) and the index (.hhk) of a compiled help file: HTML lists of
// <object type="text/sitemap"> entries, each naming a topic and its page.
#include "help/reader/ChmSiteMap.h"

#include "help/reader/ChmFile.h"
#include "help/reader/ChmText.h"

#include <QMap>
#include <QRegularExpression>

#include <algorithm>

namespace {

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
        attributes.insert(match.captured(1).toLower(), ChmText::decodeReferences(value));
    }
    return attributes;
}

} // namespace

QList<ChmTopic> ChmSiteMap::parse(const QByteArray &sitemap)
{
    static const QRegularExpression tag(QStringLiteral(R"re(<\s*(/?)\s*(ul|object|param)\b((?:[^>"']|"[^"]*"|'[^']*')*)>)re"),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<ChmTopic> topics;
    int listDepth = 0;
    bool inEntry = false;
    ChmTopic entry;
    auto it = tag.globalMatch(ChmText::decodeHtml(sitemap));
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
                entry.local = ChmFile::normalizePath(value);
        }
    }
    return topics;
}
