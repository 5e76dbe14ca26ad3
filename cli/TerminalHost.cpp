// The window as a terminal run sees it: report lines on stdout, the status
// on the progress line, Ctrl+C as the stop button, options as the dialogs.
#include "cli/TerminalHost.h"

#include "cli/ProgressLine.h"
#include "cli/StopSignals.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

void WriteLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void PrintLine(const QString &text)
{
    WriteLine(stdout, text);
}

void PrintError(const QString &text)
{
    WriteLine(stderr, text);
}

TerminalHost::TerminalHost(ProgressLine &progress, ListOptions options)
    : progress_(progress), options_(std::move(options))
{
}

void TerminalHost::AddReportLine(const QString &text, LineStyle)
{
    if (text.isEmpty()) {
        ++pendingEmptyLines_;
        return;
    }
    progress_.Clear();
    if (!report_.isEmpty()) {
        for (; pendingEmptyLines_ > 0; --pendingEmptyLines_)
            PrintLine(QString());
    }
    pendingEmptyLines_ = 0;
    PrintLine(text);
    report_.append(text);
}

void TerminalHost::SetPercentText(const QString &text)
{
    progress_.SetPercentText(text);
}

void TerminalHost::SetBarPosition(int position)
{
    progress_.SetPosition(position);
}

void TerminalHost::ProcessMessages()
{
    {
        const std::lock_guard lock(fileMutex_);
        if (createdFile_)
            progress_.SetFile(*std::exchange(createdFile_, std::nullopt));
    }
    progress_.Tick();
}

void TerminalHost::RazFin()
{
    progress_.Clear();
}

std::optional<QString> TerminalHost::ChooseFirstFile(const QString &proposedName)
{
    QString name = options_.fileName.isEmpty() ? proposedName : options_.fileName;
    // The save dialog adds ".txt" to a name that has no extension.
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".txt");
    const QDir folder(options_.folder.isEmpty() ? QStringLiteral(".") : options_.folder);
    return QDir::cleanPath(folder.absoluteFilePath(name));
}

bool TerminalHost::VerifierSiEcrasementFichier(const QString &path)
{
    if (options_.replace || !QFileInfo::exists(path))
        return false;
    PrintError(QStringLiteral("%1 existe déjà. Ajoutez --remplacer pour le remplacer.")
                   .arg(QDir::toNativeSeparators(path)));
    return true;
}

void TerminalHost::CreateFile(const QString &path, const QByteArray &bytes)
{
    {
        const std::lock_guard lock(fileMutex_);
        createdFile_ = QFileInfo(path).fileName();
    }
    ListFileHost::CreateFile(path, bytes);
}

void TerminalHost::ShowListFile(const QString &)
{
    // A list of a million lines has no place on a terminal; the files are
    // the result.
    listFinished_ = true;
}

void TerminalHost::Inform(const QString &text)
{
    progress_.Clear();
    // After the last file the message is the run's result; before it, it
    // says why the run ended early.
    if (listFinished_)
        PrintLine(text);
    else
        PrintError(text);
}
