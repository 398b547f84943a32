// The bus services against stand-ins on the private session bus the test runs under, and the
// termination signals in a program of their own.
#include "services/BatchEndNotice.h"
#include "services/FreedesktopNotifier.h"
#include "services/LogindSleepInhibitor.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {
// Answers every call to a service on a connection of its own, so that calls really cross the
// bus, and records their arguments. Each lock Inhibit hands out is the write end of a pipe whose
// read end the stand-in keeps: it sees the lock released when every copy is closed.
class StandInService : public QDBusVirtualObject
{
public:
    StandInService(const QString &service, const QString &path)
        : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, service))
    {
        m_bus.registerVirtualObject(path, this);
        m_bus.registerService(service);
    }
    ~StandInService() override
    {
        QDBusConnection::disconnectFromBus(m_bus.name());
        for (int fd : m_readEnds)
            ::close(fd);
    }

    // Whether the last lock handed out has been released by everyone holding it.
    bool lastReleased() const
    {
        char byte;
        return ::read(m_readEnds.last(), &byte, 1) == 0; // not -1 for "would block"
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        calls << message.arguments();
        QVariant answer = uint(calls.size()); // a notification's number
        int ends[2];
        if (message.member() == "Inhibit" && ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
            m_readEnds << ends[0];
            answer = QVariant::fromValue(QDBusUnixFileDescriptor(ends[1])); // a copy of its own
            ::close(ends[1]);
        }
        return connection.send(message.createReply(answer));
    }
    QString introspect(const QString &) const override { return {}; }

    QList<QVariantList> calls;

private:
    QDBusConnection m_bus;
    QList<int> m_readEnds;
};
} // namespace

class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void notificationReachesTheService()
    {
        StandInService service("org.freedesktop.Notifications", "/org/freedesktop/Notifications");
        FreedesktopNotifier notifier(QDBusConnection::sessionBus());
        BatchEndNotice::send(notifier, 1, 2);
        QTRY_COMPARE(service.calls.size(), 1);
        const QVariantList call = service.calls.first();
        QCOMPARE(call.mid(0, 5),
                 (QVariantList{"Reelforge", 0u, "org.tarnwick.Reelforge", "Conversion finished",
                               "1 file converted, 2 failed"}));
        QCOMPARE(qdbus_cast<QVariantMap>(call.value(6)).value("desktop-entry").toString(),
                 "org.tarnwick.Reelforge");
    }

    // The lock is taken once however often it is asked for, and ends however the holder lets
    // go: released before logind answered, released while a child started meanwhile still runs
    // (it must not inherit the lock), or dropped with the object when the window closes.
    void sleepLockIsReleased()
    {
        StandInService login("org.freedesktop.login1", "/org/freedesktop/login1");
        auto inhibitor = std::make_unique<LogindSleepInhibitor>(QDBusConnection::sessionBus());
        inhibitor->hold();
        inhibitor->hold();
        inhibitor->release();
        QTRY_COMPARE(login.calls, (QList<QVariantList>{{"sleep:idle", "Reelforge",
                                                        "Converting video files", "block"}}));
        QTRY_VERIFY(login.lastReleased());
        QVERIFY(!inhibitor->isHeld());

        inhibitor->hold();
        QTRY_VERIFY(login.calls.size() == 2 && inhibitor->isHeld());
        QProcess child;
        child.start("sleep", {"30"});
        QVERIFY(child.waitForStarted());
        QTest::qWait(50);
        QVERIFY(!login.lastReleased());
        inhibitor->release();
        QTRY_VERIFY(login.lastReleased());
        child.kill();
        child.waitForFinished();

        inhibitor->hold();
        QTRY_VERIFY(login.calls.size() == 3 && inhibitor->isHeld());
        inhibitor.reset();
        QTRY_VERIFY(login.lastReleased());
    }

    // Held as the window holds it, the first signal asks the program to stop; should that stop
    // hang, a second ends it at once with 128 + the signal's number.
    void secondSignalEndsTheProgram()
    {
        for (const auto &[first, second] : {std::pair{SIGTERM, SIGTERM}, {SIGINT, SIGHUP}}) {
            QProcess program;
            program.start(QCoreApplication::applicationDirPath() + "/signalled_program");
            QVERIFY(program.waitForReadyRead(10000));
            QCOMPARE(program.readAll(), "ready\n");
            ::kill(pid_t(program.processId()), first);
            QVERIFY(program.waitForReadyRead(10000));
            QCOMPARE(program.readAll(), "stopping\n");
            QVERIFY(!program.waitForFinished(300)); // its stop hangs
            ::kill(pid_t(program.processId()), second);
            QVERIFY(program.waitForFinished(1000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 128 + second);
        }
    }
};

QTEST_GUILESS_MAIN(TestServices)
#include "TestServices.moc"
