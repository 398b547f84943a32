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

QTEST_GUILESS_MAIN(TestDOSOutputs)
#include "TestDOSOutputs.moc"
