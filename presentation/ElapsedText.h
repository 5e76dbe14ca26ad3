// The elapsed-time texts of the status strip: seconds for the verification
// and the factorisation, a clock for the list generation.
#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

// "Temps : 2,5 sec.": milliseconds as seconds, no trailing zeros, the
// locale's decimal separator, no separator for whole seconds.
QString SecondsText(quint32 elapsedMs, const QLocale &locale = QLocale());

// "Temps : 00:03:27": the locale's long time format applied to an elapsed
// duration. Hours keep counting past 24, so long runs stay truthful.
QString ClockText(qint64 elapsedMs, const QLocale &locale = QLocale());
