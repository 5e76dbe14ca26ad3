// Number texts of the reports and lists: digit groups with the process-wide
// thousands separator, and the two-digit file counter.
#pragma once

#include "digits/DigitGroups.h"

#include <QString>
#include <QtGlobal>

// The process-wide thousands separator: the user's regional separator (a
// blank where the locale has none) until SetThousandsSeparator is called.
QString ThousandsSeparator();
void SetThousandsSeparator(const QString &separator);
// Back to following the locale; for tests.
void ResetThousandsSeparator();

// GroupDigits with the process-wide separator.
QString GroupedNumber(qint64 value);

// "%d %" filled with a progress position.
QString PercentText(int position);
