// Whole numbers as the reports and the list files write them: digit groups
// of three with a separator, and the two-digit file counter.
#pragma once

#include <QString>
#include <QtGlobal>

// Decimal digits grouped by three from the right with the separator between
// groups (an empty one gives plain digits), a minus sign in front of a
// negative number; exact over the whole 64-bit range.
QString GroupDigits(qint64 value, const QString &separator);
QString GroupDigits(quint64 value, const QString &separator);

// The decimal text with a leading "0" below 10: 00, 01 … 09, 10, 100.
QString FormaterChiffre(qint64 value);
