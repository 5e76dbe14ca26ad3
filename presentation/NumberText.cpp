// Number texts of the reports and messages: digit groups with a given
// thousands separator, the locale's separator, and the percentage.
#include "presentation/NumberText.h"

QString LocaleSeparator(const QLocale &locale)
{
    const QString regional = locale.groupSeparator();
    return regional.isEmpty() ? QStringLiteral(" ") : regional;
}

QString GroupedNumber(qint64 value, const QString &separator)
{
    return GroupDigits(value, separator);
}

QString PercentText(int position)
{
    return QStringLiteral("%1 %").arg(position);
}
