#include "CVideoConv.h"
#include "EncoderPath.h"
#include "MessageRecorder.h"
#include "TestMedia.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>

namespace {
// What one conversion reported: statuses and "progress N" in order, progress alone, messages.
struct Run
{
    QStringList events;
    QList<int> progress;
    QStringList messages;
    bool succeeded = false;
};

Run convert(const QString &input, const QString &output, const QString &options, float length,
            bool stopOnProgress = false)
{
    MessageRecorder recorder;
    CVideoConv job;
    Run run;
    QObject::connect(&job, &CVideoConv::CurrentStatus, &job,
                     [&run](const QString &status) { run.events << status; });
    QObject::connect(&job, &CVideoConv::Progress, &job, [&](qint16 percent) {
        run.events << QStringLiteral("progress %1").arg(percent);
        run.progress << percent;
        if (stopOnProgress)
            job.StopConversion();
    });
    job.setInputFile(input);
    job.setOutputFile(output);
    job.setParametrs(options);
    job.setFileTimeLength(length);
    job.StartConversion();
    run.succeeded = job.succeeded();
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
        QTest::newRow("length unknown") << "two.mp4" << 0.0f;
        QTest::newRow("blanks and double quotes") << "my \"best\" clip.mp4" << 2.0f;
        QTest::newRow("command substitution") << "$(touch marker) clip.mp4" << 2.0f;
        QTest::newRow("backticks") << "`touch marker` clip.mp4" << 0.0f;
        QTest::newRow("non-ASCII letters") << "Überraschung ñ 映像.mp4" << 2.0f;
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
        QVERIFY(CVideoConv().IsFileSupported(input));
        const Run run =
            convert(input, output, "-stats_period 0.05 -vcodec mpeg4 -acodec mp2 -y", length);

        QVERIFY(run.succeeded);
        QVERIFY(run.messages.isEmpty());
        QVERIFY(QFileInfo(output).size() > 0 && CVideoConv().IsFileSupported(output));
        QVERIFY(!QFile::exists("marker"));
        QCOMPARE(run.events.first(), QStringLiteral("Starting..."));
        const QStringList later = run.events.mid(1);
        if (length > 0) {
            QCOMPARE(later.size(), run.progress.size());
            QVERIFY(std::is_sorted(run.progress.begin(), run.progress.end()));
            QVERIFY(!later.isEmpty() && run.progress.last() >= 95 && run.progress.last() <= 105);
            return;
        }
        QVERIFY(run.progress.isEmpty() && !later.isEmpty());
        const QRegularExpression shape(QStringLiteral("^\\d+\\.\\d\\d Seconds Converted$"));
        for (const QString &status : later)
            QVERIFY2(shape.match(status).hasMatch(), qPrintable(status));
    }

    void encoderFailureIsReported_data()
    {
        QTest::addColumn<QString>("replay");  // recorded output for the stand-in; empty: none
        QTest::addColumn<bool>("unreadable"); // random bytes instead of a clip
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errorLine");
        QTest::newRow("random bytes") << "" << true << "-y"
                                      << "out.avi"
                                      << "Invalid data found";
        QTest::newRow("older unknown") << "old_unknown_format.txt" << true << "-y"
                                       << "out.avi"
                                       << "\nC:\\Videos\\random.avi: Unknown format\r\n";
        // The encoding-began marker is no proof: this encoder printed it, then exited with 1.
        QTest::newRow("marker, then exit 1") << "ffmpeg51_encoder_open_failed.txt" << false << "-y"
                                             << "out.avi"
                                             << "rate 1234";
        QTest::newRow("unknown codec") << "" << false << "-c:v foo"
                                       << "foo.avi"
                                       << "encoder 'foo'";
        QTest::newRow("missing output folder") << "" << false << "-y"
                                               << "missing/out.avi"
                                               << "missing/out.avi: No such file or directory";
    }

    void encoderFailureIsReported()
    {
        QFETCH(QString, replay);
        QFETCH(bool, unreadable);
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(QString, errorLine);
        if (!replay.isEmpty())
            EncoderPath::setOverride(replayingEncoder(replay, 1));
        const TestMedia &media = TestMedia::instance();
        const QString input = unreadable ? media.randomBytes() : media.clip("mpg");
        const Run run = convert(input, output, options, 1);

        QVERIFY(!run.succeeded);
        QStringList expected{"Starting..."};
        if (unreadable)
            expected << "Unknown format"
                     << "progress -1";
        QCOMPARE(run.events, expected << "Error");
        QCOMPARE(run.messages.size(), 1);
        const QString text = run.messages.first();
        const QString start = "Error converting file: " + QFileInfo(input).fileName() + "\r\n";
        QVERIFY2(text.startsWith(start) && text.contains(errorLine), qPrintable(text));
    }

    void stopEndsAConversionQuietly()
    {
        // Paced to real time, so a stop at the first progress lands well before the end.
        const Run run = convert("two.mp4", "stopped.avi", "-vf realtime -y", 2, true);
        QVERIFY(!run.succeeded);
        QCOMPARE(run.events.last(), QStringLiteral("Cancelled"));
        QVERIFY(run.messages.isEmpty());
        QVERIFY(run.progress.last() < 90);
    }

    void probeTellsReadableFromUnreadable()
    {
        const TestMedia &media = TestMedia::instance();
        CVideoConv job;
        const QStringList readable = media.clips() << media.clipWithoutAudio();
        for (const QString &clip : readable)
            QVERIFY2(job.IsFileSupported(clip), qPrintable(clip));
        QVERIFY(!job.IsFileSupported(media.randomBytes()));
        // The encoder would wait forever on a FIFO.
        QCOMPARE(::mkfifo("pipe.avi", 0600), 0);
        QVERIFY(!job.IsFileSupported("pipe.avi"));
    }

    void olderProgressInSecondsIsUnderstood()
    {
        EncoderPath::setOverride(replayingEncoder("old_success.txt", 0));
        const Run run = convert("/videos/in.avi", "/videos/out.flv", "-f flv -y", 20);
        QVERIFY(run.succeeded);
        QVERIFY(run.messages.isEmpty());
        QCOMPARE(run.events,
                 (QStringList{"Starting...", "progress 25", "progress 50", "progress 100"}));
    }
};

QTEST_GUILESS_MAIN(TestCVideoConv)
#include "TestCVideoConv.moc"
