#include "DOSOutputs.h"
#include "MessageRecorder.h"
#include "TestChild.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

class TestDOSOutputs : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString script(const QString &name, const QString &body)
    {
        return TestChild::writeScript(m_dir.path(), name, body);
    }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // Records every chunk the runner hands on.
    static QStringList *recordEvents(DOSOutputs &runner, QStringList &events)
    {
        QObject::connect(&runner, &DOSOutputs::ReceiveOutputs,
                         [&events](const QString &text) { events << text; });
        return &events;
    }

private slots:
    void nothingToRunIsRefused_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty command line") << "" << "Command Line is empty";
        QTest::newRow("missing program") << "/no/such/folder/encoder -i x"
                                         << "File or command not found";
        QTest::newRow("program not on the path") << "reelforge-no-such-program"
                                                 << "File or command not found";
        QTest::newRow("only blanks") << "   " << "File or command not found";
    }

    void nothingToRunIsRefused()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, message);
        MessageRecorder recorder;
        DOSOutputs runner;
        QStringList events;
        recordEvents(runner, events);

        QCOMPARE(runner.ExecuteCommand(commandLine), QString());
        QCOMPARE(recorder.texts(), QStringList{message});
        QCOMPARE(recorder.messages().first().icon, MessageIcon::Critical);
        QVERIFY(events.isEmpty());
    }

    void fileThatIsNotExecutableIsNotFound()
    {
        QFile plain(file("plain.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("echo hello\n");
        plain.close();
        MessageRecorder recorder;
        DOSOutputs runner;
        QCOMPARE(runner.ExecuteCommand(plain.fileName()), QString());
        QCOMPARE(recorder.texts(), QStringList{"File or command not found"});
        QCOMPARE(runner.ending(), DOSOutputs::Ending::FailedToStart);
    }

    void runningOutOfDescriptorsIsAPipeFailure()
    {
        const QString program = script("quiet.sh", "exit 0\n");
        MessageRecorder recorder;
        DOSOutputs runner;
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &saved) == 0);
        rlimit tight = saved;
        tight.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 256);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &tight) == 0);
        std::vector<int> held;
        int ends[2];
        while (::pipe(ends) == 0)
            held.insert(held.end(), {ends[0], ends[1]});
        const int free = ::dup(0); // at most one descriptor may be left over
        if (free >= 0)
            held.push_back(free);

        const QString result = runner.ExecuteCommand(program);

        for (const int fd : held)
            ::close(fd);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &saved) == 0);
        QCOMPARE(result, QString());
        QCOMPARE(recorder.texts(), QStringList{"CreatePipe failed. Error: 24"});
        QCOMPARE(recorder.messages().first().icon, MessageIcon::Critical);
    }

    void commandLineTextIsSplitWithoutExpansion()
    {
        DOSOutputs runner;
        const QString marker = file("expanded");
        const QString result = runner.ExecuteCommand(
            QStringLiteral("/bin/echo \"two words\" $(touch %1) `touch %1` $HOME").arg(marker));
        QCOMPARE(result, QStringLiteral("two words $(touch %1) `touch %1` $HOME\n").arg(marker));
        QVERIFY(!QFile::exists(marker));
    }

    void silentChildGivesOneEmptyEventAndItsExitCode_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("success") << 0;
        QTest::newRow("failure") << 3;
    }

    void silentChildGivesOneEmptyEventAndItsExitCode()
    {
        QFETCH(int, code);
        DOSOutputs runner;
        QStringList events;
        recordEvents(runner, events);
        const QString program = script("silent.sh", QStringLiteral("exit %1\n").arg(code));

        QCOMPARE(runner.ExecuteCommand(program), QString());
        QCOMPARE(events, QStringList{QString()});
        QCOMPARE(runner.ending(), DOSOutputs::Ending::Exited);
        QCOMPARE(runner.exitCode(), code);
        QVERIFY(!runner.StopConvert());
    }

    void largeOutputArrivesInOrderedSmallChunks()
    {
        DOSOutputs runner;
        QStringList events;
        recordEvents(runner, events);
        const QString program = script("count.sh", "seq 1 3000\nseq 1 3000 >&2\n");

        const QString result = runner.ExecuteCommand(program);

        QString expected;
        for (int round = 0; round < 2; ++round) {
            for (int i = 1; i <= 3000; ++i)
                expected += QString::number(i) + QLatin1Char('\n');
        }
        QCOMPARE(result, expected);
        QCOMPARE(runner.Outputs(), expected);
        QCOMPARE(events.join(QString()), expected);
        QVERIFY(events.size() >= expected.size() / 512);
        for (const QString &chunk : std::as_const(events))
            QVERIFY2(chunk.toUtf8().size() <= 512, qPrintable(QString::number(chunk.size())));
        QCOMPARE(events.last(), QString());
    }

    void characterSplitBetweenChunksArrivesWhole()
    {
        // "aé" is three bytes, so byte 512 falls inside an "é".
        const QString pattern = QStringLiteral("a\u00e9").repeated(400);
        const QString program = script("accents.sh", QStringLiteral("printf '%1\\n'\n").arg(pattern));
        DOSOutputs runner;
        QStringList events;
        recordEvents(runner, events);

        const QString result = runner.ExecuteCommand(program);

        QCOMPARE(result, pattern + QLatin1Char('\n'));
        QCOMPARE(events.join(QString()), result);
        QVERIFY(!result.contains(QChar::ReplacementCharacter));
    }

    void stopKillsAChattyChild()
    {
        const QString pidFile = file("chatty.pid");
        const QString program = script(
            "chatty.sh", QStringLiteral("echo $$ > '%1'\nwhile :; do echo tick; sleep 0.01; done\n")
                             .arg(pidFile));
        DOSOutputs runner;
        QStringList events;
        int eventsAfterStop = -1;
        connect(&runner, &DOSOutputs::ReceiveOutputs, this, [&](const QString &text) {
            events << text;
            if (eventsAfterStop >= 0) {
                ++eventsAfterStop;
                return;
            }
            if (events.size() == 3) {
                runner.setStopConvert(true);
                eventsAfterStop = 0;
            }
        });

        QCOMPARE(runner.ExecuteCommand(program), QString());

        QCOMPARE(eventsAfterStop, 1);
        QCOMPARE(events.last(), QStringLiteral("Cancelled"));
        QVERIFY(runner.StopConvert());
        QCOMPARE(runner.ending(), DOSOutputs::Ending::Killed);
        const qint64 pid = TestChild::readPid(pidFile);
        QVERIFY(pid > 0);
        QVERIFY(TestChild::isGone(pid));
    }

    void stopKillsASilentChildAtOnce()
    {
        const QString pidFile = file("sleeper.pid");
        const QString program =
            script("sleeper.sh", QStringLiteral("echo $$ > '%1'\nexec sleep 300\n").arg(pidFile));
        DOSOutputs runner;
        QStringList events;
        recordEvents(runner, events);
        QTimer::singleShot(300, &runner, [&runner] { runner.setStopConvert(true); });

        QCOMPARE(runner.ExecuteCommand(program), QString());

        QCOMPARE(events, QStringList{"Cancelled"});
        QVERIFY(runner.StopConvert());
        QCOMPARE(runner.ending(), DOSOutputs::Ending::Killed);
        QVERIFY(TestChild::isGone(TestChild::readPid(pidFile)));
    }

    void releasingARunningRunnerLeavesNothingBehind()
    {
        const QString childPid = file("leader.pid");
        const QString grandchildPid = file("helper.pid");
        const QString program = script(
            "family.sh", QStringLiteral("sleep 300 &\necho $! > '%1'\necho $$ > '%2'\n"
                                        "echo ready\nwait\n")
                             .arg(grandchildPid, childPid));
        auto runner = std::make_unique<DOSOutputs>();
        DOSOutputs *running = runner.get();
        connect(running, &DOSOutputs::ReceiveOutputs, this, [&](const QString &text) {
            if (text.contains(QLatin1String("ready")))
                QTimer::singleShot(0, this, [&runner] { runner.reset(); });
        });

        QCOMPARE(running->ExecuteCommand(program), QString());

        QVERIFY(!runner);
        const qint64 child = TestChild::readPid(childPid);
        const qint64 grandchild = TestChild::readPid(grandchildPid);
        QVERIFY(child > 0 && grandchild > 0);
        QTRY_VERIFY(TestChild::isGone(child));
        QTRY_VERIFY(TestChild::isGone(grandchild));
    }

    void whatAChildLeftRunningEndsWithTheRun()
    {
        const QString helperPid = file("left.pid");
        const QString program = script(
            "leaver.sh",
            QStringLiteral("sleep 300 >/dev/null 2>&1 &\necho $! > '%1'\necho done\n").arg(helperPid));
        DOSOutputs runner;

        QCOMPARE(runner.ExecuteCommand(program), QStringLiteral("done\n"));

        QTRY_VERIFY(TestChild::isGone(TestChild::readPid(helperPid)));
        QCOMPARE(runner.ending(), DOSOutputs::Ending::Exited);
    }

    void windowTimersKeepFiringWhileWaiting()
    {
        const QString program = script("pause.sh", "sleep 0.5\n");
        DOSOutputs runner;
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
        timer.start(10);

        runner.ExecuteCommand(program);

        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    }

    void secondRunWhileRunningIsRefused()
    {
        const QString program = script("twice.sh", "echo first\nsleep 0.3\necho second\n");
        DOSOutputs runner;
        QString nested = QStringLiteral("not called");
        connect(&runner, &DOSOutputs::ReceiveOutputs, this, [&](const QString &text) {
            if (text.startsWith(QLatin1String("first"))) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("already running"));
                nested = runner.ExecuteCommand(QStringLiteral("/bin/echo nested"));
            }
        });

        QCOMPARE(runner.ExecuteCommand(program), QStringLiteral("first\nsecond\n"));
        QCOMPARE(nested, QString());
        QCOMPARE(runner.CommandLine(), program);
    }
};

QTEST_GUILESS_MAIN(TestDOSOutputs)
#include "TestDOSOutputs.moc"
