// An integer of any size (FLINT's fmpz) read from a number's text as the
// number fields accept it, and written back in decimal.
#pragma once

#include <QString>
#include <QtGlobal>

#include <flint/fmpz.h>

#include <optional>

class BigNumber
{
public:
    BigNumber() { fmpz_init(value_); }
    explicit BigNumber(qint64 v) { fmpz_init_set_si(value_, slong(v)); }
    BigNumber(const BigNumber &other) { fmpz_init_set(value_, other.value_); }
    BigNumber &operator=(const BigNumber &other)
    {
        fmpz_set(value_, other.value_);
        return *this;
    }
    ~BigNumber() { fmpz_clear(value_); }

    fmpz *get() { return value_; }
    const fmpz *get() const { return value_; }

    // Leading spaces, an optional sign, then decimal digits, or hexadecimal
    // digits behind "$", "x", "X", "0x" or "0X", as ParseInteger reads them,
    // without its 64-bit limit. No value for anything else.
    static std::optional<BigNumber> Parse(const QString &text);

    bool FitsInt64() const { return fmpz_fits_si(value_) != 0; }
    qint64 ToInt64() const { return qint64(fmpz_get_si(value_)); }
    int Sign() const { return fmpz_sgn(value_); }
    // The number of decimal digits of the magnitude (one for 0).
    int DigitCount() const;
    // Plain decimal digits, with "-" for a negative number.
    QString Text() const;
    // In groups of three with the separator, as the reports write numbers.
    QString Grouped(const QString &separator) const;

    friend bool operator<(const BigNumber &a, const BigNumber &b) { return fmpz_cmp(a.value_, b.value_) < 0; }
    friend bool operator==(const BigNumber &a, const BigNumber &b) { return fmpz_equal(a.value_, b.value_) != 0; }

private:
    fmpz_t value_;
};

// Whether a number's text holds nothing but spaces: an empty number.
bool IsEmptyNumberText(const QString &text);
