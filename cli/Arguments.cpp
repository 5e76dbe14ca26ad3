// The command line of tavorine-cli: a command with its numbers and options,
// read by hand so that a negative number is never taken for an option.
#include "cli/Arguments.h"

#include "cli/TupletCount.h"
#include "presentation/CliTexts.h"
#include "Version.h"

namespace {

struct OptionText {
    QString name;
    std::optional<QString> value; // after "="
};

OptionText SplitOption(const QString &argument)
{
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    if (equals < 0)
        return {argument, std::nullopt};
    return {argument.left(equals), argument.mid(equals + 1)};
}

bool IsSeparatorAccepted(const QString &separator)
{
    // One character, which cannot be read as a digit or end a line.
    const QList<uint> codePoints = separator.toUcs4();
    if (codePoints.size() != 1)
        return false;
    const char32_t c = codePoints.constFirst();
    return !QChar::isDigit(c) && QChar::category(c) != QChar::Other_Control;
}

// Reads one option of the list command into args; false when unknown.
bool ReadListOption(Arguments &args, const OptionText &option, const QStringList &arguments, qsizetype &i)
{
    const auto takeValue = [&](QString &target) {
        if (option.value) {
            target = *option.value;
        } else if (i + 1 < arguments.size()) {
            target = arguments[++i];
        } else {
            args.error = QStringLiteral("L'option %1 attend une valeur.").arg(option.name);
        }
    };
    if (option.name == QLatin1String("--dossier")) {
        takeValue(args.folder);
    } else if (option.name == QLatin1String("--nom")) {
        takeValue(args.fileName);
        if (args.error.isEmpty() && args.fileName.isEmpty())
            args.error = QStringLiteral("Le nom du fichier ne peut pas être vide.");
    } else if (option.name == QLatin1String("--sep-milliers")) {
        args.separators = true;
        args.separator = option.value;
        if (option.value && !IsSeparatorAccepted(*option.value))
            args.error = QStringLiteral("Le séparateur de milliers doit être un seul caractère, autre qu'un chiffre.");
    } else if (option.name == QLatin1String("--remplacer") && !option.value) {
        args.replace = true;
    } else if (option.name == QLatin1String("--reprendre") && !option.value) {
        args.resume = true;
    } else if (option.name == QLatin1String("--estimer") && !option.value) {
        args.estimate = true;
    } else if (option.name == QLatin1String("--sortie")) {
        QString value;
        takeValue(value);
        args.output = value;
        if (args.error.isEmpty() && value != QLatin1String("-"))
            args.error = CliTexts::OutputOnlyToStdout(value);
    } else {
        return false;
    }
    return true;
}

} // namespace

Arguments ParseArguments(const QStringList &arguments)
{
    Arguments args;
    if (arguments.isEmpty()) {
        args.error = QStringLiteral("Indiquez une commande : verifier, decomposer, lister, compter, nieme, suivant ou precedent.");
        return args;
    }
    const QString &command = arguments.constFirst();
    if (command == QLatin1String("-h") || command == QLatin1String("--help"))
        return args;
    if (command == QLatin1String("-v") || command == QLatin1String("--version")) {
        args.command = Arguments::Command::Version;
        return args;
    }
    int expected = 1;
    if (command == QLatin1String("verifier")) {
        args.command = Arguments::Command::Verify;
    } else if (command == QLatin1String("decomposer")) {
        args.command = Arguments::Command::Factorise;
    } else if (command == QLatin1String("lister")) {
        args.command = Arguments::Command::List;
        expected = 2;
    } else if (command == QLatin1String("compter")) {
        args.command = Arguments::Command::Count;
        expected = 2;
    } else if (command == QLatin1String("nieme")) {
        args.command = Arguments::Command::Nth;
    } else if (command == QLatin1String("suivant")) {
        args.command = Arguments::Command::Next;
    } else if (command == QLatin1String("precedent")) {
        args.command = Arguments::Command::Previous;
    } else {
        args.error = QStringLiteral("Commande inconnue : %1").arg(command);
        return args;
    }

    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size() && args.error.isEmpty(); ++i) {
        const QString &argument = arguments[i];
        // Only "--" starts an option: "-5" or "-$FF" are numbers.
        if (optionsEnded || !argument.startsWith(QLatin1String("--"))) {
            args.numbers.append(argument);
            continue;
        }
        const OptionText option = SplitOption(argument);
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (option.name == QLatin1String("--help") && !option.value) {
            args = Arguments();
            return args;
        } else if (option.name == QLatin1String("--silencieux") && !option.value) {
            args.silent = true;
        } else if (args.command == Arguments::Command::Count && !option.value && TupletOfOption(option.name)) {
            args.tuplets.append(option.name);
        } else if (args.command != Arguments::Command::List || !ReadListOption(args, option, arguments, i)) {
            args.error = QStringLiteral("Option inconnue : %1").arg(argument);
        }
    }
    if (args.error.isEmpty() && args.numbers.size() != expected) {
        args.error = expected == 1 ? QStringLiteral("La commande %1 attend un nombre.").arg(command)
                                   : QStringLiteral("La commande %1 attend deux nombres : DEBUT et FIN.").arg(command);
    }
    if (args.error.isEmpty() && args.output) {
        // The list on standard output has no file to name, replace or resume.
        const std::pair<bool, const char *> fileOptions[] = {{!args.folder.isEmpty(), "--dossier"},
                                                             {!args.fileName.isEmpty(), "--nom"},
                                                             {args.replace, "--remplacer"},
                                                             {args.resume, "--reprendre"},
                                                             {args.estimate, "--estimer"}};
        for (const auto &[given, name] : fileOptions) {
            if (given && args.error.isEmpty())
                args.error = CliTexts::ListOutputWithFileOption(QString::fromLatin1(name));
        }
    }
    return args;
}

