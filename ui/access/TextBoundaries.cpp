// The pieces of a text a screen reader asks for by offset. Qt 6.4's own
// search walks QTextBoundaryFinder forward until it passes the text's end,
// which it never does once the finder has run off it: asked for the word at
// the end of a field, the window never answered again. Here every boundary
// is found once, in order, and the piece is picked from that list.
#include "ui/access/TextBoundaries.h"

#include <QTextBoundaryFinder>

#include <vector>

namespace TextBoundaries {

namespace {

// The offsets where pieces start, the text's end last.
std::vector<int> Boundaries(const QString &text, QAccessible::TextBoundaryType type)
{
    std::vector<int> offsets{0};
    const int length = int(text.size());
    if (type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary) {
        for (int at = int(text.indexOf(QChar::LineFeed)); at >= 0 && at + 1 < length;
             at = int(text.indexOf(QChar::LineFeed, at + 1)))
            offsets.push_back(at + 1);
    } else {
        const QTextBoundaryFinder::BoundaryType finderType = type == QAccessible::CharBoundary
                                                                 ? QTextBoundaryFinder::Grapheme
                                                             : type == QAccessible::WordBoundary
                                                                 ? QTextBoundaryFinder::Word
                                                                 : QTextBoundaryFinder::Sentence;
        QTextBoundaryFinder finder(finderType, text);
        // Each step moves forward or returns -1 at the end, so the loop ends.
        for (qsizetype at = finder.toNextBoundary(); at > 0 && at < length; at = finder.toNextBoundary()) {
            // Words: only where a word starts or ends, so that the blanks
            // between two words are a piece of their own.
            if (finderType == QTextBoundaryFinder::Word &&
                !(finder.boundaryReasons() & (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem)))
                continue;
            offsets.push_back(int(at));
        }
    }
    offsets.push_back(length);
    return offsets;
}

} // namespace

QString Piece(const QString &text, int offset, QAccessible::TextBoundaryType type, Which which, int *start, int *end)
{
    *start = *end = -1;
    const int length = int(text.size());
    if (offset == -1)
        offset = length;
    if (text.isEmpty() || offset < 0 || offset > length || type == QAccessible::NoBoundary)
        return QString();
    const std::vector<int> offsets = Boundaries(text, type);
    const int pieces = int(offsets.size()) - 1;
    // The piece at the offset; at the end, the last line when the text does
    // not end a line, else an empty piece past the last one.
    int at = 0;
    if (offset == length) {
        const bool lines = type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary;
        at = lines && !text.endsWith(QChar::LineFeed) ? pieces - 1 : pieces;
    } else {
        while (offsets[size_t(at) + 1] <= offset)
            ++at;
    }
    const int wanted = which == Which::Before ? at - 1 : which == Which::After ? at + 1 : at;
    if (wanted < 0 || wanted > pieces || (wanted == pieces && which != Which::At))
        return QString();
    if (wanted == pieces) {
        *start = *end = length;
        return QString();
    }
    *start = offsets[size_t(wanted)];
    *end = offsets[size_t(wanted) + 1];
    return text.mid(*start, *end - *start);
}

} // namespace TextBoundaries
