// The checkpoint rule of trial division: a checkpoint every 100 000
// divisions, and how a division by trial ends.
#pragma once

#include <QtGlobal>

constexpr quint32 kDivisionsPerCheckpoint = 100'000;

enum class TrialOutcome { NoDivisor, DivisorFound, Stopped };
