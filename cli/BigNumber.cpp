// An integer of any size (FLINT's fmpz) read from a number's text as the
// number fields accept it, and written back in decimal.
#include "cli/BigNumber.h"

#include <flint/flint.h>

#include <string>

std::optional<BigNumber> BigNumber::Parse(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    // Only the digits of the base reach FLINT, which would otherwise skip
    // spaces and accept a sign of its own.
    std::string digits;
    digits.reserve(std::size_t(n - i));
    for (; i < n; ++i) {
        const char16_t u = text[i].unicode();
        const bool decimal = u >= u'0' && u <= u'9';
        const bool hex = (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!decimal && !(base == 16 && hex))
            return std::nullopt;
        digits.push_back(char(u));
    }
    BigNumber number;
    if (fmpz_set_str(number.value_, digits.c_str(), base) != 0)
        return std::nullopt;
    if (negative)
        fmpz_neg(number.value_, number.value_);
    return number;
}

int BigNumber::DigitCount() const
{
    // fmpz_sizeinbase may be one too large in base 10: the text settles it.
    std::string digits(fmpz_sizeinbase(value_, 10) + 2, '\0');
    fmpz_t magnitude;
    fmpz_init(magnitude);
    fmpz_abs(magnitude, value_);
    fmpz_get_str(digits.data(), 10, magnitude);
    fmpz_clear(magnitude);
    return int(std::char_traits<char>::length(digits.c_str()));
}

QString BigNumber::Text() const
{
    char *text = fmpz_get_str(nullptr, 10, value_);
    const QString result = QString::fromLatin1(text);
    flint_free(text);
    return result;
}

QString BigNumber::Grouped(const QString &separator) const
{
    QString digits = Text();
    const qsizetype start = digits.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (qsizetype at = digits.size() - 3; at > start; at -= 3)
        digits.insert(at, separator);
    return digits;
}

bool IsEmptyNumberText(const QString &text)
{
    for (const QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}
