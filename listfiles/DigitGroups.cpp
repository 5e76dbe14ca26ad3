// Digit grouping done on the magnitude as an unsigned number, so that the
// most negative 64-bit value needs no special case and no overflow happens.
#include "listfiles/DigitGroups.h"

namespace ListFiles {

QString GroupDigits(qint64 value, const QString &separator)
{
    // 0 - x in unsigned arithmetic is the magnitude even for -2^63, whose
    // negation would overflow as a signed number.
    const quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    const QString digits = QString::number(magnitude);

    QString text;
    text.reserve(digits.size() + (digits.size() / 3) * separator.size() + 1);
    if (value < 0)
        text += QLatin1Char('-');
    const qsizetype firstGroup = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    text += QStringView(digits).left(firstGroup);
    for (qsizetype i = firstGroup; i < digits.size(); i += 3) {
        text += separator;
        text += QStringView(digits).mid(i, 3);
    }
    return text;
}

} // namespace ListFiles
