// What the desktop shows of a run outside the window: the progress on the
// taskbar entry (Unity launcher API, shown by KDE Plasma and the GNOME docks)
// and a notification when a list is ready, both over the session bus.
#pragma once

#include <QObject>
#include <QString>

class TDesktopSignals : public QObject
{
    Q_OBJECT

public:
    explicit TDesktopSignals(QObject *parent = nullptr);

    // The desktop entry the taskbar matches the signals with.
    static QString ApplicationUri();

    // Shows fraction (0..1) on the taskbar entry; repeated values within a
    // hundredth are not sent again.
    void SetProgress(double fraction);
    // Hides the taskbar entry's progress.
    void HideProgress();
    // "La liste est prête", with the number of files it has, grouped with
    // separator (presentation/WindowMessages words it).
    void NotifyListReady(qint64 files, const QString &separator);

private:
    void SendProgress(double fraction, bool visible);

    // The hundredths last sent, -1 when hidden.
    int sentHundredths_ = -1;
};
