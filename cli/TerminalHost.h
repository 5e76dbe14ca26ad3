// The window as a terminal run sees it: report lines on stdout, the status
// on the progress line, Ctrl+C as the stop button, options as the dialogs.
#pragma once

#include "presentation/InlineRun.h"
#include "listhost/ListFileHost.h"

#include <QStringList>

#include <mutex>
#include <optional>

class ProgressLine;

class TerminalHost : public ListFileHost, public ListRunHost
{
public:
    struct ListOptions {
        QString folder;       // where the first file goes
        QString fileName;     // the first file's name; empty: the proposed one
        bool separators = false;
        bool replace = false; // an existing first file is replaced
        bool resume = false;  // an earlier stopped run of the list goes on
    };

    TerminalHost(ProgressLine &progress, ListOptions options);

    void SetReportAlignment(ParagraphAlignment) override {}
    void AddReportLine(const QString &text, LineStyle style) override;
    void SetElapsedText(const QString &) override {}
    void SetPercentText(const QString &text) override;
    void SetStateText(const QString &) override {}
    void SetBarPosition(int position) override;
    // The progress line follows the run at each checkpoint.
    void ProcessMessages();
    void RazFin() override;

    bool LinesGrouped() const override { return options_.separators; }
    std::optional<QString> ChooseFirstFile(const QString &proposedName) override;
    bool VerifierSiEcrasementFichier(const QString &path) override;
    void CreateFile(const QString &path, const QByteArray &bytes) override;
    void FichierTermine(const QString &) override {}
    // The files are written on a thread of the run's own, while the run
    // formats the next one: the list files library and the free space are
    // only used there, and the name of the file being written reaches the
    // progress line under the lock below.
    bool FilesOffThread() const override { return true; }
    void ShowListFile(const QString &path) override;
    void Inform(const QString &text) override;
    // A terminal asks nothing: --reprendre answers the resume question, and
    // a long list starts as a script asked for it.
    bool AskToResume(qint64) override { return options_.resume; }


private:
    ProgressLine &progress_;
    std::mutex fileMutex_;
    // The file created last, not yet on the progress line.
    std::optional<QString> createdFile_;
    ListOptions options_;
    QStringList report_;
    // Empty lines are printed only between two lines with text, so the
    // report's spacing stays but it neither starts nor ends with blanks.
    int pendingEmptyLines_ = 0;
    bool listFinished_ = false;
};

// Text lines for the terminal's two streams, in UTF-8, flushed at once.
void PrintLine(const QString &text);
void PrintError(const QString &text);
