// Prime list generation: every prime of a range, by trial division, saved
// into numbered list files of one slice of 1 000 000 numbers each.
#include "core/Generation.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/ElapsedText.h"
#include "core/NumberText.h"
#include "core/TrialDivision.h"

#include <QElapsedTimer>

namespace {

const QString kEnCours = QStringLiteral("Traitement en cours, patientez...");

// The last count of numbers done whose rounded progress is still
// `position`; ties of round() go to the even position.
quint64 LastDoneAt(quint64 position, quint64 step)
{
    const quint64 below = (step - 1) / 2;
    const bool tieStaysHere = step % 2 == 0 && position % 2 == 0;
    return position * step + below + (tieStaysHere ? 1 : 0);
}

// The run: its files, the pending list of the current file, and the status
// it keeps up to date.
class Run
{
public:
    Run(ListHost &host, qint64 first, qint64 last) : host_(host), first_(first), last_(last)
    {
        // Numbers are counted from the adjusted start, in unsigned arithmetic
        // so that no sum overflows at the ends of the 64-bit range.
        span_ = last_ >= first_ ? quint64(last_) - quint64(first_) : 0;
        step_ = RoundHalfEven(span_, 100) + 1;
    }

    bool Start(const QString &baseName);
    // False when a stop request ended the run.
    bool Loop();
    void Finish();
    void Stop();

private:
    bool Test(quint64 n);
    void Store(qint64 n);
    void ShowStatus(quint64 done, bool force);
    void ShowTime() { host_.SetPanelText(PanelTemps, ClockText(clock_.elapsed())); }

    ListHost &host_;
    qint64 first_;
    qint64 last_;
    quint64 span_ = 0;
    quint64 step_ = 1;
    QString baseName_;
    QString firstFile_;
    QString currentFile_;
    QStringList pending_;
    int k_ = 1;
    quint32 counter_ = 0;
    QElapsedTimer clock_;
    bool pumped_ = false;
    quint64 nextProgressAt_ = 0;
    int timeCountdown_ = 0;
    quint64 limit_ = 1;         // isqrt(n + 1), kept up as n grows
    quint64 nextSquare_ = 4;    // (limit_ + 1)^2
};

bool Run::Start(const QString &baseName)
{
    baseName_ = baseName;
    const std::optional<QString> chosen = host_.ChoisirPremierFichier(baseName + FormaterChiffre(1));
    if (!chosen)
        return false;
    if (host_.VerifierSiEcrasementFichier(*chosen))
        return false;
    firstFile_ = currentFile_ = *chosen;
    host_.EcrireFichier(currentFile_, {});
    clock_.start();
    return true;
}

bool Run::Test(quint64 n)
{
    // The bound isqrt(n + 1) moves by one now and then as n grows, so it is
    // kept up instead of taking a square root for every number.
    while (n + 1 >= nextSquare_) {
        ++limit_;
        nextSquare_ = (limit_ + 1) * (limit_ + 1);
    }
    quint64 d = 2;
    const TrialOutcome outcome = DiviserParEssais(n, limit_, counter_, d, [this](quint64) {
        host_.ProcessMessages();
        pumped_ = true;
        ShowTime();
        return host_.ArretDemande();
    });
    if (outcome == TrialOutcome::Stopped)
        throw TrialOutcome::Stopped;
    return outcome == TrialOutcome::NoDivisor;
}

void Run::Store(qint64 n)
{
    const quint64 offset = quint64(n) - quint64(first_);
    if (offset >= kNombresParFichier * quint64(k_)) {
        host_.EcrireFichier(currentFile_, pending_);
        pending_.clear();
        host_.IndiquerNombresContenus(currentFile_);
        ++k_;
        currentFile_ = host_.CreationAutomatiqueFichierSuivant(firstFile_, baseName_, k_, n);
        // The first number of every continuation file is in plain digits.
        pending_.append(QString::number(n));
    } else {
        pending_.append(host_.SepMilliers() ? NombreAvecSeparateurs(n) : QString::number(n));
    }
}

void Run::ShowStatus(quint64 done, bool force)
{
    // The clock text changes once a second and only shows when messages
    // are pumped, where it is set anyway; between pumps it is looked at
    // every few thousand numbers.
    if (force || --timeCountdown_ <= 0) {
        timeCountdown_ = 4096;
        ShowTime();
    }
    if (force || done >= nextProgressAt_) {
        const quint64 position = RoundHalfEven(done, step_);
        nextProgressAt_ = LastDoneAt(position, step_) + 1;
        host_.UpdateProgressBar(qint64(std::min<quint64>(position, quint64(std::numeric_limits<qint64>::max()))));
        host_.SetPanelText(PanelPourcentage, PercentText(host_.ProgressPosition()));
    }
}

bool Run::Loop()
{
    if (last_ < first_)
        return true;
    quint64 n = quint64(first_);
    const quint64 end = quint64(last_);
    // done counts the numbers tested so far: n + 1 - start.
    for (quint64 done = 1;; ++n, ++done) {
        pumped_ = false;
        if (Test(n))
            Store(qint64(n));
        // After a pump the panels may have been emptied by a page change,
        // so they are written again; the last number writes them too.
        ShowStatus(done, pumped_ || n == end);
        if (n == end)
            break;
    }
    return true;
}

void Run::Finish()
{
    host_.EcrireFichier(currentFile_, pending_);
    pending_.clear();
    host_.IndiquerNombresContenus(currentFile_);
    host_.AfficherFichier(currentFile_);
    host_.UpdateProgressBar(100);
    host_.SetPanelText(PanelPourcentage, PercentText(100));
    host_.SetPanelText(PanelEtat, QStringLiteral("Terminé..."));
    host_.Informer(QStringLiteral("Votre liste de numéros est prête et a été enregistrée avec succès en %1 fichier(s).")
                       .arg(k_));
}

void Run::Stop()
{
    // The current file keeps what it holds on disk; the pending primes are
    // dropped.
    pending_.clear();
    host_.IndiquerNombresContenus(currentFile_);
    host_.RazFin();
}

} // namespace

void Generer(ListHost &host, qint64 first, qint64 last, const QString &firstText, const QString &lastText)
{
    // The list never holds 0 or 1; the file names keep the start as typed.
    if (first < 2)
        first = 2;
    host.SetPanelText(PanelEtat, kEnCours);
    Run run(host, first, last);
    try {
        if (!run.Start(QStringLiteral("NP_") + firstText + QLatin1Char('-') + lastText + QLatin1Char('_'))) {
            host.RazFin();
            return;
        }
        try {
            run.Loop();
        } catch (TrialOutcome) {
            run.Stop();
            return;
        }
        run.Finish();
    } catch (const CommandError &error) {
        // A file that cannot be written ends the run: files completed so
        // far stay, and the user is told which file failed and why.
        host.RazFin();
        host.Informer(error.text());
    }
}
