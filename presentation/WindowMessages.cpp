// The messages only the main window shows, worded in one place.
#include "presentation/WindowMessages.h"

#include "presentation/NumberText.h"

#include <QDir>

QString RunInProgressQuestion()
{
    return QStringLiteral("Processus en cours. Arrêter ?");
}

QString StopRunFirstMessage()
{
    return QStringLiteral("Vous devez arrêter le processus en cours d'abord (bouton \"Arrêter\")");
}

QString ReplaceFileQuestion(const QString &path)
{
    return QStringLiteral("%1 existe déjà. Voulez-vous le remplacer ?").arg(QDir::toNativeSeparators(path));
}

QString RunOutOfMemoryMessage()
{
    return QStringLiteral("La mémoire a manqué pour terminer le traitement");
}

QString WrongFileTypeMessage()
{
    return QStringLiteral("Type de fichier incorrect.");
}

QString NoMemoryToShowMessage(const QString &path)
{
    return QStringLiteral("La mémoire manque pour afficher le fichier «\u00A0%1\u00A0».")
        .arg(QDir::toNativeSeparators(path));
}

QString ListReadySummary()
{
    return QStringLiteral("La liste est prête");
}

QString ListReadyBody(qint64 files, const QString &separator)
{
    return files == 1 ? QStringLiteral("Les nombres premiers ont été enregistrés dans 1 fichier.")
                      : QStringLiteral("Les nombres premiers ont été enregistrés dans %1 fichiers.")
                            .arg(GroupedNumber(files, separator));
}
