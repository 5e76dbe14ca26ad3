// The messages of the help window and of the help file's check at start-up.
#pragma once

#include <QString>
#include <QtGlobal>

// A context number the help file does not map to a topic.
QString MissingTopicMessage(quint32 context, const QString &fileName);
// A page of the help file that cannot be shown: damaged, or not in it.
QString DamagedPageMessage(const QString &path);
QString MissingPageMessage(const QString &path);
// The outcome of a search, for the help window's status bar.
QString SearchOutcomeMessage(qsizetype found);
// `tavorine --verifier-aide`: the help file that cannot be opened, or what
// it opened at the index's context.
QString HelpFileUnreadableMessage(const QString &helpFile);
QString HelpFileReport(const QString &helpFile, quint32 context, const QString &topic);
