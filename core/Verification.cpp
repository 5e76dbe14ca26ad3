// Primality verification by trial division, with its report: the number in
// bold, the verdict, and an explanation for 0, 1 and 2.
#include "core/Verification.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/ElapsedText.h"
#include "core/NumberText.h"
#include "core/RunHost.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

const QString kEnCours = QStringLiteral("Traitement en cours, patientez...");
const QString kTermine = QStringLiteral("Terminé...");

quint32 ElapsedMs(const QElapsedTimer &clock)
{
    // Tick counts are 32-bit: the difference wraps like the system's.
    return quint32(quint64(clock.elapsed()));
}

} // namespace

QString ExplicationZero()
{
    return QStringLiteral("La définition d\u2019un nombre premier est d\u2019être divisible par deux entiers "
                          "distincts, 1 et lui-même. Dans le cas de 0, celui-ci est divisible par tous les "
                          "entiers positifs. Il ne répond donc pas à la définition d'un nombre premier.");
}

QString ExplicationUn()
{
    return QStringLiteral("La définition d\u2019un nombre premier est d\u2019être divisible par deux entiers "
                          "distincts, 1 et lui-même. Dans le cas du nombre 1, les diviseurs 1 et lui-même ne "
                          "sont pas distincts. 1 ne répond donc pas à la définition d\u2019un nombre premier.");
}

QString ExplicationDeux()
{
    return QStringLiteral("2 est le seul et unique nombre premier pair.");
}

void Verifier(RunHost &host, qint64 n)
{
    QElapsedTimer clock;
    clock.start();
    host.SetPanelText(PanelEtat, kEnCours);

    // The bound is the square root of n + 1, which does not exist below -1.
    if (n < -1)
        throw InvalidFloatingPointOperation();
    const quint64 nPlusOne = quint64(n) + 1u; // n >= -1: no wrap beyond 0
    // Trying d while d <= sqrt(n + 1) lets the root of a square be tried.
    const quint64 bound = ISqrt(nPlusOne);
    const quint64 step = RoundSqrtOverHundred(nPlusOne) + 1;

    bool found = false;
    quint64 d = 2;
    quint32 counter = 0;
    const auto checkpoint = [&] {
        counter = 0;
        host.ProcessMessages();
        host.SetPanelText(PanelTemps, SecondsText(ElapsedMs(clock)));
        host.UpdateProgressBar(qint64(RoundHalfEven(d, step)));
        host.SetPanelText(PanelPourcentage, PercentText(host.ProgressPosition()));
        if (!host.ArretDemande())
            return false;
        host.RazFin();
        return true;
    };

    if (n >= 2 && d <= bound) {
        const quint64 value = quint64(n);
        // The divisors are 2, then every odd number up to the bound, and
        // every division counts towards the next checkpoint.
        ++counter;
        if (value % 2 == 0)
            found = true;
        else
            d = 3;
        while (!found && d <= bound) {
            // The run of odd divisors up to the next checkpoint is a loop of
            // its own, so the hot loop holds only the remainder and the test.
            const quint64 room = kDivisionsParPointDeControle - counter;
            quint64 last = std::min(bound, d + 2 * (room - 1));
            if ((last - d) % 2 != 0)
                --last;
            quint64 divisor = d;
            while (divisor <= last && value % divisor != 0)
                divisor += 2;
            if (divisor <= last) {
                found = true;
                counter += quint32((divisor - d) / 2 + 1);
                d = divisor;
            } else {
                counter += quint32((last - d) / 2 + 1);
                d = last + 2;
            }
            if (counter == kDivisionsParPointDeControle && checkpoint())
                return;
        }
    }

    if (n > 2)
        AfficherResultat(host, !found, QString(), n);
    else if (n == 2)
        AfficherResultat(host, true, ExplicationDeux(), n);
    else if (n == 1)
        AfficherResultat(host, false, ExplicationUn(), n);
    else if (n == 0)
        AfficherResultat(host, false, ExplicationZero(), n);

    host.SetPanelText(PanelTemps, SecondsText(ElapsedMs(clock)));
    host.UpdateProgressBar(100);
    host.SetPanelText(PanelPourcentage, PercentText(100));
    host.SetPanelText(PanelEtat, kTermine);
}

void AfficherResultat(RunHost &host, bool premier, const QString &explication, qint64 x)
{
    SetThousandsSeparator(QStringLiteral(" "));
    host.SetReportAlignment(ParagraphAlignment::Centre);
    for (int i = 0; i < 3; ++i)
        host.AddReportLine(QString());
    host.AddReportLine(NombreAvecSeparateurs(x), LineStyle::Bold);
    host.AddReportLine(QString());
    host.AddReportLine(premier ? QStringLiteral("Nombre premier : oui") : QStringLiteral("Nombre premier : non"));
    host.AddReportLine(QString());
    host.AddReportLine(explication, LineStyle::Italic);
    host.AddReportLine(QString());
}
