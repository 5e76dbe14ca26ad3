// What a run shows: report lines in the view and the status strip's panels
// and bar. The window, the terminal and the tests each have one.
#pragma once

#include <QString>
#include <QtGlobal>

enum class LineStyle { Normal, Bold, Italic };
enum class ParagraphAlignment { Left, Centre };

// Panel numbers of the status strip.
enum StatusPanel { PanelSpacer = 0, PanelTemps = 1, PanelPourcentage = 2, PanelEtat = 3, PanelProgression = 4 };

class RunView
{
public:
    virtual ~RunView() = default;

    // Report view: lines are appended at the end, one paragraph each, in the
    // alignment set last.
    virtual void SetReportAlignment(ParagraphAlignment alignment) = 0;
    virtual void AddReportLine(const QString &text, LineStyle style = LineStyle::Normal) = 0;

    // Status strip. The bar keeps a position outside its range at the
    // nearest end; ProgressPosition reads back what it shows.
    virtual void SetPanelText(int panel, const QString &text) = 0;
    virtual void UpdateProgressBar(qint64 position) = 0;
    virtual int ProgressPosition() const = 0;
};
