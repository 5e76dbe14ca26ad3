// Full-text search of the help window over the pages of a compiled help file.
#pragma once

#include "help/reader/ChmFile.h"

#include <QList>
#include <QString>

class HelpSearch
{
public:
    // Case and accents are ignored by the index and the search: "decomposition"
    // finds "Décomposition".
    static QString fold(const QString &text);

    // Pages of the file whose title or text holds every word of the query. The
    // text of the pages is read on the first search after a reset.
    QList<ChmTopic> find(const ChmFile &file, const QString &query);
    // Forgets the pages read, for a file opened in place of the last one.
    void reset() { pages_.clear(); }

private:
    struct Page {
        ChmTopic topic;
        QString foldedText;
    };
    void readPages(const ChmFile &file);

    QList<Page> pages_;
};
