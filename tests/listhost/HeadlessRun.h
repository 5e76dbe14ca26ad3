// A list run with no window: the engine writes real files through the list
// file library, the save dialog answers with a fixed path, and a stop can be
// asked once a given number of files is complete.
#pragma once

#include "RunByPumps.h"
#include "core/Generation.h"
#include "listhost/ListFileHost.h"

#include <QStringList>

#include <atomic>

class HeadlessRun : public ListFileHost, public ListRunHost
{
public:
    HeadlessRun(const QString &firstFile, bool separators) : firstFile_(firstFile), separators_(separators) {}

    void SetReportAlignment(ParagraphAlignment) override {}
    void AddReportLine(const QString &, LineStyle) override {}
    void SetElapsedText(const QString &) override {}
    void SetPercentText(const QString &) override {}
    void SetStateText(const QString &) override {}
    void SetBarPosition(int) override {}
    void ProcessMessages() {}
    bool ArretDemande() const { return stopAfterFiles_ >= 0 && completed_ >= stopAfterFiles_; }
    void RazFin() override {}
    bool LinesGrouped() const override { return separators_; }
    std::optional<QString> ChooseFirstFile(const QString &) override { return firstFile_; }
    bool VerifierSiEcrasementFichier(const QString &) override { return false; }
    void FichierTermine(const QString &) override { ++completed_; }
    bool FilesOffThread() const override { return filesOffThread; }
    void ShowListFile(const QString &) override {}
    void Inform(const QString &text) override { messages << text; }
    bool AskToResume(qint64) override { return resume; }

    // Asks for a stop once this many files are complete. With the files on
    // the run's thread the run stops in the next file; off it, the count
    // may lag behind the engine, so the run may go some files further.
    void StopAfter(int files) { stopAfterFiles_ = files; }
    int Completed() const { return completed_; }

    QStringList messages;
    // The answer to the resume question.
    bool resume = false;
    // Whether the engine writes the files on a thread of its own.
    bool filesOffThread = false;

private:
    QString firstFile_;
    bool separators_;
    int stopAfterFiles_ = -1;
    // Counted where the files are written, read where the run stops.
    std::atomic<int> completed_ = 0;
};
