// Number texts of the reports and lists: digit groups with the process-wide
// thousands separator, and the two-digit file counter.
#include "core/NumberText.h"

#include <QLocale>
#include <optional>

namespace {

std::optional<QString> &FixedSeparator()
{
    static std::optional<QString> separator;
    return separator;
}

} // namespace

QString ThousandsSeparator()
{
    if (FixedSeparator())
        return *FixedSeparator();
    const QString regional = QLocale().groupSeparator();
    return regional.isEmpty() ? QStringLiteral(" ") : regional;
}

void SetThousandsSeparator(const QString &separator)
{
    FixedSeparator() = separator;
}

void ResetThousandsSeparator()
{
    FixedSeparator().reset();
}

QString GroupDigits(quint64 value, const QString &separator)
{
    const QString digits = QString::number(value);
    QString grouped;
    grouped.reserve(digits.size() + (digits.size() / 3) * separator.size());
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

QString GroupDigits(qint64 value, const QString &separator)
{
    if (value >= 0)
        return GroupDigits(quint64(value), separator);
    // The magnitude of the most negative value does not fit a signed type.
    const quint64 magnitude = quint64(0) - quint64(value);
    return QLatin1Char('-') + GroupDigits(magnitude, separator);
}

QString NombreAvecSeparateurs(qint64 value)
{
    return GroupDigits(value, ThousandsSeparator());
}

QString FormaterChiffre(qint32 value)
{
    const QString text = QString::number(value);
    return value < 10 ? QLatin1Char('0') + text : text;
}

QString PercentText(int position)
{
    return QStringLiteral("%1 %").arg(position);
}
