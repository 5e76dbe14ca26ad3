// The taskbar progress and the notification of a finished list, received by
// a listener on a real session bus (the test runs under dbus-run-session),
// and, with no bus to reach, calls that neither fail nor wait.
#include "ui/window/DesktopSignals.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QVariantMap>
#include <QtTest>

// Stands for the notification server and the taskbar: it owns
// org.freedesktop.Notifications on its own connection and records what
// arrives.
class Listener : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Update {
        QString uri;
        QVariantMap properties;
    };
    QList<Update> updates;
    QStringList notifications; // app name, summary, body of each

public slots:
    uint Notify(const QString &appName, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        notifications << appName << summary << body;
        return uint(notifications.size());
    }
    void OnUpdate(const QString &uri, const QVariantMap &properties) { updates.append({uri, properties}); }
};

class TestDesktopSignals : public QObject
{
    Q_OBJECT

private slots:
    void reachesTheListener();
    void withoutABusNothingWaits();

private:
    static bool BusExpected() { return qEnvironmentVariable("TAVORINE_DBUS_TEST") == QLatin1String("bus"); }
};

void TestDesktopSignals::reachesTheListener()
{
    if (!BusExpected())
        QSKIP("run under dbus-run-session");
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("listener"));
    QVERIFY(bus.isConnected());
    Listener listener;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &listener,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    // QtDBus matches bus signals by signature through the old slot syntax.
    QVERIFY(bus.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                        QStringLiteral("Update"), &listener, SLOT(OnUpdate(QString, QVariantMap))));

    TDesktopSignals desktop;
    desktop.SetProgress(0.37);
    desktop.SetProgress(0.371); // same hundredth: not sent again
    desktop.SetProgress(2.0);   // clamped to 1
    desktop.HideProgress();
    desktop.NotifyListReady(1043, QStringLiteral("\u00A0"));

    QTRY_COMPARE(listener.updates.size(), 3);
    QTRY_COMPARE(listener.notifications.size(), 3);
    for (const Listener::Update &update : listener.updates)
        QCOMPARE(update.uri, QStringLiteral("application://org.tavorine.Tavorine.desktop"));
    QCOMPARE(listener.updates[0].properties.value(QStringLiteral("progress")).toDouble(), 0.37);
    QCOMPARE(listener.updates[0].properties.value(QStringLiteral("progress-visible")).toBool(), true);
    QCOMPARE(listener.updates[1].properties.value(QStringLiteral("progress")).toDouble(), 1.0);
    QCOMPARE(listener.updates[2].properties.value(QStringLiteral("progress-visible")).toBool(), false);
    QCOMPARE(listener.notifications[0], QStringLiteral("Tavorine"));
    QCOMPARE(listener.notifications[1], QStringLiteral("La liste est prête"));
    QVERIFY2(listener.notifications[2].contains(QStringLiteral("1\u00A0043 fichiers")),
             qPrintable(listener.notifications[2]));
    QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
}

void TestDesktopSignals::withoutABusNothingWaits()
{
    if (BusExpected())
        QSKIP("run without a session bus");
    QVERIFY(!QDBusConnection::sessionBus().isConnected());
    TDesktopSignals desktop;
    for (int i = 0; i <= 100; ++i)
        desktop.SetProgress(i / 100.0);
    desktop.HideProgress();
    desktop.NotifyListReady(2, QStringLiteral(" "));
    // Nothing to check but that every call came back: a call that waited
    // for a bus would hold the test until CTest's timeout.
}

QTEST_GUILESS_MAIN(TestDesktopSignals)
#include "tst_desktopsignals.moc"
