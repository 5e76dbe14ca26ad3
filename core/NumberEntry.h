// Number entry: the conversion of a field's text to a signed 64-bit number
// and the keystroke rules of the number fields.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Leading spaces, an optional sign, then decimal digits, or hexadecimal
// digits behind "$", "x", "X", "0x" or "0X". Anything else, the empty text
// included, and any value outside the signed 64-bit range is refused.
std::optional<qint64> ParseInteger(const QString &text);

// The parts of a number's text in the forms the fields accept: leading
// spaces, a sign, a hexadecimal prefix ($, x or 0x), then at least one digit
// of the base and nothing else; no limit on the digits' count.
struct NumberForm {
    bool negative = false;
    int base = 10;
    QStringView digits;
};
std::optional<NumberForm> SplitNumberText(const QString &text);

// Like ParseInteger, but a refused text raises CommandError::BadNumber with
// the text.
qint64 ParseNumber(const QString &text);

// Number of characters up to which a number field accepts typed digits.
constexpr int NombreChiffresMax = 17;

enum class KeyVerdict {
    Start,            // Enter: start the run of the active page
    Accept,           // let the field insert the character
    Discard,          // swallow the keystroke
    DiscardWithLimit, // swallow it and tell the user about the digit limit
};

// What a number field does with one typed character.
KeyVerdict FiltrerTouche(QChar key, bool hasSelection, int textLength);

// Text that reaches a number field otherwise than one key at a time (a
// composed character, an input method's commit, a key that types several
// characters): each character goes through FiltrerTouche in turn, and only
// digits are kept. selectedLength characters are replaced by the first one.
struct FilteredEntry {
    QString kept;
    bool limitReached = false; // some character met the digit limit
};
FilteredEntry FilterTypedText(QStringView text, int selectedLength, int textLength);

constexpr QChar KeyEnter = QChar(13);
constexpr QChar KeyBackspace = QChar(8);

// The fewest numbers a list may cover.
constexpr quint64 kMinimumNumbers = 10;

// Whether last - first + 1 >= count, without overflowing at the ends of the
// 64-bit range.
bool RangeHoldsAtLeast(qint64 first, qint64 last, quint64 count);
