#include "DOSOutputs.h"
#include "MessageRecorder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

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

class TestDOSOutputs : public QObject
{
    Q_OBJECT

private slots:
    void nothingToRunIsRefused()
    {
        MessageRecorder recorder;
        RecordedRunner runner;
        QCOMPARE(runner.ExecuteCommand(QString()), QString());
        QCOMPARE(runner.ExecuteCommand("/no/such/encoder -i x"), QString());
        QCOMPARE(recorder.texts(),
                 (QStringList{"Command Line is empty", "File or command not found"}));
        QVERIFY(runner.events.isEmpty());
    }

    void outputArrivesWholeInSmallChunks_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("output");
        // "aé" is three bytes long, so a read of 512 bytes ends inside an "é".
        const QString accents = QStringLiteral("a\u00e9").repeated(3000);
        QString numbers;
        for (int i = 1; i <= 3000; ++i)
            numbers += QString::number(i) + QLatin1Char('\n');
        QTest::newRow("silent") << "exit 0"
                                << "";
        QTest::newRow("large, on both streams")
            << QStringLiteral("printf '%1\\n'\nseq 1 3000 >&2").arg(accents)
            << accents + QLatin1Char('\n') + numbers;
    }

    void outputArrivesWholeInSmallChunks()
    {
        QFETCH(QString, body);
        QFETCH(QString, output);
        RecordedRunner runner;
        QCOMPARE(runner.run(body), output);
        QCOMPARE(runner.Outputs(), output);
        QCOMPARE(runner.events.join(QString()), output);
        QCOMPARE(runner.events.size() == 1, output.isEmpty()); // silent: just the final read
        QCOMPARE(runner.events.last(), QString());
        for (const QString &chunk : std::as_const(runner.events))
            QVERIFY2(chunk.size() <= 512, qPrintable(QString::number(chunk.size())));
    }

    void stopOrReleaseEndsTheChildAtOnce_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("release"); // drop the runner instead of stopping it
        QTest::newRow("chatty") << "while kill -0 $!; do echo tick; sleep 0.01; done" << false;
        QTest::newRow("silent") << "wait" << false;
        QTest::newRow("released") << "wait" << true;
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
        QVERIFY2(clock.elapsed() < 10000, "waited for the child");
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QCOMPARE(ids.size(), 2);
        QTRY_VERIFY(isGone(ids.first()));
        QTRY_VERIFY(isGone(ids.last()));
        if (release)
            return;
        QCOMPARE(runner->events.last(), QStringLiteral("Cancelled"));
        QVERIFY(runner->StopConvert());
    }
};

QTEST_GUILESS_MAIN(TestDOSOutputs)
#include "TestDOSOutputs.moc"
