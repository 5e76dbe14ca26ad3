// The progress of a terminal run on stderr: percentage, elapsed time, a bar
// and the list file being written, redrawn in place a few times a second.
#include "cli/ProgressLine.h"

#include "presentation/ElapsedText.h"

#include <QLocale>

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A terminal redraws about ten times a second at most: more only costs time.
constexpr qint64 kRedrawMs = 100;
constexpr int kBarWidth = 20;

int TerminalColumns()
{
    winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void WriteError(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

ProgressLine::ProgressLine(bool enabled) : enabled_(enabled)
{
    clock_.start();
}

void ProgressLine::Tick()
{
    if (!enabled_)
        return;
    if (sinceDraw_.isValid() && sinceDraw_.elapsed() < kRedrawMs)
        return;
    sinceDraw_.start();
    Draw();
}

void ProgressLine::Draw()
{
    const int filled = position_ * kBarWidth / 100;
    // Elapsed times are hours, minutes and seconds whatever the locale's
    // clock, as in the window's French interface.
    QString text = QStringLiteral("%1 [%2%3] %4")
                       .arg(percentText_, 5)
                       .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('-')))
                       .arg(ClockText(clock_.elapsed(), QLocale(QLocale::French, QLocale::France)));
    if (!fileName_.isEmpty())
        text += QStringLiteral("  ") + fileName_;
    // The last column stays free, or the terminal would wrap the line.
    const int width = TerminalColumns() - 1;
    if (text.size() > width)
        text = text.left(qMax(0, width - 1)) + QChar(0x2026);
    // "\033[K" erases the rest of the line: a longer line drawn before, or
    // the "^C" the terminal echoed.
    WriteError(QLatin1Char('\r') + text + QStringLiteral("\033[K"));
    shown_ = true;
}

void ProgressLine::Clear()
{
    if (!enabled_ || !shown_)
        return;
    WriteError(QStringLiteral("\r\033[K"));
    shown_ = false;
    // The next tick redraws at once, so the line comes back after a report
    // line.
    sinceDraw_.invalidate();
}
