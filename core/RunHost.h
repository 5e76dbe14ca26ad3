// The window as the computations see it: report lines, status panels,
// progress, the message pump and the stop request. Tests fake it.
#pragma once

#include <QString>
#include <QtGlobal>

enum class LineStyle { Normal, Bold, Italic };
enum class ParagraphAlignment { Left, Centre };

// Panel numbers of the status strip.
enum StatusPanel { PanelSpacer = 0, PanelTemps = 1, PanelPourcentage = 2, PanelEtat = 3, PanelProgression = 4 };

class RunHost
{
public:
    virtual ~RunHost() = default;

    // Report view: lines are appended at the end, one paragraph each, in the
    // alignment set last.
    virtual void SetReportAlignment(ParagraphAlignment alignment) = 0;
    virtual void AddReportLine(const QString &text, LineStyle style = LineStyle::Normal) = 0;

    // Status strip.
    virtual void SetPanelText(int panel, const QString &text) = 0;
    virtual void UpdateProgressBar(qint64 position) = 0;
    virtual int ProgressPosition() const = 0;

    // Run control: handle pending window messages, then say whether the user
    // asked to stop; RazFin resets the window after a stopped run.
    virtual void ProcessMessages() = 0;
    virtual bool ArretDemande() const = 0;
    virtual void RazFin() = 0;
};
