// Prime list generation: every prime of a range, by trial division, saved
// into numbered list files of one slice of 1 000 000 numbers each.
#pragma once

#include "core/RunHost.h"

#include <QStringList>
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
    // Creates or empties the file and writes the lines, each with CR LF.
    virtual void EcrireFichier(const QString &path, const QStringList &lines) = 0;
    // Puts the three header lines on top of the file as it is on disk and
    // remembers it as the last completed file.
    virtual void IndiquerNombresContenus(const QString &path) = 0;
    // Starts continuation file k next to the first file, holding the prime
    // as its only line, and shows the last completed file; returns its path.
    virtual QString CreationAutomatiqueFichierSuivant(const QString &firstFile, const QString &baseName, int k,
                                                      qint64 firstPrime) = 0;
    // Shows a list file in the report view, centred.
    virtual void AfficherFichier(const QString &path) = 0;
    // An information box with one OK button.
    virtual void Informer(const QString &text) = 0;
};

// Numbers per list file.
constexpr quint64 kNombresParFichier = 1'000'000;

// Lists the primes from first to last (last - first + 1 >= 10, checked by
// the caller); the texts are the fields as typed, for the file names.
void Generer(ListHost &host, qint64 first, qint64 last, const QString &firstText, const QString &lastText);
