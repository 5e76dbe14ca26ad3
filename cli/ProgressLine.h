// The progress of a terminal run on stderr: percentage, elapsed time, a bar
// and the list file being written, redrawn in place a few times a second.
#pragma once

#include <QElapsedTimer>
#include <QString>

class ProgressLine
{
public:
    // A disabled line draws nothing (stderr is not a terminal, or the user
    // asked for silence).
    explicit ProgressLine(bool enabled);

    void SetPosition(int position) { position_ = qBound(0, position, 100); }
    // The percentage as the window's panel shows it; empty hides it.
    void SetPercentText(const QString &text) { percentText_ = text; }
    void SetFile(const QString &fileName) { fileName_ = fileName; }

    // Redraws the line when it is due.
    void Tick();
    // Erases the line, before other text goes to the terminal or at the end.
    void Clear();

private:
    void Draw();

    bool enabled_;
    int position_ = 0;
    QString percentText_;
    QString fileName_;
    QElapsedTimer clock_;
    QElapsedTimer sinceDraw_;
    // Whether the terminal's line holds a progress line to erase.
    bool shown_ = false;
};
