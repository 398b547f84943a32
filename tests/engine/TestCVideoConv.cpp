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

class TestCVideoConv : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_twoSeconds;
    QString m_longClip;

    static bool isRising(const QList<int> &values)
    {
        return std::is_sorted(values.begin(), values.end());
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
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("options from a preset and the overwrite switch")
            << "/v/my clip.avi" << " -vcodec mpeg4 -b 800k -y" << "/out/my clip.mp4"
            << "@ -i \"/v/my clip.avi\"  -vcodec mpeg4 -b 800k -y \"/out/my clip.mp4\""
            << QStringList{"@", "-i", "/v/my clip.avi", "-vcodec", "mpeg4", "-b", "800k", "-y",
                           "/out/my clip.mp4"};
        QTest::newRow("quoted option value stays one word")
            << "/v/a.avi" << "-metadata title=\"two words\" -y" << "/o/a.mp4"
            << "@ -i \"/v/a.avi\" -metadata title=\"two words\" -y \"/o/a.mp4\""
            << QStringList{"@", "-i", "/v/a.avi", "-metadata", "title=two words", "-y", "/o/a.mp4"};
        QTest::newRow("nothing in a path is split or expanded")
            << "/v/$(x) `y` \"q\".avi" << "-y" << ""
            << "@ -i \"/v/$(x) `y` \"q\".avi\" -y \"\""
            << QStringList{"@", "-i", "/v/$(x) `y` \"q\".avi", "-y", ""};
    }

    void commandLineKeepsItsDocumentedForm()
    {
        QFETCH(QString, input);
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(QString, text);
        QFETCH(QStringList, arguments);
        CVideoConv job;
        job.setInputFile(input);
        job.setParametrs(options);
        job.setOutputFile(output);
        const QString encoder = EncoderPath::program();
        QCOMPARE(job.commandLineText(), text.replace(QLatin1Char('@'), encoder));
        arguments.first() = encoder;
        QCOMPARE(job.commandArguments(), arguments);
    }

    void convertsAClip()
    {
        const QString output = m_dir.filePath("two.avi");
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        job.setInputFile(m_twoSeconds);
        job.setOutputFile(output);
        job.setParametrs(QStringLiteral("-stats_period 0.05 -vcodec mpeg4 -acodec mp2 -y"));
        job.setFileTimeLength(2.0f);

        job.StartConversion();

        QVERIFY2(job.succeeded(), qPrintable(recorder.texts().join("\n")));
        QVERIFY(recorder.texts().isEmpty());
        QCOMPARE(events.statuses, QStringList{"Starting..."});
        QCOMPARE(events.all.first(), QStringLiteral("Starting..."));
        QVERIFY(!events.progress.isEmpty());
        QVERIFY(isRising(events.progress));
        QVERIFY2(events.progress.last() >= 95 && events.progress.last() <= 105,
                 qPrintable(QString::number(events.progress.last())));
        CVideoConv probe;
        QVERIFY(probe.IsFileSupported(output));
    }

    void unknownLengthReportsSeconds()
    {
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        job.setInputFile(m_twoSeconds);
        job.setOutputFile(m_dir.filePath("seconds.avi"));
        job.setParametrs(QStringLiteral("-stats_period 0.05 -y"));
        job.setFileTimeLength(0.0f);

        job.StartConversion();

        QVERIFY(job.succeeded());
        QVERIFY(events.progress.isEmpty());
        QVERIFY(events.statuses.size() >= 2);
        QCOMPARE(events.statuses.first(), QStringLiteral("Starting..."));
        const QRegularExpression shape(QStringLiteral("^\\d+\\.\\d\\d Seconds Converted$"));
        for (const QString &status : events.statuses.mid(1))
            QVERIFY2(shape.match(status).hasMatch(), qPrintable(status));
    }

    void encoderFailureIsReported_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errorLine");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("random bytes") << "random" << "-y" << "@/random-out.avi"
                                      << "Invalid data found when processing input" << true;
        QTest::newRow("unknown codec") << "clip" << "-vcodec foo -y" << "@/foo.avi"
                                       << "Unknown encoder 'foo'" << false;
        QTest::newRow("missing output folder") << "clip" << "-y" << "@/missing/out.avi"
                                               << "No such file or directory" << false;
        QTest::newRow("no output path") << "clip" << "-y" << "" << "Invalid argument" << false;
    }

    void encoderFailureIsReported()
    {
        QFETCH(QString, input);
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(QString, errorLine);
        QFETCH(bool, unreadable);
        const QString inputPath = input == QLatin1String("random")
                                      ? TestMedia::instance().randomBytes()
                                      : TestMedia::instance().clip("mpg");
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        job.setInputFile(inputPath);
        job.setOutputFile(output.replace(QLatin1Char('@'), m_dir.path()));
        job.setParametrs(options);
        job.setFileTimeLength(1.0f);

        job.StartConversion();

        QVERIFY(!job.succeeded());
        QCOMPARE(events.statuses.last(), QStringLiteral("Error"));
        if (unreadable) {
            const int unknown = events.all.indexOf(QStringLiteral("Unknown format"));
            QVERIFY(unknown > 0);
            QCOMPARE(events.all.value(unknown + 1), QStringLiteral("progress -1"));
        }
        QCOMPARE(recorder.count(), 1);
        const MessageRecorder::Message message = recorder.messages().first();
        QCOMPARE(message.icon, MessageIcon::Critical);
        const QString heading = QStringLiteral("Error converting file: ") +
                                QFileInfo(inputPath).fileName() + QStringLiteral("\r\n");
        QVERIFY2(message.text.startsWith(heading), qPrintable(message.text));
        QVERIFY2(message.text.contains(errorLine), qPrintable(message.text));
    }

    void stopEndsAConversionQuietly()
    {
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        job.setInputFile(m_longClip);
        job.setOutputFile(m_dir.filePath("stopped.avi"));
        // Paced to real time, so the stop lands well before the end.
        job.setParametrs(QStringLiteral("-vf realtime -y"));
        job.setFileTimeLength(6.0f);
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
        CVideoConv probe;
        const bool supported = probe.IsFileSupported(input);
        const QString output = GetOutputFileName(dir.filePath(name), "avi", true, QString());
        CVideoConv job;
        job.setInputFile(input);
        job.setOutputFile(output);
        job.setParametrs(QStringLiteral("-y"));
        job.setFileTimeLength(1.0f);
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
    }

    void unexpectedFailureIsReportedAndEndsTheRun()
    {
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents events(job);
        job.setInputFile(m_twoSeconds);
        job.setOutputFile(m_dir.filePath("never.avi"));
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
