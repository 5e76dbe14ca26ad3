// Full-text search of the help window over the pages of a compiled help file.
#include "help/search/HelpSearch.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

QString HelpSearch::fold(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c.toCaseFolded());
    }
    return folded;
}

QList<ChmTopic> HelpSearch::find(const ChmFile &file, const QString &query)
{
    static const QRegularExpression separators(QStringLiteral("[^\\w]+"));
    const QStringList words = fold(query).split(separators, Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    if (pages_.isEmpty())
        readPages(file);
    QList<ChmTopic> found;
    for (const Page &page : std::as_const(pages_)) {
        const bool all = std::all_of(words.cbegin(), words.cend(),
                                     [&](const QString &word) { return page.foldedText.contains(word); });
        if (all)
            found.append(page.topic);
    }
    return found;
}

void HelpSearch::readPages(const ChmFile &file)
{
    const QStringList pages = file.pages();
    for (const QString &page : pages) {
        QTextDocument document;
        // Under the chm: scheme the page's images and style sheet are not
        // looked for on disk; the text is all the search needs.
        document.setBaseUrl(QUrl(QStringLiteral("chm:") + page));
        document.setHtml(ChmFile::decodeHtml(file.read(page)));
        const QString title = document.metaInformation(QTextDocument::DocumentTitle).trimmed();
        pages_.append({{title.isEmpty() ? page : title, page, 0},
                        fold(title + QLatin1Char('\n') + document.toPlainText())});
    }
}
