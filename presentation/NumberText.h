// Number texts of the reports and messages: digit groups with a given
// thousands separator, the locale's separator, and the percentage.
#pragma once

#include "digits/DigitGroups.h"

#include <QLocale>
#include <QString>
#include <QtGlobal>

// The user's regional thousands separator, a blank where the locale has
// none.
QString LocaleSeparator(const QLocale &locale = QLocale());

// The separator a window's session groups digits with: the locale's until
// the first number a verification or a factorisation reports, then a plain
// space, which those reports use.
class SessionSeparator
{
public:
    QString Current() const { return reported_ ? ReportSeparator() : LocaleSeparator(); }
    void NumberReported() { reported_ = true; }
    // The separator of the verification's and factorisation's reports.
    static QString ReportSeparator() { return QStringLiteral(" "); }

private:
    bool reported_ = false;
};

// GroupDigits with that separator.
QString GroupedNumber(qint64 value, const QString &separator);

// "%d %" filled with a progress position.
QString PercentText(int position);
