// Prime list generation: every prime of a range, from libprimesieve, saved
// into numbered list files of one slice of 1 000 000 numbers each.
#pragma once

#include "core/RunHost.h"

#include <QByteArray>
#include <QList>
#include <optional>

// What the generation needs from the window besides the report and the
// status strip: the save dialog, the overwrite question, the list files
// and the final message. File operations raise CommandError with a French
// text naming the file and the reason.
class ListHost : public RunHost
{
public:
    // Whether "Sep. milliers" is checked at this moment.
    virtual bool SepMilliers() const = 0;
    // The save dialog, proposing a name; no value when cancelled.
    virtual std::optional<QString> ChoisirPremierFichier(const QString &proposedName) = 0;
    // Asks before replacing an existing first file; true when refused.
    virtual bool VerifierSiEcrasementFichier(const QString &path) = 0;

    // The bytes that stand between digit groups in a list file, for the
    // process-wide thousands separator.
    virtual QByteArray OctetsSeparateur() const = 0;
    // The path of continuation file k, next to the first file.
    virtual QString CheminFichierSuivant(const QString &firstFile, const QString &baseName, qint64 k) const = 0;
    // Creates the file, or replaces it silently, holding exactly `bytes`.
    virtual void CreerFichier(const QString &path, const QByteArray &bytes) = 0;
    // Writes a list file whole, in one go: the three header lines for
    // `count` numbers (grouped as "Sep. milliers" says now), then the number
    // lines, each already ended by CR LF. The file is replaced only once it
    // is complete; it becomes the last completed file.
    virtual void EcrireFichierListe(const QString &path, const QByteArray &numberLines, qint64 count) = 0;
    // A file of the run is complete and may be shown while the run goes on.
    virtual void FichierTermine(const QString &path) = 0;
    // Shows a list file in the report view, centred, before returning.
    virtual void AfficherFichier(const QString &path) = 0;
    // An information box with one OK button.
    virtual void Informer(const QString &text) = 0;
};

// Numbers per list file.
constexpr quint64 kNombresParFichier = 1'000'000;

// Lists the primes from first to last (last - first + 1 >= 10, checked by
// the caller); the texts are the fields as typed, for the file names.
void Generer(ListHost &host, qint64 first, qint64 last, const QString &firstText, const QString &lastText);

// The primes of [first, last] by trial division with 2 and every odd number,
// the plain rule the sieve must agree with; for tests and benchmarks.
QList<quint64> PremiersParDivisions(quint64 first, quint64 last);
