// Factorisation into prime powers by trial division: the heading first,
// then one line (p^k) per prime factor as soon as it is known, then the
// verdict whether the number itself is prime.
#include "core/Factorisation.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/ElapsedText.h"
#include "core/NumberText.h"
#include "core/PumpGate.h"
#include "core/RunHost.h"
#include "core/TrialKernel.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

const QString kEnCours = QStringLiteral("Traitement en cours, patientez...");

// The progress bar shows round(counter / 100 000), halves to even. It only
// needs setting when that value changes, so the loop keeps the counter at
// which it changes next instead of dividing at every divisor.
class Progress
{
public:
    explicit Progress(RunHost &host) : host_(host) {}

    // Called after each increment of the counter; `force` re-asserts the
    // position after a message pump, which may have reset the bar.
    void Counted(quint32 counter, bool force)
    {
        if (counter < nextChange_ && !force)
            return;
        const quint64 position = RoundHalfEven(counter, kDiviseursParPas);
        // round() keeps this value up to the next half step; a tie belongs
        // to the even neighbour, so it ends the range of an even value.
        const quint64 half = kDiviseursParPas / 2;
        const quint64 last = position * kDiviseursParPas + (position % 2 == 0 ? half : half - 1);
        nextChange_ = quint32(last + 1);
        host_.UpdateProgressBar(qint64(position));
    }

    // After the counter restarts, the first count brings the bar back.
    void Restarted() { nextChange_ = 1; }

    quint32 NextChange() const { return nextChange_; }

private:
    RunHost &host_;
    quint32 nextChange_ = 1; // the first count sets the bar
};

quint32 ElapsedMs(const QElapsedTimer &clock)
{
    return quint32(quint64(clock.elapsed()));
}

QString FactorLine(quint64 prime, quint32 exponent)
{
    return QStringLiteral("(%1^%2) ").arg(prime).arg(exponent);
}

} // namespace

void AfficherVerdict(RunHost &host, const QString &text)
{
    host.AddReportLine(QString());
    host.AddReportLine(text, LineStyle::Italic);
    host.AddReportLine(QString());
}

void Decomposer(RunHost &host, qint64 n)
{
    QElapsedTimer clock;
    clock.start();
    quint32 counter = 0;

    SetThousandsSeparator(QStringLiteral(" "));
    host.SetReportAlignment(ParagraphAlignment::Centre);
    host.AddReportLine(QString());
    host.AddReportLine(QString());
    host.AddReportLine(NombreAvecSeparateurs(n), LineStyle::Bold);
    host.AddReportLine(QString());
    host.AddReportLine(QStringLiteral("La décomposition en facteurs premiers a donné : "));
    host.AddReportLine(QString());
    host.SetPanelText(PanelPourcentage, QString());
    host.SetPanelText(PanelEtat, kEnCours);

    host.ProcessMessages();
    if (host.ArretDemande()) {
        host.RazFin();
        return;
    }

    // The loop bound is the square root of what is left, which a negative
    // number does not have.
    if (n < 0)
        throw InvalidFloatingPointOperation();

    quint64 x = quint64(n);     // the cofactor still to factorise, exact
    quint64 limit = ISqrt(x);   // d <= sqrt(x), recomputed as x shrinks
    quint64 d = 2;
    int groups = 0;
    bool cofactorWritten = false;
    Progress progress(host);
    PumpGate gate(host);

    const auto countDivisor = [&](bool pumped) {
        ++counter;
        progress.Counted(counter, pumped);
        if (counter > kDiviseursParTour) {
            counter = 0;
            progress.Restarted();
            host.SetPanelText(PanelTemps, SecondsText(ElapsedMs(clock)));
        }
    };

    while (d <= limit) {
        // The divisors up to the next one that has more to do than being
        // counted (the gate's look at the clock, a new bar position, the end
        // of a counter lap) are tried in a tight loop of their own.
        const quint64 events = std::min({quint64(gate.StepsToCheck()), quint64(progress.NextChange() - counter),
                                          quint64(kDiviseursParTour) + 1 - counter});
        // Every count reaches the next event at the latest, so events >= 1.
        const quint64 end = d + std::min(events, limit - d + 1);
        // Every prime below d that could divide x has been divided out, so
        // the kernel may skip the multiples of 2, 3, 5 and 7.
        quint64 next = PremierDiviseur(x, d, end - 1);
        if (next == 0)
            next = end;
        const quint64 failed = next - d;
        d = next;
        if (failed > 0) {
            counter += quint32(failed - 1);
            gate.Skip(int(failed - 1));
            // The last of them has its full share: at most it pumps (every
            // divisor would, the gate lets one through every few
            // milliseconds, and only a pump can bring a stop request).
            const bool pumped = gate.Tick();
            countDivisor(pumped);
            if (pumped && host.ArretDemande()) {
                host.RazFin();
                return;
            }
        }
        if (next < end) {
            quint32 exponent = 0;
            while (x % d == 0) {
                host.ProcessMessages();
                if (host.ArretDemande()) {
                    host.RazFin();
                    return;
                }
                ++exponent;
                x /= d;
            }
            limit = ISqrt(x);
            host.AddReportLine(FactorLine(d, exponent));
            ++groups;
            countDivisor(true);
            ++d;
        }
    }

    if (x > 1) {
        host.AddReportLine(QStringLiteral("(%1^1)").arg(x));
        ++groups;
        cofactorWritten = true;
    }
    if (n == 1)
        host.AddReportLine(QStringLiteral("(1^1)"));
    if (n == 0)
        host.AddReportLine(QStringLiteral("0"));
    AfficherVerdict(host, cofactorWritten && groups == 1 ? QStringLiteral("Nombre premier : oui")
                                                         : QStringLiteral("Nombre premier : non"));

    host.SetPanelText(PanelTemps, SecondsText(ElapsedMs(clock)));
    host.SetPanelText(PanelEtat, QStringLiteral("Terminé..."));
    host.UpdateProgressBar(100);
    host.SetPanelText(PanelPourcentage, PercentText(100));
}
