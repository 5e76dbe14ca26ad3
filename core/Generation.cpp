// Prime list generation: every prime of a range, from libprimesieve, saved
// into numbered list files of one slice of 1 000 000 numbers each.
#include "core/Generation.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/ElapsedText.h"
#include "core/NumberText.h"
#include "core/PrimeSource.h"
#include "core/PrimeText.h"
#include "core/TrialDivision.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

const QString kEnCours = QStringLiteral("Traitement en cours, patientez...");

// The window handles its messages at least this often while primes arrive;
// its own gate adds a few milliseconds, and the longest step between two
// looks at the clock (a piece of primes, or writing a completed file) a few
// more, which keeps every gap well under 25 ms.
constexpr qint64 kPumpIntervalNs = 4'000'000;
// Primes formatted between two looks at the clock: about 20 µs of work.
constexpr std::size_t kPiece = 1024;

enum class Outcome { Finished, Stopped };

// The run: its files, the number lines of the current file, and the status
// it keeps up to date. Everything here happens on the caller's thread; only
// the sieving runs on a worker (PrimeSource).
class Run
{
public:
    Run(ListHost &host, qint64 first, qint64 last, const QString &baseName)
        : host_(host), first_(first), last_(last), baseName_(baseName)
    {
        // Numbers are counted from the adjusted start, in unsigned arithmetic
        // so that no sum overflows at the ends of the 64-bit range.
        span_ = last_ >= first_ ? quint64(last_) - quint64(first_) : 0;
        step_ = RoundHalfEven(span_, 100) + 1;
        bound_ = quint64(first_) + kNombresParFichier;
    }

    bool Start();
    Outcome Loop();
    void Finish();
    void Stop();

private:
    bool ChosenFileIsAContinuation(const QString &chosen) const;
    bool Pump();
    void ShowStatus();
    void Store(const quint64 *primes, std::size_t count);
    void Append(const quint64 *primes, std::size_t count);
    void Switch(quint64 prime);
    const QByteArray &Body();

    ListHost &host_;
    qint64 first_;
    qint64 last_;
    QString baseName_;
    quint64 span_ = 0;
    quint64 step_ = 1;
    QString firstFile_;
    QString currentFile_;
    qint64 k_ = 1;
    // Primes at or above bound_ belong to the next file.
    quint64 bound_ = 0;

    // Number lines of the current file, written when it is complete, and
    // what the file holds on disk meanwhile (kept for a stop).
    QByteArray body_;
    qsizetype used_ = 0;
    qint64 count_ = 0;
    QByteArray onDisk_;
    qint64 onDiskCount_ = 0;

    bool separators_ = false;
    QByteArray separatorBytes_;
    bool handledAny_ = false;
    quint64 lastHandled_ = 0;
    QElapsedTimer clock_;
    QElapsedTimer sincePump_;
};

bool Run::Start()
{
    const std::optional<QString> chosen = host_.ChoisirPremierFichier(baseName_ + FormaterChiffre(1));
    if (!chosen)
        return false;
    // Continuation files replace files of their name without asking, so a
    // first file named like one of them would be lost half-way.
    if (ChosenFileIsAContinuation(*chosen))
        return false;
    if (host_.VerifierSiEcrasementFichier(*chosen))
        return false;
    firstFile_ = currentFile_ = *chosen;
    host_.CreerFichier(currentFile_, QByteArray());
    clock_.start();
    return true;
}

bool Run::ChosenFileIsAContinuation(const QString &chosen) const
{
    const QString name = QFileInfo(chosen).fileName();
    const QString suffix = QStringLiteral(".txt");
    if (!name.startsWith(baseName_) || !name.endsWith(suffix) || name.size() <= baseName_.size() + suffix.size())
        return false;
    const QString number = name.mid(baseName_.size(), name.size() - baseName_.size() - suffix.size());
    bool ok = false;
    const qint64 k = number.toLongLong(&ok);
    const qint64 files = qint64(span_ / kNombresParFichier) + 1;
    if (!ok || k < 2 || k > files)
        return false;
    const QString path = host_.CheminFichierSuivant(chosen, baseName_, k);
    if (QDir::cleanPath(path) != QDir::cleanPath(chosen))
        return false;
    host_.Informer(QStringLiteral("%1 porte le nom du fichier n° %2 de cette même liste, qui le remplacerait. "
                                  "Choisissez un autre nom pour le premier fichier.")
                       .arg(QDir::toNativeSeparators(chosen))
                       .arg(k));
    return true;
}

void Run::ShowStatus()
{
    host_.SetPanelText(PanelTemps, ClockText(clock_.elapsed()));
    const quint64 done = handledAny_ ? lastHandled_ + 1 - quint64(first_) : 0;
    const quint64 position = RoundHalfEven(done, step_);
    host_.UpdateProgressBar(qint64(std::min<quint64>(position, quint64(std::numeric_limits<qint64>::max()))));
    host_.SetPanelText(PanelPourcentage, PercentText(host_.ProgressPosition()));
}

bool Run::Pump()
{
    // The panels hold the last prime handled whenever the window may paint;
    // a page change during the pump empties them, so they are written again.
    ShowStatus();
    host_.ProcessMessages();
    ShowStatus();
    separators_ = host_.SepMilliers();
    sincePump_.start();
    return host_.ArretDemande();
}

