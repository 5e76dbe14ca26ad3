// The messages only the main window shows: its questions before a stop or
// an overwrite, its notices, the failures of a list shown in its view and
// the desktop notification at the end of a list.
#pragma once

#include <QString>
#include <QtGlobal>

// The question before a run in progress is stopped.
QString RunInProgressQuestion();
// The notice when a command is asked for while a run goes on.
QString StopRunFirstMessage();
// The question before an existing file is replaced.
QString ReplaceFileQuestion(const QString &path);
// A run that ran out of memory outside its engine's own checks.
QString RunOutOfMemoryMessage();
// A file opened in the view that is no prime list.
QString WrongFileTypeMessage();
// A list file too large for the memory left to show it.
QString NoMemoryToShowMessage(const QString &path);
// The desktop notification at the end of a list: its title, and its text
// for `files` files, grouped with the session's separator.
QString ListReadySummary();
QString ListReadyBody(qint64 files, const QString &separator);
