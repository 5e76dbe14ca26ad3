// The messages of the help window and of the help file's check, worded in
// one place.
#include "presentation/HelpMessages.h"

QString MissingTopicMessage(quint32 context, const QString &fileName)
{
    return QStringLiteral("La rubrique d'aide n° %1 n'existe pas dans « %2 ».").arg(context).arg(fileName);
}

QString DamagedPageMessage(const QString &path)
{
    return QStringLiteral("La page « %1 » du fichier d'aide ne peut pas être lue : le fichier est endommagé.").arg(path);
}

QString MissingPageMessage(const QString &path)
{
    return QStringLiteral("La page « %1 » est introuvable dans le fichier d'aide.").arg(path);
}

QString SearchOutcomeMessage(qsizetype found)
{
    return found == 0 ? QStringLiteral("Aucune rubrique trouvée.")
                      : QStringLiteral("%1 rubrique(s) trouvée(s).").arg(found);
}

QString HelpFileUnreadableMessage(const QString &helpFile)
{
    return QStringLiteral("Fichier d'aide introuvable ou illisible : %1\n").arg(helpFile);
}

QString HelpFileReport(const QString &helpFile, quint32 context, const QString &topic)
{
    return QStringLiteral("Fichier d'aide : %1\nRubrique %2 : %3\n").arg(helpFile, QString::number(context), topic);
}
