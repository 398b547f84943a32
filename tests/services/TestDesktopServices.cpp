// The bus services against stand-ins on the private session bus the test runs under.
#include "BatchEndNotice.h"
#include "FreedesktopNotifier.h"
#include "LogindSleepInhibitor.h"
#include "RecordingNotifier.h"
#include "StandInLogin.h"
#include "StandInNotifications.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
// The stand-ins answer on a connection of their own, so that calls really cross the bus.
QDBusConnection standInBus()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in"));
}
} // namespace

class TestDesktopServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

    void notificationReachesTheService()
    {
        StandInNotifications service(standInBus());
        QVERIFY(service.registered());
        FreedesktopNotifier notifier(QDBusConnection::sessionBus());
        BatchEndNotice::send(notifier, 2, 1);
        RecordingNotifier recorded;
        BatchEndNotice::send(recorded, 1, 0);
        QCOMPARE(recorded.shown, QStringList{"Conversion finished: 1 file converted"});
        QTRY_COMPARE(service.calls.size(), 1);
        const StandInNotifications::Call &call = service.calls.first();
        QCOMPARE(QStringList({call.appName, call.icon, call.summary, call.body,
                              call.hints.value("desktop-entry").toString()}),
                 QStringList({"Reelforge", "org.tarnwick.Reelforge", "Conversion finished",
                              "2 files converted, 1 failed", "org.tarnwick.Reelforge"}));
        standInBus().unregisterService("org.freedesktop.Notifications");
    }

    // How a held lock ends: released, released before logind answered, or dropped with the
    // object when the window closes. A child started meanwhile must not keep it alive.
    void sleepLockIsReleased_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("release") << "release";
        QTest::newRow("release before the answer") << "early";
        QTest::newRow("destroyed") << "destroy";
        QTest::newRow("child started while held") << "child";
    }
    void sleepLockIsReleased()
    {
        QFETCH(QString, route);
        StandInLogin login(standInBus());
        QVERIFY(login.registered());
        auto inhibitor = std::make_unique<LogindSleepInhibitor>(QDBusConnection::sessionBus());
        inhibitor->hold();
        inhibitor->hold(); // a second hold keeps the one lock
        if (route == "early")
            inhibitor->release();
        QTRY_COMPARE(login.calls.size(), 1);
        QCOMPARE(login.calls.first(),
                 (QStringList{"sleep:idle", "Reelforge", "Converting video files", "block"}));
        QProcess child;
        if (route == "early") {
            QTRY_VERIFY(login.lastReleased());
            QVERIFY(!inhibitor->isHeld());
        } else {
            QTRY_VERIFY(inhibitor->isHeld());
            QTest::qWait(50);
            QVERIFY(!login.lastReleased());
            if (route == "child") {
                child.start("sleep", {"30"});
                QVERIFY(child.waitForStarted());
            }
            if (route == "destroy")
                inhibitor.reset();
            else
                inhibitor->release();
            QTRY_VERIFY(login.lastReleased());
        }
        if (inhibitor) {
            inhibitor->hold(); // the lock can be taken again
            QTRY_VERIFY(login.calls.size() == 2 && inhibitor->isHeld());
        }
        child.kill();
        child.waitForFinished();
        standInBus().unregisterService("org.freedesktop.login1");
    }
};

QTEST_GUILESS_MAIN(TestDesktopServices)
#include "TestDesktopServices.moc"
