// Whole numbers as the reports and the list files write them: digit groups
// of three with a separator, and the two-digit file counter.
#include "digits/DigitGroups.h"

QString GroupDigits(quint64 value, const QString &separator)
{
    const QString digits = QString::number(value);
    QString text;
    text.reserve(digits.size() + (digits.size() / 3) * separator.size());
    const qsizetype firstGroup = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    text += QStringView(digits).left(firstGroup);
    for (qsizetype i = firstGroup; i < digits.size(); i += 3) {
        text += separator;
        text += QStringView(digits).mid(i, 3);
    }
    return text;
}

QString GroupDigits(qint64 value, const QString &separator)
{
    if (value >= 0)
        return GroupDigits(quint64(value), separator);
    // 0 - x in unsigned arithmetic is the magnitude even for -2^63, whose
    // negation would overflow as a signed number.
    return QLatin1Char('-') + GroupDigits(quint64(0) - quint64(value), separator);
}

QString FormaterChiffre(qint64 value)
{
    const QString text = QString::number(value);
    return value < 10 ? QLatin1Char('0') + text : text;
}
