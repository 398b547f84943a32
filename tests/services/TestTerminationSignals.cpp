// A program holding TerminationSignals as the window does: the first signal asks it to stop,
// a second ends it at once with 128 + the signal's number.
#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <csignal>

class TestTerminationSignals : public QObject
{
    Q_OBJECT

private slots:
    void secondSignalEndsTheProgram_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("SIGTERM twice") << SIGTERM << SIGTERM;
        QTest::newRow("SIGINT, then SIGHUP") << SIGINT << SIGHUP;
    }
    void secondSignalEndsTheProgram()
    {
        QFETCH(int, first);
        QFETCH(int, second);
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
};

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "TestTerminationSignals.moc"
