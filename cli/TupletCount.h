// Prime pairs and tuplets inside a range, with primesieve's definitions:
// every member of a group lies in [first, last].
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

enum class Tuplet { Twins, Cousins, Sexy, Triplets, Quadruplets, Quintuplets, Sextuplets };

// The option that asks for a kind ("--jumeaux"...), and the kind of an
// option; no value for another option.
QString TupletOption(Tuplet kind);
std::optional<Tuplet> TupletOfOption(const QString &option);

// The number of groups of that kind inside [first, last].
quint64 CountTuplets(Tuplet kind, quint64 first, quint64 last);
