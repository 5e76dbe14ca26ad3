// The pieces of a text a screen reader asks for by offset (a character, a
// word, a sentence, a line), found in one pass over the text's boundaries,
// so that every offset from 0 to the length gets an answer at once.
#pragma once

#include <QAccessible>
#include <QString>

namespace TextBoundaries {

// Which piece: the one before the piece at the offset, the one at it, or
// the one after it.
enum class Which { Before, At, After };

// The piece of `text` of the given boundary type relative to `offset`, with
// its start and end offsets; an empty text with both offsets at -1 when
// there is none, and at the offset when the offset is the text's end. An
// offset of -1 stands for the end; any other offset outside 0..length has
// no piece.
QString Piece(const QString &text, int offset, QAccessible::TextBoundaryType type, Which which, int *start, int *end);

} // namespace TextBoundaries
