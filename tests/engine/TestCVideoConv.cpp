#include "CVideoConv.h"
#include "EncoderPath.h"
#include "MessageRecorder.h"
#include "TestMedia.h"

#include <QDir>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {
// What one conversion reported: statuses and "progress N" in order, progress alone, messages
// shown (none expected: the job leaves them to its owner) and how it ended.
struct Run
{
    QStringList events;
    QList<int> progress;
    QStringList messages;
    ConversionOutcome outcome;
    bool succeeded() const { return outcome.kind == ConversionOutcome::Kind::Succeeded; }
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
        run.progress << percent;
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

        QVERIFY(run.succeeded() && run.messages.isEmpty() && !QFile::exists("marker"));
        QVERIFY(TestMedia::playable(output));
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
        QTest::addColumn<QString>("headline");  // what happened
        QTest::addColumn<QString>("errorLine"); // the encoder's own words, on the next line
        const QString exit1 = "The encoder ended with exit status 1.\r\n";
        QTest::newRow("random bytes")
            << "" << true << "-y"
            << "out.avi" << exit1 << "random.avi: Invalid data found when processing input";
        QTest::newRow("older unknown")
            << "old_unknown_format.txt" << true << "-y"
            << "out.avi" << exit1 << "C:\\Videos\\random.avi: Unknown format";
        QTest::newRow("missing output folder")
            << "" << false << "-y"
            << "missing/out.avi" << exit1 << "missing/out.avi: No such file or directory";
        // The encoding begins, then the encoder fails: no success for the marker alone.
        QTest::newRow("marker then exit 1") << "" << false << "-ar 1234 -y"
                                            << "rate.avi" << exit1 << "";
        QTest::newRow("input gone") << "" << false << "-y"
                                    << "gone.avi"
                                    << "The input file is no longer there: "
                                    << "gone.mpg: No such file or directory";
    }

    void encoderFailureIsReported()
    {
        QFETCH(QString, replay);
        QFETCH(bool, unreadable);
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(QString, headline);
        QFETCH(QString, errorLine);
        if (!replay.isEmpty())
            EncoderPath::setOverride(replayingEncoder(replay, 1));
        const TestMedia &media = TestMedia::instance();
        QString input = unreadable ? media.randomBytes() : media.clip("mpg");
        if (output == "gone.avi")
            input = m_dir.filePath("gone.mpg");
        const Run run = convert(input, output, options, 1);

        QStringList expected{"Starting..."};
        if (unreadable)
            expected << "Unknown format"
                     << "progress -1";
        QCOMPARE(run.events, expected << "Error");
        QVERIFY(run.messages.isEmpty());
        QCOMPARE(run.outcome.kind, ConversionOutcome::Kind::Failed);
        const QString reason = run.outcome.reason;
        QVERIFY2(reason.startsWith(headline) && reason.contains(errorLine), qPrintable(reason));
        QCOMPARE(reason.count("\r\n"), 1); // never the whole log
        QVERIFY(run.outcome.log.contains("ffmpeg version") || !replay.isEmpty());
    }

    // Recorded runs that succeed: older times in seconds, and today's report of one damaged
    // packet mid-run, which is no verdict on the input.
    void recordedRunsSucceed_data()
    {
        QTest::addColumn<QString>("replay");
        QTest::addColumn<QString>("input");
        QTest::newRow("older progress in seconds") << "old_success.txt"
                                                   << "/videos/in.avi";
        QTest::newRow("damaged packet") << "ffmpeg51_damaged_packet.txt"
                                        << "/videos/in.ts";
    }

    void recordedRunsSucceed()
    {
        QFETCH(QString, replay);
        QFETCH(QString, input);
        EncoderPath::setOverride(replayingEncoder(replay, 0));
        const Run run = convert(input, "/videos/out.avi", "-y", 20);
        QVERIFY(run.succeeded());
        QCOMPARE(run.events,
                 (QStringList{"Starting...", "progress 25", "progress 50", "progress 100"}));
    }
};

QTEST_GUILESS_MAIN(TestCVideoConv)
#include "TestCVideoConv.moc"
