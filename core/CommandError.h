// The one error family that ends a command. It says what went wrong, with
// what the user needs to hear of it; the presentation (ErrorText) words it
// for the error box, which adds a full stop.
#pragma once

#include <QString>
#include <QtGlobal>
#include <stdexcept>

// The sizes of a refusal or a stop for the free space, in bytes.
struct CommandErrorSizes {
    quint64 needed = 0;
    quint64 available = 0;
    quint64 reserve = 0;
};

class CommandError : public std::runtime_error
{
public:
    enum class Kind {
        BadNumber,             // subject: the text as typed
        InvalidFloatOperation, // the square root of a negative number
        OutOfMemory,           // memory ran out while sieving a list
        ContinuationClash,     // subject: the chosen first file; file: the continuation file it would be
        FileFailed,            // subject: the list file library's account of the file and the reason
        NoRoom,                // subject: the folder; needed, available and reserve in bytes
        DiskFull,              // subject: the folder; available: its free bytes when the run stopped
    };

    using Sizes = CommandErrorSizes;

    static CommandError BadNumber(const QString &typed) { return {Kind::BadNumber, typed}; }
    // Raised for the square root of a negative number, as the
    // floating-point unit would report it.
    static CommandError InvalidFloatOperation() { return {Kind::InvalidFloatOperation, QString()}; }
    static CommandError OutOfMemory() { return {Kind::OutOfMemory, QString()}; }
    static CommandError ContinuationClash(const QString &chosen, qint64 file) { return {Kind::ContinuationClash, chosen, file}; }
    static CommandError FileFailed(const QString &account) { return {Kind::FileFailed, account}; }
    static CommandError NoRoom(const QString &folder, quint64 needed, quint64 available, quint64 reserve)
    {
        return {Kind::NoRoom, folder, 0, {needed, available, reserve}};
    }
    static CommandError DiskFull(const QString &folder, quint64 available)
    {
        return {Kind::DiskFull, folder, 0, {0, available, 0}};
    }

    Kind kind() const { return kind_; }
    const QString &subject() const { return subject_; }
    qint64 file() const { return file_; }
    const Sizes &sizes() const { return sizes_; }

private:
    CommandError(Kind kind, const QString &subject, qint64 file = 0, Sizes sizes = {})
        : std::runtime_error(subject.toStdString()), kind_(kind), subject_(subject), file_(file), sizes_(sizes) {}

    Kind kind_;
    QString subject_;
    qint64 file_;
    Sizes sizes_;
};
