// The elapsed-time texts of the status strip: seconds for the verification
// and the factorisation, a clock for the list generation.
#include "presentation/ElapsedText.h"

namespace {

bool UsesTwelveHourClock(const QString &format)
{
    return format.contains(QLatin1Char('a'), Qt::CaseInsensitive);
}

bool HourHasLeadingZero(const QString &format)
{
    return format.contains(QLatin1String("hh"), Qt::CaseInsensitive);
}

QString TwoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString SecondsText(quint32 elapsedMs, const QLocale &locale)
{
    // Milliseconds over 1000 is an exact decimal with at most three
    // fractional digits, so the text is built from integers.
    QString seconds = QString::number(elapsedMs / 1000);
    quint32 fraction = elapsedMs % 1000;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 3, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        seconds += locale.decimalPoint() + digits;
    }
    return QStringLiteral("%1 : %2 %3").arg(QStringLiteral("Temps"), seconds, QStringLiteral("sec."));
}

QString ClockText(qint64 elapsedMs, const QLocale &locale)
{
    const qint64 totalSeconds = qMax<qint64>(elapsedMs, 0) / 1000;
    const qint64 hours = totalSeconds / 3600;
    const QString rest = QLatin1Char(':') + TwoDigits(totalSeconds / 60 % 60)
                         + QLatin1Char(':') + TwoDigits(totalSeconds % 60);

    // Qt's long format adds a time zone, so only its hour pattern and its
    // AM/PM placement are taken from the short one.
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    if (UsesTwelveHourClock(format) && hours < 24) {
        const qint64 hour12 = hours % 12 == 0 ? 12 : hours % 12;
        const QString designator = hours < 12 ? locale.amText() : locale.pmText();
        const QString time = (HourHasLeadingZero(format) ? TwoDigits(hour12) : QString::number(hour12)) + rest;
        const bool designatorFirst = format.indexOf(QLatin1Char('a'), 0, Qt::CaseInsensitive)
                                     < format.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
        return QStringLiteral("Temps : ") + (designatorFirst ? designator + QLatin1Char(' ') + time
                                                             : time + QLatin1Char(' ') + designator);
    }
    const QString hourText = HourHasLeadingZero(format) ? TwoDigits(hours) : QString::number(hours);
    return QStringLiteral("Temps : ") + hourText + rest;
}
