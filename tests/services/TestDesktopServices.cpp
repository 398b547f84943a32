// The bus services against stand-ins on the private session bus the test runs under.
#include "BatchEndNotice.h"
#include "FileHandoff.h"
#include "FreedesktopNotifier.h"
#include "LogindSleepInhibitor.h"
#include "RecordingNotifier.h"
#include "StandInLogin.h"
#include "StandInNotifications.h"

#include <QDBusConnectionInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <future>
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

    void batchEndText_data()
    {
        QTest::addColumn<int>("converted");
        QTest::addColumn<int>("failed");
        QTest::addColumn<QString>("body");
        QTest::newRow("all converted") << 3 << 0 << "3 files converted";
        QTest::newRow("one converted") << 1 << 0 << "1 file converted";
        QTest::newRow("some failed") << 2 << 1 << "2 files converted, 1 failed";
        QTest::newRow("all failed") << 0 << 4 << "0 files converted, 4 failed";
    }
    void batchEndText()
    {
        QFETCH(int, converted);
        QFETCH(int, failed);
        QFETCH(QString, body);
        RecordingNotifier notifier;
        BatchEndNotice::send(notifier, converted, failed);
        QCOMPARE(notifier.shown, QStringList{"Conversion finished: " + body});
    }

    void notificationReachesTheService()
    {
        StandInNotifications service(standInBus());
        QVERIFY(service.registered());
        FreedesktopNotifier notifier(QDBusConnection::sessionBus());
        notifier.notify("Conversion finished", "2 files converted, 1 failed");
        QTRY_COMPARE(service.calls.size(), 1);
        const StandInNotifications::Call &call = service.calls.first();
        QCOMPARE(call.appName, "Reelforge");
        QCOMPARE(call.replacesId, 0u);
        QCOMPARE(call.icon, "org.tarnwick.Reelforge");
        QCOMPARE(call.summary, "Conversion finished");
        QCOMPARE(call.body, "2 files converted, 1 failed");
        QCOMPARE(call.hints.value("desktop-entry").toString(), "org.tarnwick.Reelforge");
        QCOMPARE(call.timeout, -1);
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
            inhibitor->release(); // a second release does nothing
            inhibitor->hold();    // and the lock can be taken again
            QTRY_COMPARE(login.calls.size(), 2);
            QTRY_VERIFY(inhibitor->isHeld());
        }
        child.kill();
        child.waitForFinished();
        standInBus().unregisterService("org.freedesktop.login1");
    }

    void filesReachTheCopyThatListens()
    {
        FileHandoff sender(QDBusConnection::sessionBus());
        const QStringList paths{"/v/a b.mkv", "/v/Folder", "/v/caf\u00e9 $x.mp4"};
        QVERIFY(!sender.handOver(paths)); // nobody listens yet

        FileHandoff first(standInBus());
        QSignalSpy received(&first, &FileHandoff::filesReceived);
        QVERIFY(first.listen());
        QVERIFY(handOverFromThread(sender, paths));
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.first().first().toStringList(), paths);

        // A later copy queues for the name and takes it over when the first one goes.
        FileHandoff second(QDBusConnection::sessionBus());
        QSignalSpy secondReceived(&second, &FileHandoff::filesReceived);
        QVERIFY(second.listen());
        standInBus().unregisterObject(FileHandoff::ObjectPath);
        standInBus().unregisterService(FileHandoff::ServiceName);
        QTRY_VERIFY(QDBusConnection::sessionBus().interface()->serviceOwner(
                        FileHandoff::ServiceName) == QDBusConnection::sessionBus().baseService());
        QVERIFY(handOverFromThread(sender, {"/v/later.mkv"}));
        QCOMPARE(secondReceived.size(), 1);
        QCOMPARE(received.size(), 1);
    }

private:
    // The hand-over waits for its answer without an event loop, as a starting copy does; the
    // listener in this thread needs one to answer.
    static bool handOverFromThread(FileHandoff &sender, const QStringList &paths)
    {
        auto answer = std::async(std::launch::async, [&] { return sender.handOver(paths); });
        while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return answer.get();
    }
};

QTEST_GUILESS_MAIN(TestDesktopServices)
#include "TestDesktopServices.moc"
