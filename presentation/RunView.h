// What a run shows: report lines in the view, the elapsed time, the
// percentage, the state and the bar. The window, the terminal and the tests
// each have one; the presentation only writes to it.
#pragma once

#include <QString>
#include <QtGlobal>

enum class LineStyle { Normal, Bold, Italic };
enum class ParagraphAlignment { Left, Centre };

class RunView
{
public:
    // The bar's range; a position is kept within it before it is shown.
    static constexpr int kBarMinimum = 0;
    static constexpr int kBarMaximum = 100;

    virtual ~RunView() = default;

    // Report view: lines are appended at the end, one paragraph each, in the
    // alignment set last.
    virtual void SetReportAlignment(ParagraphAlignment alignment) = 0;
    virtual void AddReportLine(const QString &text, LineStyle style = LineStyle::Normal) = 0;

    // The status: elapsed time, percentage and state texts, and the bar at
    // a position within its range.
    virtual void SetElapsedText(const QString &text) = 0;
    virtual void SetPercentText(const QString &text) = 0;
    virtual void SetStateText(const QString &text) = 0;
    virtual void SetBarPosition(int position) = 0;
};
