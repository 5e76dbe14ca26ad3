// Number entry: the conversion of a field's text to a signed 64-bit number
// and the keystroke rules of the number fields.
#include "core/NumberEntry.h"

#include "core/CommandError.h"

#include <limits>

namespace {

int DigitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= u'0' && u <= u'9')
        v = u - u'0';
    else if (base == 16 && u >= u'a' && u <= u'f')
        v = u - u'a' + 10;
    else if (base == 16 && u >= u'A' && u <= u'F')
        v = u - u'A' + 10;
    return v;
}

} // namespace

std::optional<NumberForm> SplitNumberText(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    NumberForm form;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        form.negative = text[i] == u'-';
        ++i;
    }
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        form.base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        form.base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    form.digits = QStringView(text).mid(i);
    for (const QChar c : form.digits) {
        if (DigitValue(c, form.base) < 0)
            return std::nullopt;
    }
    return form;
}

std::optional<qint64> ParseInteger(const QString &text)
{
    const std::optional<NumberForm> form = SplitNumberText(text);
    if (!form)
        return std::nullopt;
    // Accumulate the magnitude unsigned; the negative side of the range is
    // one larger than the positive side.
    const quint64 limit = form->negative ? quint64(1) << 63 : (quint64(1) << 63) - 1;
    const auto base = quint64(form->base);
    quint64 magnitude = 0;
    for (const QChar c : form->digits) {
        const auto digit = quint64(DigitValue(c, form->base));
        if (magnitude > (limit - digit) / base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
    }
    if (form->negative)
        return magnitude == (quint64(1) << 63) ? std::numeric_limits<qint64>::min()
                                               : -qint64(magnitude);
    return qint64(magnitude);
}

qint64 ParseNumber(const QString &text)
{
    const std::optional<qint64> value = ParseInteger(text);
    if (!value)
        throw CommandError::BadNumber(text);
    return *value;
}

KeyVerdict FiltrerTouche(QChar key, bool hasSelection, int textLength)
{
    if (key == KeyEnter)
        return KeyVerdict::Start;
    const bool isBackspace = key == KeyBackspace;
    const bool isDigit = key >= u'0' && key <= u'9';
    // A character that is neither a digit nor Backspace is swallowed, yet
    // still runs into the length test: a letter typed into a full field
    // gets the same explanation as a digit.
    if (!hasSelection && !isBackspace && textLength >= NombreChiffresMax)
        return KeyVerdict::DiscardWithLimit;
    return (isDigit || isBackspace) ? KeyVerdict::Accept : KeyVerdict::Discard;
}

FilteredEntry FilterTypedText(QStringView text, int selectedLength, int textLength)
{
    FilteredEntry result;
    int length = textLength;
    bool selection = selectedLength > 0;
    for (const QChar c : text) {
        const KeyVerdict verdict = FiltrerTouche(c, selection, length);
        if (verdict == KeyVerdict::DiscardWithLimit)
            result.limitReached = true;
        // Backspace is a key, not text: inside a text it is discarded.
        if (verdict != KeyVerdict::Accept || c == KeyBackspace)
            continue;
        result.kept += c;
        length = selection ? length - selectedLength + 1 : length + 1;
        selection = false;
    }
    return result;
}

bool RangeHoldsAtLeast(qint64 first, qint64 last, quint64 count)
{
    if (count == 0)
        return true;
    if (last < first)
        return false;
    // last - first fits in an unsigned 64-bit value for any two signed ones.
    return quint64(last) - quint64(first) >= count - 1;
}
