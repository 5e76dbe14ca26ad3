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

QString GroupedNumber(qint64 value)
{
    return GroupDigits(value, ThousandsSeparator());
}

QString PercentText(int position)
{
    return QStringLiteral("%1 %").arg(position);
}