QString HelpText()
{
    return QStringLiteral(
        "Utilisation : tavorine-cli COMMANDE [options]\n"
        "Les calculs de Tavorine dans un terminal.\n"
        "\n"
        "Commandes :\n"
        "  verifier N        dit si N est premier (code de retour 0 : oui, 1 : non)\n"
        "  decomposer N      décompose N en facteurs premiers, écrits (p^k)\n"
        "  lister DEBUT FIN  enregistre les nombres premiers de DEBUT à FIN dans des\n"
        "                    fichiers texte d'un million de nombres chacun, comme la\n"
        "                    fenêtre de Tavorine\n"
        "  compter DEBUT FIN compte les nombres premiers de DEBUT à FIN, exactement,\n"
        "                    sans rien écrire\n"
        "%1"
        "\n"
        "Options de lister :\n"
        "  --dossier DOSSIER     dossier des fichiers (par défaut, le dossier courant)\n"
        "  --nom FICHIER         nom du premier fichier (par défaut, le nom que propose\n"
        "                        la fenêtre, NP_DEBUT-FIN_01.txt) ; .txt est ajouté à\n"
        "                        un nom sans extension\n"
        "  --sep-milliers[=CAR]  sépare les chiffres par groupes de trois, avec CAR ou,\n"
        "                        sans valeur, avec le séparateur de milliers des\n"
        "                        réglages régionaux ; sans l'option, chiffres seuls\n"
        "  --remplacer           remplace un premier fichier qui existe déjà\n"
        "  --reprendre           si le premier fichier commence une liste arrêtée de\n"
        "                        la même plage, garde ses fichiers terminés et\n"
        "                        écrit la suite\n"
        "  --estimer             affiche le nombre de nombres premiers, de fichiers,\n"
        "                        la taille et la durée de la liste, sans rien écrire\n"
        "%2"
        "\n"
        "%3"
        "\n"
        "Options communes :\n"
        "  --silencieux          n'affiche pas la progression\n"
        "  -h, --help            affiche cette aide et quitte\n"
        "  -v, --version         affiche la version et quitte\n"
        "\n"
        "Les nombres s'écrivent en décimal, ou en hexadécimal derrière $, x ou 0x,\n"
        "avec un signe et des espaces en tête s'il le faut. La progression s'affiche\n"
        "sur la sortie d'erreur quand c'est un terminal. Ctrl+C arrête un calcul\n"
        "comme le bouton rouge de la fenêtre : les fichiers terminés restent entiers\n"
        "et le fichier en cours reçoit son en-tête. Une liste qui ne tient pas sur le\n"
        "disque est refusée avant son premier fichier, et une liste qui l'emplirait\n"
        "s'arrête avant, en gardant de la place pour les autres programmes.\n"
        "\n"
        "%4"
        "\n"
        "Codes de retour : 0 réussi (nombre premier pour verifier), 1 nombre non\n"
        "premier, 2 erreur (nombre incorrect, fichier existant, écriture\n"
        "impossible, disque plein...), 130 arrêté par Ctrl+C (SIGINT), 143 arrêté\n"
        "par SIGTERM.\n")
        .arg(CliTexts::HelpCommands(), CliTexts::HelpListOutputOption(), CliTexts::HelpCountOptions(),
             CliTexts::HelpLimits());
}

QString VersionText()
{
    return QStringLiteral("tavorine-cli (Tavorine) " TAVORINE_VERSION_TEXT "\n");
}
