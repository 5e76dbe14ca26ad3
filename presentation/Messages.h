// The messages a user reads when a command ends in an error or an entry is
// refused: every CommandError worded in one place, and the entry's limits.
#pragma once

#include "core/CommandError.h"

#include <QString>
#include <QStringList>

// The text of the error box for an error (the box adds the full stop).
QString ErrorText(const CommandError &error);

// Message shown when a digit would exceed the limit.
QString DigitLimitMessage();
// The refusal of a range of fewer than kMinimumNumbers numbers.
QString RangeTooSmallMessage();

// What a screen reader says at the end of a run: the lines it shows, each
// a sentence ("97. Nombre premier : oui. Terminé..."), and at a stop.
QString AnnouncementText(const QStringList &lines);
QString StoppedAnnouncement();
