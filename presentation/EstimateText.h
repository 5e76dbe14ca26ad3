// The wording of a list's estimate and of the list's own messages: sizes,
// durations, the question before a long list and the final message.
#pragma once

#include "core/ListEstimate.h"

#include <QString>
#include <QtGlobal>

// "1,2 Go", "480 To": a size in decimal units with one or two significant
// decimals, as file managers show it.
QString SizeText(quint64 bytes);
// "moins d'une seconde", "12 s", "37 min", "3 h 20 min", "4 jours",
// "3 mois", "12 ans": a duration rounded for a person; years are grouped
// with separator.
QString DurationText(double seconds, const QString &separator);
// The four lines that present an estimate, each ended by a newline, its
// numbers grouped with separator: "Nombres premiers : environ
// 29 844 570 422 669", "Fichiers : …", "Taille : …", "Durée : environ …".
QString EstimateText(const ListEstimate &estimate, const QString &separator);
// The question before a long list, from its estimate.
QString LongListQuestion(const ListEstimate &estimate, const QString &separator);
// The final message of a finished list.
QString ListReadyMessage(qint64 files);
