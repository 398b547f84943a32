#include "CVideoConv.h"
#include "EncoderPath.h"
#include "MessageRecorder.h"
#include "TestMedia.h"

#include <QDir>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
// What one conversion reported: statuses and "progress N" in order, messages shown (none
// expected: the job leaves them to its owner) and how it ended.
struct Run
{
    QStringList events;
    QStringList messages;
    ConversionOutcome outcome;
};

Run convert(const QString &input, const QString &output, const QString &options, float length)
{
    MessageRecorder recorder;
    CVideoConv job;
    Run run;
    QObject::connect(&job, &CVideoConv::CurrentStatus, &job,
                     [&](const QString &status) { run.events << status; });
    QObject::connect(&job, &CVideoConv::Progress, &job, [&](qint16 percent) {
        run.events << QStringLiteral("progress %1").arg(percent);
    });
    QEventLoop loop;
    QObject::connect(&job, &CVideoConv::finished, &job, [&](const ConversionOutcome &outcome) {
        run.outcome = outcome;
        loop.quit();
    });
    job.setInputFile(input);
    job.setOutputFile(output);
    job.setParametrs(options);
    job.setFileTimeLength(length);
    job.start();
    loop.exec();
    run.messages = recorder.texts();
    return run;
}
} // namespace

class TestCVideoConv : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir; // also the current folder, where a shell would leave a marker

    // Writes recorded output a line at a time, each progress report on a line of its own.
    QString replayingEncoder(const QString &recorded, int exitCode)
    {
        const QString script = QStringLiteral(
            "#!/bin/sh\nsed 's/frame=/\\nframe=/g' '%1' | while IFS= read -r line; do\n"
            "printf '%s\\n' \"$line\"; sleep 0.03; done\nexit %2\n");
        QFile file(m_dir.filePath("encoder"));
        file.open(QIODevice::WriteOnly);
        const QString path = REELFORGE_TEST_DATA "/encoder-output/" + recorded;
        file.write(script.arg(path).arg(exitCode).toUtf8());
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file.fileName();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(TestMedia::makeClip("two.mp4", 2.0));
    }

    void init() { EncoderPath::setOverride(TestMedia::encoder()); }

    void convertsAClip_data()
    {
        QTest::addColumn<QString>("name"); // of a copy of the clip
        QTest::addColumn<float>("length");
        QTest::newRow("length known") << "two.mp4" << 2.0f;
        QTest::newRow("shell syntax") << "my \"best\" $(touch marker) `touch marker`.mp4" << 2.0f;
        QTest::newRow("non-ASCII letters") << "Überraschung ñ 映像.mp4" << 0.0f;
        QTest::newRow("leading dash, given relative") << "-y clip.mp4" << 2.0f;
    }

    // Names with shell syntax must reach the encoder as they are, and run nothing.
    void convertsAClip()
    {
        QFETCH(QString, name);
        QFETCH(float, length);
        const QString input = name.startsWith('-') ? name : m_dir.filePath(name);
        const QString output = m_dir.filePath(name.chopped(3) + "avi");
        QVERIFY(QFile::exists(input) || QFile::copy("two.mp4", input));
        const Run run =
            convert(input, output, "-stats_period 0.05 -vcodec mpeg4 -acodec mp2 -y", length);

        QVERIFY(run.outcome.kind == ConversionOutcome::Kind::Succeeded);
        QVERIFY(run.messages.isEmpty() && !QFile::exists("marker") && TestMedia::playable(output));
        QCOMPARE(run.events.first(), QStringLiteral("Starting..."));
        // Known length: percents rising to about 100; unknown: the seconds converted.
        const QRegularExpression shape(length > 0 ? "^progress (\\d+)$"
                                                  : "^\\d+\\.\\d\\d Seconds Converted$");
        int last = 0;
        for (const QString &event : run.events.mid(1)) {
            const QRegularExpressionMatch match = shape.match(event);
            QVERIFY2(match.hasMatch() && match.captured(1).toInt() >= last, qPrintable(event));
            last = match.captured(1).toInt();
        }
        QVERIFY(run.events.size() > 1 && (length <= 0 || (last >= 95 && last <= 105)));
    }

    // How a run ends, with the real encoder or a stand-in replaying a recorded run (exit
    // status 0 when it succeeded): the events in order, and for a failure what happened
    // first, then the encoder's own error line, never the whole log.
    void reportsHowARunEnded_data()
    {
        QTest::addColumn<QString>("replay"); // empty: the real encoder
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("events"); // after "Starting..."
        QTest::addColumn<QString>("headline");   // empty: success
        QTest::addColumn<QString>("errorLine");
        const TestMedia &media = TestMedia::instance();
        const QString exit1 = "The encoder ended with exit status 1.\r\n";
        const QStringList unknown = {"Unknown format", "progress -1", "Error"};
        const auto row = [](const char *name, const QString &replay, const QString &input,
                            const char *options, const char *output, const QStringList &events,
                            const QString &headline = QString(), const char *errorLine = "") {
            QTest::newRow(name) << replay << input << QString(options) << QString(output) << events
                                << headline << QString(errorLine);
        };
        row("random bytes", "", media.randomBytes(), "-y", "out.avi", unknown, exit1,
            "random.avi: Invalid data found when processing input");
        row("older unknown", "old_unknown_format.txt", media.randomBytes(), "-y", "out.avi",
            unknown, exit1, "C:\\Videos\\random.avi: Unknown format");
        row("missing output folder", "", media.clip("mpg"), "-y", "missing/out.avi", {"Error"},
            exit1, "missing/out.avi: No such file or directory");
        // The encoding begins, then the encoder fails: no success for the marker alone.
        row("marker then exit 1", "", media.clip("mpg"), "-ar 1234 -y", "rate.avi", {"Error"},
            exit1);
        row("input gone", "", m_dir.filePath("gone.mpg"), "-y", "gone.avi", {"Error"},
            "The input file is no longer there: ", "gone.mpg: No such file or directory");
        const QStringList rising = {"progress 25", "progress 50", "progress 100"};
        row("older progress in seconds", "old_success.txt", "/videos/in.avi", "-y",
            "/videos/out.avi", rising);
        // One damaged packet mid-run is no verdict on the input.
        row("damaged packet", "ffmpeg51_damaged_packet.txt", "/videos/in.ts", "-y",
            "/videos/out.avi", rising);
    }

    void reportsHowARunEnded()
    {
        QFETCH(QString, replay);
        QFETCH(QString, input);
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(QStringList, events);
        QFETCH(QString, headline);
        QFETCH(QString, errorLine);
        if (!replay.isEmpty())
            EncoderPath::setOverride(replayingEncoder(replay, headline.isEmpty() ? 0 : 1));
        const Run run = convert(input, output, options, 20);
        QCOMPARE(run.events, QStringList{"Starting..."} + events);
        QVERIFY(run.messages.isEmpty());
        QCOMPARE(run.outcome.kind, headline.isEmpty() ? ConversionOutcome::Kind::Succeeded
                                                      : ConversionOutcome::Kind::Failed);
        if (headline.isEmpty())
            return;
        const QString reason = run.outcome.reason;
        QVERIFY2(reason.startsWith(headline) && reason.contains(errorLine), qPrintable(reason));
        QCOMPARE(reason.count("\r\n"), 1);
        QVERIFY(run.outcome.log.contains("ffmpeg version") || !replay.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCVideoConv)
#include "TestCVideoConv.moc"
