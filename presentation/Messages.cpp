// The messages a user reads when a command ends in an error or an entry is
// refused: every CommandError worded in one place, and the entry's limits.
#include "presentation/Messages.h"

#include "core/NumberEntry.h"
#include "presentation/EstimateText.h"

#include <QDir>

QString ErrorText(const CommandError &error)
{
    switch (error.kind()) {
    case CommandError::Kind::BadNumber:
        return QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(error.subject());
    case CommandError::Kind::InvalidFloatOperation:
        return QStringLiteral("Opération en virgule flottante incorrecte");
    case CommandError::Kind::OutOfMemory:
        return QStringLiteral("La mémoire a manqué pour calculer les nombres premiers.");
    case CommandError::Kind::ContinuationClash:
        return QStringLiteral("%1 porte le nom du fichier n° %2 de cette même liste, qui le remplacerait. "
                              "Choisissez un autre nom pour le premier fichier.")
            .arg(QDir::toNativeSeparators(error.subject()))
            .arg(error.file());
    case CommandError::Kind::FileFailed:
        // The list file library words its own failures.
        return error.subject();
    case CommandError::Kind::NoRoom:
        return QStringLiteral("Cette liste occuperait environ %1, mais le disque du dossier « %2 » n'a que %3 de "
                              "libre, dont %4 restent en réserve pour les autres programmes. "
                              "Choisissez un autre dossier ou une plage plus courte.")
            .arg(SizeText(error.sizes().needed), QDir::toNativeSeparators(error.subject()),
                 SizeText(error.sizes().available), SizeText(error.sizes().reserve));
    case CommandError::Kind::DiskFull:
        return QStringLiteral("La liste a été arrêtée avant de remplir le disque : il ne reste que %1 de libre "
                              "dans le dossier « %2 ». Les fichiers terminés sont entiers, et le dernier porte son "
                              "en-tête.")
            .arg(SizeText(error.sizes().available), QDir::toNativeSeparators(error.subject()));
    }
    return error.subject();
}

QString DigitLimitMessage()
{
    return QStringLiteral("Vous ne pouvez pas saisir plus de %1 chiffres.").arg(NombreChiffresMax);
}

QString RangeTooSmallMessage()
{
    return QStringLiteral("Demandez au minimum %1 nombres premiers.").arg(kMinimumNumbers);
}

QString AnnouncementText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        const QString sentence = line.trimmed();
        if (sentence.isEmpty())
            continue;
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += sentence;
        // A line that ends without a stop of its own gets one, so that a
        // reader pauses between them.
        if (!sentence.endsWith(QLatin1Char('.')) && !sentence.endsWith(QLatin1Char(':')))
            text += QLatin1Char('.');
    }
    return text;
}

QString StoppedAnnouncement()
{
    return QStringLiteral("Traitement arrêté.");
}
