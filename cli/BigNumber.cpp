// An integer of any size (FLINT's fmpz) read from a number's text as the
// number fields accept it, and written back in decimal.
#include "cli/BigNumber.h"

#include "core/NumberEntry.h"

#include <flint/flint.h>

#include <string>

std::optional<BigNumber> BigNumber::Parse(const QString &text)
{
    const std::optional<NumberForm> form = SplitNumberText(text);
    if (!form)
        return std::nullopt;
    // Only the digits of the base reach FLINT, which would otherwise skip
    // spaces and accept a sign of its own.
    const std::string digits = form->digits.toLatin1().toStdString();
    BigNumber number;
    if (fmpz_set_str(number.value_, digits.c_str(), form->base) != 0)
        return std::nullopt;
    if (form->negative)
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
