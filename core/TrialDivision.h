// The checkpoint rule of trial division: a checkpoint every 100 000
// divisions, and how a division by trial ends.
#pragma once

#include <QtGlobal>
#include <functional>

constexpr quint32 kDivisionsParPointDeControle = 100'000;

enum class TrialOutcome { NoDivisor, DivisorFound, Stopped };

// DiviserParEssaisRapide behind a plain function, for PremiersParDivisions,
// the rule the prime lists are checked against, which still lives in core.
TrialOutcome DiviserParEssais(quint64 value, quint64 limit, quint32 &counter, quint64 &d,
                              const std::function<bool(quint64)> &checkpoint);
