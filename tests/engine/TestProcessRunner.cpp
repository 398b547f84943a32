#include "ProcessRunner.h"
#include "SignalWait.h"
#include "TerminationSignals.h"

#include <QDir>

#include <QTest>

#include <fcntl.h>

// How a child ended, as the runner tells it: exit status, a signal, a stop, or no start.
class TestProcessRunner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Descriptors this test inherited belong to whatever started it, not to the program.
        QDir fds("/proc/self/fd");
        for (const QString &name : fds.entryList(QDir::Files | QDir::System)) {
            if (name.toInt() > 2)
                ::fcntl(name.toInt(), F_SETFD, FD_CLOEXEC);
        }
    }

    // Nothing the program opened reaches a child: it holds its three standard streams only.
    void childHoldsOnlyItsStandardStreams()
    {
        TerminationSignals termination;
        ProcessRunner runner;
        QString received;
        connect(&runner, &ProcessRunner::outputReceived, this,
                [&](const QString &chunk) { received += chunk; });
        runner.start({"sh", "-c", "ls /proc/$$/fd"});
        QVERIFY(waitForSignal(&runner, &ProcessRunner::finished, 20000));
        QCOMPARE(received, QString("0\n1\n2\n"));
    }

    void tellsHowTheChildEnded_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<bool>("stop"); // stop as soon as the first output arrives
        QTest::addColumn<ProcessRunner::Ending>("ending");
        QTest::addColumn<int>("number"); // exit status or signal
        QTest::addColumn<QString>("output");
        using E = ProcessRunner::Ending;
        QTest::newRow("exit 3") << QStringList{"sh", "-c", "echo no >&2; exit 3"} << false
                                << E::Exited << 3 << "no\n";
        QTest::newRow("killed by signal 9")
            << QStringList{"sh", "-c", "kill -9 $$"} << false << E::Signalled << 9 << "";
        QTest::newRow("stopped") << QStringList{"sh", "-c", "echo go; sleep 30; echo late"} << true
                                 << E::Stopped << 0 << "go\n";
        QTest::newRow("missing program")
            << QStringList{"/nonexistent/program"} << false << E::FailedToStart << 0 << "";
    }

    void tellsHowTheChildEnded()
    {
        QFETCH(QStringList, command);
        QFETCH(bool, stop);
        QFETCH(ProcessRunner::Ending, ending);
        QFETCH(int, number);
        QFETCH(QString, output);
        ProcessRunner runner;
        QString received;
        connect(&runner, &ProcessRunner::outputReceived, this, [&](const QString &chunk) {
            received += chunk;
            if (stop)
                runner.stop();
        });
        runner.start(command);
        QVERIFY(runner.isRunning()); // even a failed start is told later, never inside start()
        QVERIFY(waitForSignal(&runner, &ProcessRunner::finished, 20000));
        const ProcessRunner::Result &result = runner.result();
        QCOMPARE(result.ending, ending);
        if (number > 0)
            QCOMPARE(ending == ProcessRunner::Ending::Signalled ? result.signal : result.exitCode,
                     number);
        QVERIFY(ending != ProcessRunner::Ending::FailedToStart || !result.error.isEmpty());
        QVERIFY(!runner.isRunning() && received == output);
    }
};

QTEST_GUILESS_MAIN(TestProcessRunner)
#include "TestProcessRunner.moc"