Outcome Run::Loop()
{
    separators_ = host_.SepMilliers();
    separatorBytes_ = host_.OctetsSeparateur().left(4);
    sincePump_.start();
    if (last_ < first_)
        return Outcome::Finished;
    PrimeSource source{quint64(first_), quint64(last_)};
    PrimeSource::Block block;
    for (;;) {
        const qint64 dueNs = std::max<qint64>(0, kPumpIntervalNs - sincePump_.nsecsElapsed());
        if (!source.Next(block, std::chrono::microseconds(dueNs / 1000))) {
            if (Pump())
                return Outcome::Stopped;
            continue;
        }
        if (block.failed)
            throw CommandError(QStringLiteral("La mémoire a manqué pour calculer les nombres premiers."));
        const quint64 *primes = block.primes.data();
        std::size_t left = block.primes.size();
        while (left > 0) {
            const std::size_t take = std::min(left, kPiece);
            Store(primes, take);
            primes += take;
            left -= take;
            if (sincePump_.nsecsElapsed() >= kPumpIntervalNs && Pump())
                return Outcome::Stopped;
        }
        if (block.last)
            return Outcome::Finished;
        source.Recycle(std::move(block.primes));
    }
}

void Run::Store(const quint64 *primes, std::size_t count)
{
    while (count > 0) {
        // Primes are in increasing order: those below the slice bound go to
        // the current file, the first one at or above it starts the next.
        const quint64 *end = primes + count;
        const quint64 *below = std::lower_bound(primes, end, bound_);
        Append(primes, std::size_t(below - primes));
        if (below == end)
            break;
        Switch(*below);
        count = std::size_t(end - below - 1);
        primes = below + 1;
    }
}

void Run::Append(const quint64 *primes, std::size_t count)
{
    if (count == 0)
        return;
    const qsizetype needed = qsizetype(count) * PrimeText::kMaxLine;
    if (body_.size() - used_ < needed)
        body_.resize(std::max(body_.size() * 2, used_ + needed));
    char *const begin = body_.data() + used_;
    char *out = begin;
    if (separators_) {
        const char *sep = separatorBytes_.constData();
        const int sepLength = int(separatorBytes_.size());
        for (std::size_t i = 0; i < count; ++i)
            out = PrimeText::GroupedLine(out, primes[i], sep, sepLength);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            out = PrimeText::PlainLine(out, primes[i]);
    }
    used_ += out - begin;
    count_ += qint64(count);
    handledAny_ = true;
    lastHandled_ = primes[count - 1];
}

const QByteArray &Run::Body()
{
    body_.resize(used_);
    return body_;
}

void Run::Switch(quint64 prime)
{
    host_.EcrireFichierListe(currentFile_, Body(), count_);
    host_.FichierTermine(currentFile_);
    ++k_;
    bound_ += kNombresParFichier;
    currentFile_ = host_.CheminFichierSuivant(firstFile_, baseName_, k_);
    // The first number of every continuation file is in plain digits, and
    // the file holds it alone until the file is complete.
    char line[PrimeText::kMaxLine];
    onDisk_ = QByteArray(line, PrimeText::PlainLine(line, prime) - line);
    onDiskCount_ = 1;
    host_.CreerFichier(currentFile_, onDisk_);
    // A new buffer: the host may still share the bytes of the last file.
    const qsizetype lastSize = body_.size();
    body_ = QByteArray();
    body_.resize(lastSize + lastSize / 8 + onDisk_.size());
    std::copy(onDisk_.cbegin(), onDisk_.cend(), body_.begin());
    used_ = onDisk_.size();
    count_ = 1;
    handledAny_ = true;
    lastHandled_ = prime;
}

void Run::Finish()
{
    ShowStatus();
    host_.EcrireFichierListe(currentFile_, Body(), count_);
    body_ = QByteArray();
    host_.AfficherFichier(currentFile_);
    host_.UpdateProgressBar(100);
    host_.SetPanelText(PanelPourcentage, PercentText(100));
    host_.SetPanelText(PanelEtat, QStringLiteral("Terminé..."));
    host_.Informer(QStringLiteral("Votre liste de numéros est prête et a été enregistrée avec succès en %1 fichier(s).")
                       .arg(k_));
}

void Run::Stop()
{
    // The current file gets its header over what it holds on disk: nothing
    // for the first file, its first prime for a continuation file. The
    // numbers not yet written are dropped.
    body_ = QByteArray();
    host_.EcrireFichierListe(currentFile_, onDisk_, onDiskCount_);
    host_.RazFin();
}

} // namespace

void Generer(ListHost &host, qint64 first, qint64 last, const QString &firstText, const QString &lastText)
{
    // The list never holds 0 or 1; the file names keep the start as typed.
    if (first < 2)
        first = 2;
    host.SetPanelText(PanelEtat, kEnCours);
    Run run(host, first, last, QStringLiteral("NP_") + firstText + QLatin1Char('-') + lastText + QLatin1Char('_'));
    try {
        if (!run.Start()) {
            host.RazFin();
            return;
        }
        if (run.Loop() == Outcome::Stopped) {
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

QList<quint64> PremiersParDivisions(quint64 first, quint64 last)
{
    QList<quint64> primes;
    first = std::max<quint64>(first, 2);
    quint32 counter = 0;
    for (quint64 n = first; n >= first && n <= last; ++n) {
        quint64 d = 2;
        const TrialOutcome outcome = DiviserParEssais(n, ISqrt(n + 1), counter, d, [](quint64) { return false; });
        if (outcome == TrialOutcome::NoDivisor)
            primes.append(n);
        if (n == last)
            break;
    }
    return primes;
}
