// Primality verification by trial division, with its report: the number in
// bold, the verdict, and an explanation for 0, 1 and 2.
#include "core/Verification.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/ElapsedText.h"
#include "core/NumberText.h"
#include "core/RunHost.h"
#include "core/TrialKernel.h"

#include <QElapsedTimer>

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
    if (n >= 2) {
        quint32 counter = 0;
        quint64 d = 2;
        const TrialOutcome outcome = DiviserParEssaisRapide(quint64(n), bound, counter, d, [&](quint64 next) {
            host.ProcessMessages();
            host.SetPanelText(PanelTemps, SecondsText(ElapsedMs(clock)));
            host.UpdateProgressBar(qint64(RoundHalfEven(next, step)));
            host.SetPanelText(PanelPourcentage, PercentText(host.ProgressPosition()));
            return host.ArretDemande();
        });
        if (outcome == TrialOutcome::Stopped) {
            host.RazFin();
            return;
        }
        found = outcome == TrialOutcome::DivisorFound;
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
