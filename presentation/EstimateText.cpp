// The wording of a list's estimate and of the list's own messages: sizes,
// durations, the question before a long list and the final message.
#include "presentation/EstimateText.h"

#include "presentation/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

QString SizeText(quint64 bytes)
{
    static const char *const kUnits[] = {"octets", "ko", "Mo", "Go", "To", "Po", "Eo"};
    if (bytes < 1000)
        return QStringLiteral("%1 octets").arg(bytes);
    double value = double(bytes);
    int unit = 0;
    while (value >= 1000 && unit < 6) {
        value /= 1000;
        ++unit;
    }
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    return QStringLiteral("%1 %2").arg(QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(',')),
                                       QLatin1String(kUnits[unit]));
}

QString DurationText(double seconds, const QString &separator)
{
    if (seconds < 1)
        return QStringLiteral("moins d'une seconde");
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(qint64(std::llround(seconds)));
    const double minutes = seconds / 60;
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(qint64(std::llround(minutes)));
    const double hours = minutes / 60;
    if (hours < 24) {
        const qint64 whole = qint64(hours);
        const qint64 rest = qint64(std::llround(minutes - double(whole) * 60));
        return rest == 0 || rest == 60 ? QStringLiteral("%1 h").arg(rest == 60 ? whole + 1 : whole)
                                       : QStringLiteral("%1 h %2 min").arg(whole).arg(rest);
    }
    const double days = hours / 24;
    if (days < 60)
        return QStringLiteral("%1 jours").arg(qint64(std::llround(days)));
    const double months = days / 30.44;
    if (months < 24)
        return QStringLiteral("%1 mois").arg(qint64(std::llround(months)));
    const double years = days / 365.25;
    if (years < 1e6)
        return QStringLiteral("%1 ans").arg(GroupedNumber(qint64(std::llround(years)), separator));
    return QStringLiteral("plus d'un million d'années");
}

QString EstimateText(const ListEstimate &estimate, const QString &separator)
{
    const QString about = estimate.exact ? QString() : QStringLiteral("environ ");
    const qint64 primes = qint64(std::min<quint64>(estimate.primes, quint64(std::numeric_limits<qint64>::max())));
    const QString duration = estimate.seconds < 1 ? DurationText(estimate.seconds, separator)
                                                  : QStringLiteral("environ ") + DurationText(estimate.seconds, separator);
    return QStringLiteral("Nombres premiers : %1%2\nFichiers : %3\nTaille : %4%5\nDurée : %6\n")
        .arg(about, GroupedNumber(primes, separator), GroupedNumber(estimate.files, separator), about,
             SizeText(estimate.bytes), duration);
}

QString LongListQuestion(const ListEstimate &estimate, const QString &separator)
{
    return QStringLiteral("Cette liste sera longue à écrire :\n") + EstimateText(estimate, separator)
           + QStringLiteral("Voulez-vous la commencer ?");
}

QString ListReadyMessage(qint64 files)
{
    return QStringLiteral("Votre liste de numéros est prête et a été enregistrée avec succès en %1 fichier(s).")
        .arg(files);
}
