// The texts of the terminal's commands beyond the window's computations,
// kept together so that they can be reviewed and translated in one place.
#include "presentation/CliTexts.h"

namespace CliTexts {

QString EmptyNumber()
{
    return QStringLiteral("Un nombre est vide : indiquez un nombre entier.");
}

QString TooManyDigits(const QString &command, int digits, int limit)
{
    return QStringLiteral("Le nombre a %1 chiffres ; la commande %2 en accepte au plus %3.")
        .arg(digits)
        .arg(command)
        .arg(limit);
}

QString NegativeBound(const QString &text)
{
    return QStringLiteral("'%1' est négatif : cette commande n'accepte que des nombres positifs ou nuls.")
        .arg(text);
}

QString StartAfterEnd(const QString &first, const QString &last)
{
    return QStringLiteral("Le début de la plage (%1) dépasse sa fin (%2).").arg(first, last);
}

QString NthPrimeOfZero()
{
    return QStringLiteral("Le rang commence à 1 : le premier nombre premier est 2.");
}

QString NthPrimeTooLarge(const QString &limit)
{
    return QStringLiteral("Ce nombre premier dépasserait 9 223 372 036 854 775 807 (2^63 − 1) : le rang va au "
                          "plus jusqu'à %1.")
        .arg(limit);
}

QString NoPrimeBelow(const QString &text)
{
    return QStringLiteral("Il n'y a pas de nombre premier inférieur à %1.").arg(text);
}

QString OutputOnlyToStdout(const QString &value)
{
    return QStringLiteral("L'option --sortie n'accepte que « - », la sortie standard, et non « %1 ».").arg(value);
}

QString ListOutputWithFileOption(const QString &option)
{
    return QStringLiteral("L'option %1 concerne les fichiers et ne va pas avec --sortie -.").arg(option);
}

QString OutOfMemory()
{
    return QStringLiteral("Mémoire insuffisante pour ce calcul.");
}

QString StdoutFailed(const QString &reason)
{
    return QStringLiteral("L'écriture sur la sortie standard a échoué : %1.").arg(reason);
}

QString LibraryFailure(const QString &what)
{
    return QStringLiteral("Le calcul a échoué : %1").arg(what);
}

QString FactorisationProgress(int factorsFound, int digitsLeft)
{
    return QStringLiteral("facteurs premiers trouvés : %1 ; reste %2 chiffres").arg(factorsFound).arg(digitsLeft);
}

QString PrimalityProgress(int digits)
{
    return QStringLiteral("preuve de primalité d'un nombre de %1 chiffres").arg(digits);
}

QString SearchProgress()
{
    return QStringLiteral("calcul en cours");
}

QString HelpCommands()
{
    return QStringLiteral(
        "  nieme N           écrit le N-ième nombre premier (nieme 1 : 2), pour tout\n"
        "                    rang dont le nombre premier ne dépasse pas 2^63 − 1\n"
        "  suivant N         écrit le plus petit nombre premier supérieur à N\n"
        "  precedent N       écrit le plus grand nombre premier inférieur à N\n");
}

QString HelpCountOptions()
{
    return QStringLiteral(
        "Options de compter (plusieurs possibles, une ligne chacune, dans l'ordre) :\n"
        "  --jumeaux             paires (p, p+2)\n"
        "  --cousins             paires (p, p+4)\n"
        "  --sexy                paires (p, p+6)\n"
        "  --triplets            (p, p+2, p+6) et (p, p+4, p+6)\n"
        "  --quadruplets         (p, p+2, p+6, p+8)\n"
        "  --quintuplets         (p, p+2, p+6, p+8, p+12) et (p, p+4, p+6, p+10, p+12)\n"
        "  --sextuplets          (p, p+4, p+6, p+10, p+12, p+16)\n"
        "                        chaque groupe compté quand tous ses nombres sont\n"
        "                        dans la plage\n");
}

QString HelpListOutputOption()
{
    return QStringLiteral(
        "  --sortie -            écrit un nombre premier par ligne sur la sortie\n"
        "                        standard, sans en-tête ni fichier, pour un tube\n"
        "                        (chiffres seuls, ou groupés avec --sep-milliers)\n");
}

QString HelpLimits()
{
    return QStringLiteral(
        "verifier, suivant et precedent acceptent des nombres jusqu'à 1 000 chiffres,\n"
        "decomposer jusqu'à 100 chiffres. Jusqu'à 9 223 372 036 854 775 807, verifier\n"
        "et decomposer divisent comme la fenêtre ; au-delà, le résultat vient de FLINT\n"
        "et la primalité est toujours prouvée.\n");
}

} // namespace CliTexts
