#include "DOSOutputs.h"
#include "MessageRecorder.h"
#include "TestChild.h"

#include <QRegularExpression>
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
    static void record(DOSOutputs &runner, QStringList &events)
    {
        QObject::connect(&runner, &DOSOutputs::ReceiveOutputs,
                         [&events](const QString &text) { events << text; });
    }

private slots:
    void nothingToRunIsRefused_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("message");
        const QString notFound = QStringLiteral("File or command not found");
        QTest::newRow("empty command line") << "" << "Command Line is empty";
        QTest::newRow("missing program") << "/no/such/folder/encoder -i x" << notFound;
        QTest::newRow("program not on the path") << "reelforge-no-such-program" << notFound;
        QTest::newRow("only blanks") << "   " << notFound;
        QTest::newRow("not executable") << "@" << notFound;
    }

    void nothingToRunIsRefused()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, message);
        if (commandLine == QLatin1String("@")) {
            commandLine = script("plain.txt", "echo hello\n");
            QFile::setPermissions(commandLine, QFile::ReadOwner | QFile::WriteOwner);
        }
        MessageRecorder recorder;
        DOSOutputs runner;
        QStringList events;
        record(runner, events);

        QCOMPARE(runner.ExecuteCommand(commandLine), QString());
        QCOMPARE(recorder.texts(), QStringList{message});
        QCOMPARE(recorder.messages().first().icon, MessageIcon::Critical);
        QVERIFY(events.isEmpty());
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
        for (int ends[2]; ::pipe(ends) == 0;)
            held.insert(held.end(), {ends[0], ends[1]});
        if (const int last = ::dup(0); last >= 0)
            held.push_back(last);

        const QString result = runner.ExecuteCommand(program);

        for (const int fd : held)
            ::close(fd);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &saved) == 0);
        QCOMPARE(result, QString());
        QCOMPARE(recorder.texts(), QStringList{"CreatePipe failed. Error: 24"});
    }

    void commandLineTextIsSplitWithoutExpansion()
    {
        DOSOutputs runner;
        const QString marker = file("expanded");
        QCOMPARE(runner.ExecuteCommand(QStringLiteral("/bin/echo \"two  words\" $(touch %1) "
                                                      "`touch %1` $HOME").arg(marker)),
                 QStringLiteral("two  words $(touch %1) `touch %1` $HOME\n").arg(marker));
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
        record(runner, events);
        QCOMPARE(runner.ExecuteCommand(script("silent.sh", QStringLiteral("exit %1\n").arg(code))),
                 QString());
        QCOMPARE(events, QStringList{QString()});
        QCOMPARE(runner.ending(), DOSOutputs::Ending::Exited);
        QCOMPARE(runner.exitCode(), code);
    }

    void largeOutputArrivesInOrderedSmallChunks()
    {
        DOSOutputs runner;
        QStringList events;
        record(runner, events);
        // Both streams share the one channel.
        const QString result =
            runner.ExecuteCommand(script("count.sh", "seq 1 3000\nseq 1 3000 >&2\n"));

        QString expected;
        for (int i = 1; i <= 3000; ++i)
            expected += QString::number(i) + QLatin1Char('\n');
        expected += expected;
        QCOMPARE(result, expected);
        QCOMPARE(runner.Outputs(), expected);
        QCOMPARE(events.join(QString()), expected);
        QCOMPARE(events.last(), QString());
        QVERIFY(std::all_of(events.begin(), events.end(),
                            [](const QString &chunk) { return chunk.toUtf8().size() <= 512; }));
    }

    void characterSplitBetweenChunksArrivesWhole()
    {
        // "aé" is three bytes long, so byte 512 falls inside an "é".
        const QString pattern = QStringLiteral("a\u00e9").repeated(400);
        DOSOutputs runner;
        QStringList events;
        record(runner, events);
        const QString result = runner.ExecuteCommand(
            script("accents.sh", QStringLiteral("printf '%1\\n'\n").arg(pattern)));
        QCOMPARE(result, pattern + QLatin1Char('\n'));
        QCOMPARE(events.join(QString()), result);
    }

    void stopKillsAChattyChild()
    {
        const QString pidFile = file("chatty.pid");
        const QString program = script(
            "chatty.sh",
            QStringLiteral("echo $$ > '%1'\nwhile :; do echo tick; sleep 0.01; done\n").arg(pidFile));
        DOSOutputs runner;
        QStringList events;
        qsizetype stoppedAt = -1;
        connect(&runner, &DOSOutputs::ReceiveOutputs, this, [&](const QString &text) {
            events << text;
            if (events.size() == 3) {
                runner.setStopConvert(true);
                stoppedAt = events.size();
            }
        });

        QCOMPARE(runner.ExecuteCommand(program), QString());
        QCOMPARE(events.mid(stoppedAt), QStringList{"Cancelled"});
        QVERIFY(runner.StopConvert());
        QCOMPARE(runner.ending(), DOSOutputs::Ending::Killed);
        QVERIFY(TestChild::isGone(TestChild::readPid(pidFile)));
    }

    void stopKillsASilentChildAtOnce()
    {
        const QString pidFile = file("sleeper.pid");
        DOSOutputs runner;
        QStringList events;
        record(runner, events);
        QTimer::singleShot(300, &runner, [&runner] { runner.setStopConvert(true); });

        QCOMPARE(runner.ExecuteCommand(script(
                     "sleeper.sh", QStringLiteral("echo $$ > '%1'\nexec sleep 300\n").arg(pidFile))),
                 QString());
        QCOMPARE(events, QStringList{"Cancelled"});
        QVERIFY(runner.StopConvert());
        QVERIFY(TestChild::isGone(TestChild::readPid(pidFile)));
    }

    void releasingARunningRunnerLeavesNothingBehind()
    {
        const QString childPid = file("leader.pid");
        const QString helperPid = file("helper.pid");
        const QString program =
            script("family.sh", QStringLiteral("sleep 300 &\necho $! > '%1'\necho $$ > '%2'\n"
                                               "echo ready\nwait\n")
                                    .arg(helperPid, childPid));
        auto runner = std::make_unique<DOSOutputs>();
        DOSOutputs *running = runner.get();
        connect(running, &DOSOutputs::ReceiveOutputs, this, [&](const QString &text) {
            if (text.contains(QLatin1String("ready")))
                QTimer::singleShot(0, this, [&runner] { runner.reset(); });
        });

        QCOMPARE(running->ExecuteCommand(program), QString());
        QVERIFY(!runner);
        QTRY_VERIFY(TestChild::isGone(TestChild::readPid(childPid)));
        QTRY_VERIFY(TestChild::isGone(TestChild::readPid(helperPid)));
    }

    void whatAChildLeftRunningEndsWithTheRun()
    {
        const QString helperPid = file("left.pid");
        DOSOutputs runner;
        QCOMPARE(runner.ExecuteCommand(script(
                     "leaver.sh", QStringLiteral("sleep 300 >/dev/null 2>&1 &\necho $! > '%1'\n"
                                                 "echo done\n")
                                      .arg(helperPid))),
                 QStringLiteral("done\n"));
        QTRY_VERIFY(TestChild::isGone(TestChild::readPid(helperPid)));
    }

    void windowTimersKeepFiringWhileWaiting()
    {
        DOSOutputs runner;
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
        timer.start(10);
        runner.ExecuteCommand(script("pause.sh", "sleep 0.5\n"));
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    }

    void secondRunWhileRunningIsRefused()
    {
        const QString program = script("twice.sh", "echo first\nsleep 0.3\necho second\n");
        DOSOutputs runner;
        QString nested = QStringLiteral("not called");
        connect(&runner, &DOSOutputs::ReceiveOutputs, this, [&](const QString &text) {
            if (!text.startsWith(QLatin1String("first")))
                return;
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("already running"));
            nested = runner.ExecuteCommand(QStringLiteral("/bin/echo nested"));
        });

        QCOMPARE(runner.ExecuteCommand(program), QStringLiteral("first\nsecond\n"));
        QCOMPARE(nested, QString());
    }
};

QTEST_GUILESS_MAIN(TestDOSOutputs)
#include "TestDOSOutputs.moc"
