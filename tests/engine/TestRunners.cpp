#include "DOSOutputs.h"
#include "MessageRecorder.h"
#include "ProcessRunner.h"
#include "SignalWait.h"
#include "TerminationSignals.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <memory>

namespace {
// A runner that keeps every text it hands on, in order, and runs shell snippets as children.
struct RecordedRunner : DOSOutputs
{
    RecordedRunner()
    {
        connect(this, &DOSOutputs::ReceiveOutputs, this, [this](const QString &t) { events << t; });
    }
    QString run(const QString &script)
    {
        setArguments({"/bin/sh", "-c", script});
        return ExecuteCommand();
    }
    QStringList events;
};

// True when no process with that id runs; a zombie awaiting its reaper counts as gone.
bool isGone(const QString &pid)
{
    QFile stat("/proc/" + pid + "/stat");
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z "); // "1 (sh) Z ..."
}
} // namespace

// How a child ended, as the runner tells it (exit status, a signal, a stop, or no start), and
// the encoder's runner on top of it: its output, and a stop or release that ends the child's
// whole group at once.
class TestRunners : public QObject
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
    void nothingToRunIsRefused()
    {
        MessageRecorder recorder;
        RecordedRunner runner;
        QCOMPARE(runner.ExecuteCommand(QString()), QString());
        QCOMPARE(runner.ExecuteCommand("/no/such/encoder -i x"), QString());
        QCOMPARE(recorder.texts(),
                 (QStringList{"Command Line is empty", "File or command not found"}));
    }

    // Both streams arrive whole in chunks of at most 512 bytes; "aé" is three bytes long, so a
    // read ends inside an "é" now and then.
    void outputArrivesWholeInSmallChunks()
    {
        const QString accents = QStringLiteral("a\u00e9").repeated(3000);
        RecordedRunner runner;
        QCOMPARE(runner.run(QStringLiteral("printf '%1\\n'\necho end >&2").arg(accents)),
                 accents + "\nend\n");
        QCOMPARE(runner.events.join(QString()), runner.Outputs());
        for (const QString &chunk : std::as_const(runner.events))
            QVERIFY2(chunk.size() <= 512, qPrintable(QString::number(chunk.size())));
    }

    void stopOrReleaseEndsTheChildAtOnce_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("release"); // drop the runner instead of stopping it
        QTest::newRow("chatty") << "while kill -0 $!; do echo tick; sleep 0.01; done" << false;
        QTest::newRow("released while silent") << "wait" << true;
    }

    // Both come from a timer, as a Stop click would, while a second timer ticks. The child
    // first prints its own id and that of a helper it started, which must go too; left
    // alone, both would run for 20 seconds.
    void stopOrReleaseEndsTheChildAtOnce()
    {
        QFETCH(QString, body);
        QFETCH(bool, release);
        auto runner = std::make_unique<RecordedRunner>();
        RecordedRunner *running = runner.get();
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(10);
        QStringList ids;
        QTimer::singleShot(400, this, [&] {
            ids = runner->events.join(QString()).section('\n', 0, 0).split(' ');
            release ? runner.reset() : runner->setStopConvert(true);
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(running->run("sleep 20 &\necho $$ $!\n" + body), QString());
        QVERIFY2(clock.elapsed() < 10000 && ticks >= 10, "waited for the child");
        QCOMPARE(ids.size(), 2);
        QTRY_VERIFY(isGone(ids.first()) && isGone(ids.last()));
        QVERIFY(release || runner->events.last() == "Cancelled");
    }
};

QTEST_GUILESS_MAIN(TestRunners)
#include "TestRunners.moc"
