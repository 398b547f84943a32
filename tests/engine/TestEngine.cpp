// The engine: how a child ended, as the runner tells it, output names, the encoder's output
// read back, what an option string needs from the installed encoder, and whole
// conversions with the real encoder or a stand-in printing an old one's output.
#include "engine/CVideoConv.h"
#include "engine/DOSOutputs.h"
#include "engine/EncoderInventory.h"
#include "engine/EncoderOutput.h"
#include "engine/OutputFileName.h"
#include "engine/ProcessRunner.h"
#include "services/TerminationSignals.h"
#include "tests/standins/MessageRecorder.h"
#include "tests/testsupport/EncoderSearchPath.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/StandInEncoder.h"
#include "tests/testsupport/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fcntl.h>
#include <linux/close_range.h>
#include <memory>
#include <optional>
#include <tuple>
#include <unistd.h>

namespace {
// A runner that keeps every text it hands on, in order.
struct RecordedRunner : DOSOutputs
{
    RecordedRunner()
    {
        connect(this, &DOSOutputs::ReceiveOutputs, this, [this](const QString &t) { events << t; });
    }
    QStringList events;
};
} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;          // also the current folder, where a shell would leave a marker
    EncoderInventory m_inventory; // over a stand-in encoder that offers little
    std::unique_ptr<TerminationSignals> m_termination;

    // Writes an encoder that prints the given lines, as an old one did on Windows, and fails,
    // into a folder of its own, and returns the folder.
    QString replayingEncoder(const QString &lines)
    {
        const QString encoder = m_dir.filePath("replay/ffmpeg");
        QDir().mkpath(m_dir.filePath("replay"));
        const QString quoted = "'" + QString(lines).replace('\n', "' '") + "'";
        writeFile(encoder, ("#!/bin/sh\nprintf '%s\\r\\n' " + quoted + "\nexit 1\n").toUtf8());
        QFile::setPermissions(encoder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return m_dir.filePath("replay");
    }

private slots:
    void initTestCase()
    {
        // Descriptors this test inherited belong to whatever started it, not to the program.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        // What the program holds while children run: the signal socket, and a file opened
        // without close-on-exec, as a library on another thread might.
        m_termination = std::make_unique<TerminationSignals>();
        // Every descriptor the program opens is close-on-exec, whoever starts a child.
        for (const QString &fd : QDir("/proc/self/fd").entryList(QDir::Files | QDir::System))
            QVERIFY2(fd.toInt() < 3 || (::fcntl(fd.toInt(), F_GETFD) & FD_CLOEXEC), qPrintable(fd));
        QVERIFY(::open("/dev/null", O_RDONLY) > 2); // held for the program's life
        QSignalSpy ready(&m_inventory, &EncoderInventory::ready);
        m_inventory.start(
            StandInEncoder::write(m_dir.path(), {"libx264", "aac", "mpeg2video", "mp2"},
                                  {"mp4", "mpeg", "vcd", "matroska,webm"},
                                  {{"h264", {"libx264", "h264_vaapi"}}, {"vp6", {}}}));
        QVERIFY(ready.wait(10000));
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(TestMedia::makeClip("two.mp4", 2.0));
    }

    // Paths are relative to a fresh temporary folder; the first file is the input, a null
    // folder means beside it, and an empty expected path that the folder could not be made.
    void namesAnOutputPath()
    {
        const QString beside;
        const QList<std::tuple<QStringList, QString, QString>> cases = {
            {{"v/clip.avi"}, beside, "v/clip_Converted.avi"},
            {{"v/clip.avi", "v/clip_Converted.avi", "v/clip_Converted_0.avi"},
             beside,
             "v/clip_Converted_1.avi"},                                   // numbers go on
            {{"v/clip_Converted.avi"}, beside, "v/clip_Converted_0.avi"}, // no second suffix
            {{"v/clip_converted.avi"}, beside, "v/clip_converted_Converted.avi"},
            {{"v/clip.avi"}, "a/b", ""}, // parent missing
            {{"v/clip.avi"}, "", ""}};
        for (const auto &[existing, outPath, expected] : cases) {
            QTemporaryDir dir;
            for (const QString &file : existing) {
                QVERIFY(QDir().mkpath(QFileInfo(dir.filePath(file)).path()));
                QVERIFY(writeFile(dir.filePath(file), {}));
            }
            const QString folder = outPath.isEmpty() ? outPath : dir.filePath(outPath);
            OutputNameFailure failure = OutputNameFailure::AllNamesTaken;
            const QString result = GetOutputFileName(dir.filePath(existing.first()), "avi",
                                                     outPath.isNull(), folder, {}, &failure);
            QCOMPARE(result, expected.isEmpty() ? expected : dir.filePath(expected));
            QCOMPARE(failure, expected.isEmpty() ? OutputNameFailure::FolderUnavailable
                                                 : OutputNameFailure::None);
            if (!outPath.isNull())
                QCOMPARE(QFileInfo(folder).isDir(), !expected.isEmpty());
        }
    }

    // From one chunk: the time, its length-unknown status number and percent (halves to even).
    void progressOfAChunk()
    {
        // Chunk, length, seconds (-1: no usable time), status number, percent.
        const QList<std::tuple<const char *, double, double, const char *, int>> cases = {
            {"q=2 TIME=12.34 x", 100, 12.34, "12.34", 12}, // older seconds
            {"time=01:01:02.50 x\r", 3662, 3662.5, "3662.50", 100},
            {"time=210.00 x", 200, 210, "210.00", 105},      // beyond the length
            {"time=1.00 x", 8, 1, "1.00", 12},               // half down
            {"time=00:00:03 x", 8, 3, "3", 38},              // half up
            {"time=1.00 a\rtime=2.00 b", 1, 1, "1.00", 100}, // the first
            {"time=N/A bitrate=", 1, -1, "", 0},
            {"size= 256kB time=00:00:0", 1, -1, "", 0}}; // cut by the read
        for (const auto &[chunk, length, seconds, shown, percent] : cases) {
            const QString time = EncoderOutput::progressTime(QString(chunk)).value_or("none");
            QCOMPARE(EncoderOutput::seconds(time).value_or(-1.0), seconds);
            QCOMPARE(EncoderOutput::secondsText(time), QString(shown));
            if (seconds >= 0)
                QCOMPARE(int(EncoderOutput::percent(seconds, length)), percent);
        }
    }

    // A long run's output keeps its start and its end, within a bound.
    void longOutputStaysBounded()
    {
        DOSOutputs runner;
        runner.setArguments({"seq", "1", "200000"}); // 1.3 MB
        const QString kept = runner.ExecuteCommand();
        QCOMPARE(kept, runner.Outputs());
        QVERIFY2(kept.size() < 300 * 1024, qPrintable(QString::number(kept.size())));
        QVERIFY(kept.startsWith("1\n2\n") && kept.endsWith("\n199999\n200000\n"));
        QCOMPARE(kept.count("[...]"), 1);
    }

    // Verdicts come from the encoder's message lines only: echoed names and tags that hold its
    // words are no verdict, whatever line breaks they hold.
    void verdictsComeFromMessageLines()
    {
        const QString echo = "Input #0, matroska,webm, from '%1':\n  Metadata:\n"
                             "    title           : No space left on device\n"
                             "                    : Unknown format\nPress [q] to stop\n";
        // Input, encoder output, disk full, input unreadable, the error line.
        QList<std::tuple<QString, QString, bool, bool, QString>> cases;
        for (const QString name : {"/v/a No space left on device.mkv", "/v/Unknown format x.mkv",
                                   "/v/a\nNo space left on device\n.mkv", "/v/b\n: Unknown format"})
            cases.append({name, echo.arg(name), false, false, ""});
        cases.append(
            {"/v/a.mkv", // a full disk
             "Output #0, avi, to '/o/a.avi':\nframe=  1 time=00:00:01.00 x\r"
             "av_interleaved_write_frame(): No space left on device\n[aac @ 0x1] Qavg: 9.5\n"
             "Error writing trailer of /o/a.avi: No space left on device\n"
             "frame=  2 time=00:00:02.00 x\nvideo:1kB audio:1kB\nConversion failed!\n",
             true, false, "Error writing trailer of /o/a.avi: No space left on device"});
        cases.append({"/v/r\nx.avi", "/v/r\nx.avi: Invalid data found when processing input\n",
                      false, true, "/v/r x.avi: Invalid data found when processing input"});
        cases.append({"C:\\v.avi", "C:\\v.avi: Unknown format\n", false, true,
                      "C:\\v.avi: Unknown format"}); // an older encoder
        cases.append({"/v/in.ts",                    // a damaged packet
                      "Input #0, mpegts, from '/v/in.ts':\n[h264 @ 0x1] Invalid data found when "
                      "processing input\nframe=  5 time=00:00:01.00 x\n",
                      false, false, "[h264 @ 0x1] Invalid data found when processing input"});
        for (const auto &[input, output, diskFull, unreadable, errorLine] : std::as_const(cases)) {
            const QStringList paths = {input, "/o/a.avi"};
            QVERIFY2(EncoderOutput::diskFull(output, paths) == diskFull &&
                         EncoderOutput::inputUnreadable(output, input) == unreadable,
                     qPrintable(input));
            QCOMPARE(EncoderOutput::errorLine(output, paths), errorLine);
        }
    }

    // What an option string needs that the stand-in encoder does not offer.
    void namesWhatIsMissing()
    {
        const QList<QStringList> cases = {
            {"-c:v libx264 -preset fast -c:a aac", "MP4", ""},
            {"-vcodec libx265 -acodec aac", "mp4", "encoder \"libx265\""},
            {"-c copy", "mkv", ""}, // copying needs no encoder
            {"-c:v libx264", "avi", "container \"avi\""},
            {"-c:v libx264 -f ogg", "mp4", "container \"ogg\""},
            {"-target pal-dvd", "mpg", "encoder \"ac3\""},
            {"-c:v h264 -c:a mp2", "mp4", ""}, // the encoder picks one of the codec's encoders
            {"-c:v vp6", "mp4", "encoder \"vp6\""}}; // it only decodes that codec
        for (const QStringList &c : cases)
            QCOMPARE(m_inventory.missingFor(c.at(0), c.at(1)), c.at(2));
    }

    // Each child runs while this program holds a signal socket and a stray descriptor.
    // Output arrives whole in chunks of at most 512 bytes; "aé" is three bytes long, so
    // a read ends inside an "é" now and then.
    void tellsHowTheChildEnded_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<ProcessRunner::Ending>("ending");
        QTest::addColumn<int>("number"); // exit status or signal
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message");
        using E = ProcessRunner::Ending;
        const auto row = [](const char *name, const QStringList &command, E ending, int number,
                            const QString &output, const char *message = "") {
            QTest::newRow(name) << command << ending << number << output << QString(message);
        };
        const auto sh = [](const QString &script) { return QStringList{"sh", "-c", script}; };
        const QString accents = QStringLiteral("a\u00e9").repeated(3000);
        row("exit 3", sh("echo no >&2; exit 3"), E::Exited, 3, "no\n");
        row("signal 9", sh("kill -9 $$"), E::Signalled, 9, "");
        row("long output", sh("printf '" + accents + "\\n'; echo end >&2"), E::Exited, 0,
            accents + "\nend\n");
        row("only standard streams", sh("ls /proc/$$/fd"), E::Exited, 0, "0\n1\n2\n");
        row("missing program", {"/nonexistent/program"}, E::FailedToStart, -1, "",
            "File or command not found");
        row("nothing to run", {}, E::NotRun, -1, "", "Command Line is empty");
    }

    void tellsHowTheChildEnded()
    {
        QFETCH(QStringList, command);
        QFETCH(ProcessRunner::Ending, ending);
        QFETCH(int, number);
        QFETCH(QString, output);
        QFETCH(QString, message);
        MessageRecorder messages;
        RecordedRunner runner;
        runner.setArguments(command);
        QCOMPARE(runner.ExecuteCommand(), output);
        const ProcessRunner::Result &result = runner.result();
        QCOMPARE(result.ending, ending);
        QCOMPARE(ending == ProcessRunner::Ending::Signalled ? result.signal : result.exitCode,
                 number);
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(runner.events.join(QString()), runner.Outputs());
        // A run ends with one empty event: the read that found the end of the output.
        const bool ran = ending == ProcessRunner::Ending::Exited || number > 0;
        QCOMPARE(runner.events.count(QString()), int(ran));
        QVERIFY(!ran || runner.events.last().isEmpty());
        for (const QString &chunk : std::as_const(runner.events))
            QVERIFY2(chunk.size() <= 512, qPrintable(QString::number(chunk.size())));
    }

    // How a run ends, with the real encoder or a stand-in printing an old one's failure: the
    // statuses in order, and for a failure what happened first, then the encoder's own error
    // line, never the whole log. Names with shell syntax reach the encoder as they are and run
    // nothing.
    void reportsHowARunEnded_data()
    {
        QTest::addColumn<QString>("replay"); // what a failing stand-in prints; empty: the real one
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<float>("length");
        QTest::addColumn<QString>("pattern"); // the events after "Starting...", joined by ";"
        QTest::addColumn<QString>("reason");  // how it opens, CR LF, in the error line; or success
        const TestMedia &media = TestMedia::instance();
        const QString exit1 = "The encoder ended with exit status 1.\r\n";
        const char *unknown = "Unknown format;progress -1;Error";
        const auto row = [](const char *name, const QString &replay, const QString &input,
                            const QString &options, const QString &output, const char *pattern,
                            const QString &reason = QString(), float length = 20) {
            QTest::newRow(name) << replay << input << options << output << length
                                << QString(pattern) << reason;
        };
        // Known length: percents rising to about 100; unknown: the seconds converted.
        const QString fast = "-stats_period 0.05 -vcodec mpeg4 -acodec mp2 -y";
        for (const QString name : {"my \"best\" $(touch marker) `touch marker`.mp4", "-y clip.mp4",
                                   "Überraschung ñ 映像.mp4"}) {
            const bool known = name.at(0).unicode() < 128; // the non-ASCII one's is not
            QVERIFY(QFile::copy("two.mp4", name));         // into the current folder
            row(qPrintable(name), "", name.startsWith('-') ? name : m_dir.filePath(name), fast,
                m_dir.filePath(name.chopped(3) + "avi"),
                known ? "(progress \\d+;)*progress (9[5-9]|10[0-5])"
                      : "(\\d+\\.\\d\\d Seconds Converted;?)+",
                QString(), known ? 2 : 0);
        }
        row("random bytes", "", media.randomBytes(), "-y", "out.avi", unknown,
            exit1 + "random.avi: Invalid data found when processing input");
        row("older unknown", "FFmpeg version SVN-r16573\nC:\\Videos\\random.avi: Unknown format",
            media.randomBytes(), "-y", "out.avi", unknown,
            exit1 + "C:\\Videos\\random.avi: Unknown format");
        row("missing output folder", "", media.clip("mpg"), "-y", "missing/out.avi", "Error",
            exit1 + "missing/out.avi: No such file or directory");
        // The encoding begins, then the encoder fails: no success for the marker alone.
        row("marker then exit 1", "", media.clip("mpg"), "-ar 1234 -y", "rate.avi", "Error", exit1);
        row("input gone", "", m_dir.filePath("gone.mpg"), "-y", "gone.avi", "Error",
            "The input file is no longer there: \r\ngone.mpg: No such file or directory");
    }

    void reportsHowARunEnded()
    {
        QFETCH(QString, replay);
        QFETCH(QString, input);
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(float, length);
        QFETCH(QString, pattern);
        QFETCH(QString, reason);
        std::optional<EncoderSearchPath> replaying;
        if (!replay.isEmpty())
            replaying.emplace(replayingEncoder(replay));
        MessageRecorder messages; // none expected: the job leaves them to its owner
        CVideoConv job;
        QStringList events; // statuses and "progress N" in order
        connect(&job, &CVideoConv::CurrentStatus, this, [&](const QString &s) { events << s; });
        connect(&job, &CVideoConv::Progress, this,
                [&](qint16 percent) { events << QStringLiteral("progress %1").arg(percent); });
        QSignalSpy finished(&job, &CVideoConv::finished);
        job.setInputFile(input);
        job.setOutputFile(output);
        job.setParametrs(options);
        job.setFileTimeLength(length);
        job.start();
        QVERIFY(finished.wait(120000));
        const auto outcome = finished.first().first().value<ConversionOutcome>();
        const QString told = events.join(';');
        QVERIFY2(QRegularExpression("^Starting\\.\\.\\.;(" + pattern + ")$").match(told).hasMatch(),
                 qPrintable(told));
        QList<double> numbers; // percents and seconds never go back
        for (const auto &number :
             QRegularExpression("(^|;)(progress )?(-?[\\d.]+)").globalMatch(told))
            numbers << number.captured(3).toDouble();
        QVERIFY2(std::is_sorted(numbers.cbegin(), numbers.cend()), qPrintable(told));
        QVERIFY(messages.texts().isEmpty() && !QFile::exists("marker"));
        QCOMPARE(outcome.kind, reason.isEmpty() ? ConversionOutcome::Kind::Succeeded
                                                : ConversionOutcome::Kind::Failed);
        QVERIFY(!reason.isEmpty() || TestMedia::playable(output));
        if (reason.isEmpty())
            return;
        const QStringList lines = outcome.reason.split("\r\n"); // never the whole log
        QVERIFY2(lines.size() == 2 && lines.first().startsWith(reason.section("\r\n", 0, 0)) &&
                     lines.last().contains(reason.section("\r\n", 1)),
                 qPrintable(outcome.reason));
        QVERIFY(outcome.log.contains("ffmpeg version") || !replay.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "TestEngine.moc"
