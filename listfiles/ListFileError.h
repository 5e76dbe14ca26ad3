// The one exception type of the list file library: a failed create, write
// or read, carrying a finished French sentence that names the file.
#pragma once

#include <QString>

#include <stdexcept>

class QFileDevice;

namespace ListFiles {

class ListFileError : public std::runtime_error
{
public:
    // What the program was doing when the file let it down; each gives the
    // sentence its opening words.
    enum class Operation { Write, Read };

    ListFileError(Operation operation, const QString &path, const QString &reason);

    // Builds the reason from the error the device reported.
    static ListFileError fromDevice(Operation operation, const QString &path,
                                    const QFileDevice &device);

    // A whole sentence ready for a message box, for example
    // Impossible d'écrire le fichier « /home/ana/NP_1-10_01.txt » : permission refusée.
    QString message() const { return QString::fromUtf8(what()); }
    QString path() const { return path_; }
    QString reason() const { return reason_; }

private:
    QString path_;
    QString reason_;
};

// A file that could not be read for its size or for want of memory rather
// than because it is unreadable: the window tells the user so, with the size.
class ListFileSizeError : public ListFileError
{
public:
    using ListFileError::ListFileError;
};

} // namespace ListFiles
