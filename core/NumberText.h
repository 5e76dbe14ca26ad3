// Number texts of the reports and lists: digit groups with the process-wide
// thousands separator, and the two-digit file counter.
#pragma once

#include <QString>
#include <QtGlobal>

// The process-wide thousands separator: the user's regional separator (a
// blank where the locale has none) until SetThousandsSeparator is called.
QString ThousandsSeparator();
void SetThousandsSeparator(const QString &separator);
// Back to following the locale; for tests.
void ResetThousandsSeparator();

// Decimal digits grouped by three from the right with the given separator,
// a minus sign in front of a negative number; exact for the whole range.
QString GroupDigits(qint64 value, const QString &separator);
QString GroupDigits(quint64 value, const QString &separator);

// GroupDigits with the process-wide separator.
QString NombreAvecSeparateurs(qint64 value);

// The decimal text with a leading "0" below 10: 00, 09, 10, 100.
QString FormaterChiffre(qint32 value);

// "%d %" filled with a progress position.
QString PercentText(int position);
