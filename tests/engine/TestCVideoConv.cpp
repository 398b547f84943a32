#include "CVideoConv.h"
#include "EncoderPath.h"
#include "JobEvents.h"
#include "MessageRecorder.h"
#include "OutputFileName.h"
#include "TestMedia.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <stdexcept>

#include <sys/stat.h>

class TestCVideoConv : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_twoSeconds;
    QString m_longClip;

    static void prepare(CVideoConv &job, const QString &input, const QString &output,
                        const QString &options, float length)
    {
        job.setInputFile(input);
        job.setOutputFile(output);
        job.setParametrs(options);
        job.setFileTimeLength(length);
    }

private slots:
    void initTestCase()
    {
        EncoderPath::setOverride(TestMedia::encoder());
        m_twoSeconds = m_dir.filePath("two.mp4");
        QVERIFY(TestMedia::makeClip(m_twoSeconds, 2.0));
        m_longClip = m_dir.filePath("long.mp4");
        QVERIFY(TestMedia::makeClip(m_longClip, 6.0));
    }

    void commandLineKeepsItsDocumentedForm_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text"); // "@" stands for the encoder's path
        QTest::newRow("options with a leading blank and the overwrite switch")
            << "/v/my clip.avi" << " -vcodec mpeg4 -y" << "/out/my clip.mp4"
            << "@ -i \"/v/my clip.avi\"  -vcodec mpeg4 -y \"/out/my clip.mp4\"";
        QTest::newRow("no output path") << "/v/$(x).avi" << "-y" << ""
                                        << "@ -i \"/v/$(x).avi\" -y \"\"";
    }

    void commandLineKeepsItsDocumentedForm()
    {
        QFETCH(QString, input);
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(QString, text);
        CVideoConv job;
        job.setInputFile(input);
        job.setParametrs(options);
        job.setOutputFile(output);
        QCOMPARE(job.commandLineText(), text.replace(QLatin1Char('@'), EncoderPath::program()));
    }

    void convertsAClip()
    {
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        const QString output = m_dir.filePath("two.avi");
        prepare(job, m_twoSeconds, output, "-stats_period 0.05 -vcodec mpeg4 -acodec mp2 -y", 2);

        job.StartConversion();

        QVERIFY2(job.succeeded(), qPrintable(recorder.texts().join("\n")));
        QVERIFY(recorder.texts().isEmpty());
        QCOMPARE(events.statuses, QStringList{"Starting..."});
        QVERIFY(std::is_sorted(events.progress.begin(), events.progress.end()));
        QVERIFY(events.progress.value(events.progress.size() - 1) >= 95);
        QVERIFY(events.progress.last() <= 105);
        QVERIFY(CVideoConv().IsFileSupported(output));
    }

    void unknownLengthReportsSeconds()
    {
        CVideoConv job;
        JobEvents events(job);
        prepare(job, m_twoSeconds, m_dir.filePath("seconds.avi"), "-stats_period 0.05 -y", 0);

        job.StartConversion();

        QVERIFY(job.succeeded());
        QVERIFY(events.progress.isEmpty());
        QVERIFY(events.statuses.size() >= 2);
        const QRegularExpression shape(QStringLiteral("^\\d+\\.\\d\\d Seconds Converted$"));
        for (const QString &status : events.statuses.mid(1))
            QVERIFY2(shape.match(status).hasMatch(), qPrintable(status));
    }

    void encoderFailureIsReported_data()
    {
        QTest::addColumn<bool>("unreadable"); // random bytes instead of a clip
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errorLine");
        QTest::newRow("random bytes") << true << "-y" << "@/random-out.avi"
                                      << "Invalid data found when processing input";
        QTest::newRow("unknown codec") << false << "-vcodec foo -y" << "@/foo.avi"
                                       << "Unknown encoder 'foo'";
        QTest::newRow("missing output folder") << false << "-y" << "@/missing/out.avi"
                                               << "No such file or directory";
        QTest::newRow("no output path") << false << "-y" << "" << "Invalid argument";
    }

    void encoderFailureIsReported()
    {
        QFETCH(bool, unreadable);
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(QString, errorLine);
        const TestMedia &media = TestMedia::instance();
        const QString input = unreadable ? media.randomBytes() : media.clip("mpg");
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        prepare(job, input, output.replace(QLatin1Char('@'), m_dir.path()), options, 1);

        job.StartConversion();

        QVERIFY(!job.succeeded());
        QCOMPARE(events.statuses.last(), QStringLiteral("Error"));
        const qsizetype unknown = events.all.indexOf(QStringLiteral("Unknown format"));
        QCOMPARE(unknown > 0, unreadable);
        if (unreadable)
            QCOMPARE(events.all.value(unknown + 1), QStringLiteral("progress -1"));
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.messages().first().icon, MessageIcon::Critical);
        const QString text = recorder.texts().first();
        QVERIFY(text.startsWith("Error converting file: " + QFileInfo(input).fileName() + "\r\n"));
        QVERIFY2(text.contains(errorLine), qPrintable(text));
    }

    void stopEndsAConversionQuietly()
    {
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        // Paced to real time, so the stop lands well before the end.
        prepare(job, m_longClip, m_dir.filePath("stopped.avi"), "-vf realtime -y", 6);
        connect(&job, &CVideoConv::Progress, &job, [&job] { job.StopConversion(); });

        job.StartConversion();

        QVERIFY(!job.succeeded());
        QCOMPARE(events.statuses.last(), QStringLiteral("Cancelled"));
        QVERIFY(!events.statuses.contains(QStringLiteral("Error")));
        QVERIFY(recorder.texts().isEmpty());
        QVERIFY(events.progress.last() < 90);
    }

    void awkwardPathsConvertAndNothingInThemRuns_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("relative");
        QTest::newRow("blanks and double quotes") << "my \"best\" clip.mp4" << false;
        QTest::newRow("command substitution") << "$(touch marker) clip.mp4" << false;
        QTest::newRow("backticks") << "`touch marker` clip.mp4" << false;
        QTest::newRow("non-ASCII letters") << "Überraschung ñ 映像.mp4" << false;
        QTest::newRow("leading dash") << "-y clip.mp4" << true;
        QTest::newRow("line break and semicolon") << "two\nlines; touch marker.mp4" << false;
    }

    void awkwardPathsConvertAndNothingInThemRuns()
    {
        QFETCH(QString, name);
        QFETCH(bool, relative);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(TestMedia::instance().clip("mp4"), dir.filePath(name)));
        const QString previous = QDir::currentPath();
        QString input = dir.filePath(name);
        if (relative) {
            QDir::setCurrent(dir.path());
            input = name;
        }
        MessageRecorder recorder;
        const bool supported = CVideoConv().IsFileSupported(input);
        const QString output = GetOutputFileName(dir.filePath(name), "avi", true, QString());
        CVideoConv job;
        prepare(job, input, output, "-y", 1);
        job.StartConversion();
        QDir::setCurrent(previous);

        QVERIFY(supported);
        QVERIFY2(job.succeeded(), qPrintable(recorder.texts().join("\n")));
        QVERIFY(QFileInfo(output).size() > 0);
        QVERIFY(!QFile::exists(dir.filePath("marker")));
        QVERIFY(!QFile::exists(QDir::current().filePath("marker")));
    }

    void probeTellsReadableFromUnreadable()
    {
        const TestMedia &media = TestMedia::instance();
        CVideoConv job;
        const QStringList readable = media.clips() << media.clipWithoutAudio();
        for (const QString &clip : readable)
            QVERIFY2(job.IsFileSupported(clip), qPrintable(clip));
        QVERIFY(!job.IsFileSupported(media.randomBytes()));
        QVERIFY(!job.IsFileSupported(media.emptyFile()));
        // Neither a FIFO nor a folder reaches the encoder, which would wait on a FIFO.
        const QString fifo = m_dir.filePath("pipe.avi");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!job.IsFileSupported(fifo));
        QVERIFY(!job.IsFileSupported(m_dir.path()));
    }

    void unexpectedFailureIsReportedAndEndsTheRun()
    {
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        prepare(job, m_twoSeconds, m_dir.filePath("never.avi"), "-y", 2);
        connect(&job, &CVideoConv::CurrentStatus, &job, [](const QString &) {
            throw std::runtime_error("status could not be shown");
        });

        job.StartConversion();

        QCOMPARE(events.statuses, QStringList{"Starting..."});
        QCOMPARE(recorder.texts(),
                 QStringList{"Error Occured:\r\nstatus could not be shown - "
                             "CVideoConv.StartConversion - 5"});
        QCOMPARE(recorder.messages().first().icon, MessageIcon::None);
        QVERIFY(!QFile::exists(m_dir.filePath("never.avi")));
    }
};

QTEST_GUILESS_MAIN(TestCVideoConv)
#include "TestCVideoConv.moc"
