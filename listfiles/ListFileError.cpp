// Turns what the system reports about a failed file operation into a short
// French reason, and puts operation, native path and reason into one sentence.
#include "listfiles/ListFileError.h"

#include <QDir>
#include <QFileDevice>

#include <cerrno>

namespace ListFiles {

namespace {

struct ErrnoReason
{
    int code;
    const char *reason;
};

// Qt gives no error number, only the system's text for it (see
// qt_error_string), so the number is found again by looking for that text.
const ErrnoReason kReasons[] = {
    {ENOSPC, "le disque est plein"},
    {EDQUOT, "le quota d'espace disque est dépassé"},
    {EACCES, "permission refusée"},
    {EPERM, "opération non permise"},
    {EROFS, "le support est en lecture seule"},
    {ENOENT, "le fichier ou son dossier n'existe pas"},
    {ENOTDIR, "un élément du chemin n'est pas un dossier"},
    {EISDIR, "ce chemin désigne un dossier"},
    {ENAMETOOLONG, "le nom ou le chemin est trop long"},
    {ELOOP, "trop de liens symboliques dans le chemin"},
    {EFBIG, "le fichier est trop volumineux"},
    {EIO, "erreur d'entrée-sortie du périphérique"},
    {EMFILE, "trop de fichiers sont ouverts"},
    {ENFILE, "trop de fichiers sont ouverts"},
    {ETXTBSY, "le fichier est en cours d'utilisation"},
    {EBUSY, "le fichier est en cours d'utilisation"},
    {ENXIO, "le périphérique est introuvable"},
    {ENODEV, "le périphérique est introuvable"},
    {EINVAL, "le nom de fichier n'est pas valide"},
};

QString reasonFromDevice(const QFileDevice &device)
{
    const QString systemText = device.errorString();
    for (const ErrnoReason &entry : kReasons) {
        const QString known = qt_error_string(entry.code);
        if (!known.isEmpty() && systemText.contains(known, Qt::CaseInsensitive))
            return QString::fromUtf8(entry.reason);
    }
    switch (device.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("permission refusée");
    case QFileDevice::ResourceError:
        return QStringLiteral("ressources du système insuffisantes");
    default:
        break;
    }
    // Qt's own text when the system gave no error number.
    if (systemText.isEmpty() || systemText == QLatin1String("Unknown error"))
        return QStringLiteral("erreur inconnue du système");
    return QStringLiteral("erreur du système (%1)").arg(systemText);
}

QString openingWords(ListFileError::Operation operation)
{
    switch (operation) {
    case ListFileError::Operation::Write:
        return QStringLiteral("Impossible d'écrire le fichier");
    case ListFileError::Operation::Read:
        break;
    }
    return QStringLiteral("Impossible de lire le fichier");
}

// French typography: no-break spaces inside the guillemets and before the
// colon, so a long path never leaves a guillemet or the colon alone on a line.
QString sentence(ListFileError::Operation operation, const QString &path, const QString &reason)
{
    return QStringLiteral("%1 «\u00A0%2\u00A0»\u00A0: %3.")
        .arg(openingWords(operation), QDir::toNativeSeparators(path), reason);
}

} // namespace

ListFileError::ListFileError(Operation operation, const QString &path, const QString &reason)
    : std::runtime_error(sentence(operation, path, reason).toStdString()),
      path_(path),
      reason_(reason)
{
}

ListFileError ListFileError::fromDevice(Operation operation, const QString &path,
                                        const QFileDevice &device)
{
    return ListFileError(operation, path, reasonFromDevice(device));
}

} // namespace ListFiles
