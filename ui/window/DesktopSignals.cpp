// What the desktop shows of a run outside the window: the progress on the
// taskbar entry (Unity launcher API, shown by KDE Plasma and the GNOME docks)
// and a notification when a list is ready, both over the session bus.
#include "ui/window/DesktopSignals.h"

#include "presentation/WindowMessages.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

namespace {

// Every message goes out without waiting for an answer: with no session bus
// nothing is sent, and a bus that never answers cannot stop the window.
void Send(const QDBusMessage &message)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.send(message);
}

} // namespace

TDesktopSignals::TDesktopSignals(QObject *parent) : QObject(parent) {}

QString TDesktopSignals::ApplicationUri()
{
    return QStringLiteral("application://org.tavorine.Tavorine.desktop");
}

void TDesktopSignals::SetProgress(double fraction)
{
    if (!std::isfinite(fraction))
        return;
    fraction = std::clamp(fraction, 0.0, 1.0);
    const int hundredths = int(std::lround(fraction * 100));
    if (hundredths == sentHundredths_)
        return;
    sentHundredths_ = hundredths;
    SendProgress(fraction, true);
}

void TDesktopSignals::HideProgress()
{
    sentHundredths_ = -1;
    SendProgress(0, false);
}

void TDesktopSignals::SendProgress(double fraction, bool visible)
{
    QDBusMessage update = QDBusMessage::createSignal(QStringLiteral("/org/tavorine/Tavorine"),
                                                     QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                                     QStringLiteral("Update"));
    QVariantMap properties;
    properties.insert(QStringLiteral("progress"), fraction);
    properties.insert(QStringLiteral("progress-visible"), visible);
    update << ApplicationUri() << properties;
    Send(update);
}

void TDesktopSignals::NotifyListReady(qint64 files, const QString &separator)
{
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.tavorine.Tavorine"));
    notify << QStringLiteral("Tavorine") << uint(0) << QStringLiteral("org.tavorine.Tavorine") << ListReadySummary()
           << ListReadyBody(files, separator) << QStringList() << hints << int(-1);
    Send(notify);
}
