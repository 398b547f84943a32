#include "batch/ConversionQueue.h"
#include "batch/StreamFit.h"
#include "batch/StreamPlan.h"
#include "engine/InFlightOutputs.h"
#include "filelist/FileListModel.h"
#include "filelist/MediaProbe.h"
#include "format/PresetsFile.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Streams copied instead of encoded, through the real queue and encoder: what is copied is
// packet for packet the source's, what a container cannot hold is converted or left out and
// the log says so, and a stream fits a format only where it already has its settings.
class TestStreamCopy : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    PresetTable m_presets;

    static QString run(const QStringList &arguments, const QString &program = "ffmpeg")
    {
        const BuiltProgram::Ran ran = BuiltProgram::runProgram(program, arguments);
        return ran.status == 0 ? ran.out : "failed: " + ran.err;
    }

    // The packets of one stream, as a digest.
    static QString packets(const QString &file, const QString &stream)
    {
        return run({"-v", "error", "-i", file, "-map", "0:" + stream, "-c", "copy", "-f",
                    "streamhash", "-"})
            .section(',', 2);
    }

    // "type,codec,language" per stream, and the number of chapters.
    static QStringList contents(const QString &file)
    {
        QStringList lines =
            run({"-v", "error", "-show_entries",
                 "stream=codec_type,codec_name:stream_tags=language", "-of", "csv=p=0", file},
                "ffprobe")
                .split('\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString &line) { return line.startsWith("bin_data"); });
        lines << "chapters " +
                     QString::number(
                         run({"-v", "error", "-show_chapters", "-of", "csv=p=0", file}, "ffprobe")
                             .count('\n'));
        return lines;
    }

    struct Converted
    {
        RowStatus::State state;
        QString log;
        QString output;
    };

    Converted convert(const QString &input, BatchChoices choices)
    {
        FileListModel list;
        ConversionQueue queue(list);
        FileListRecord record;
        record.FilePath = input;
        const MediaProbe::Facts facts = MediaProbe::inspect(input);
        record.durationMs = facts.durationMs;
        record.streams = facts.streams;
        if (!list.append(record, nullptr))
            return {RowStatus::State::Error, "not added", QString()};
        choices.sameFolder = false;
        choices.outputFolder = m_dir.filePath("out");
        QSignalSpy ended(&queue, &ConversionQueue::rowEnded);
        QSignalSpy finished(&queue, &ConversionQueue::batchFinished);
        queue.start(choices, false, 1);
        if (finished.isEmpty() && !finished.wait(120000))
            return {RowStatus::State::Error, "timed out", QString()};
        return {list.record(0).status.state(), list.log(0),
                ended.value(0).value(1).value<RowEnding>().output};
    }

    BatchChoices preset(const QString &category, const QString &label, const QString &extension)
    {
        BatchChoices choices;
        choices.parameters = m_presets.params(category, label, extension);
        choices.extension = extension;
        return choices;
    }

private slots:
    void initTestCase()
    {
        const PresetsFile::Result presets = PresetsFile::load(PresetsFile::defaultPath());
        QVERIFY2(presets.ok(), qPrintable(presets.error));
        m_presets = presets.table;
        QVERIFY(QDir().mkpath(m_dir.filePath("out")));
        QVERIFY(writeFile(m_dir.filePath("s.srt"), "1\n00:00:00,000 --> 00:00:01,000\nHello\n\n"
                                                   "2\n00:00:01,000 --> 00:00:02,000\nWorld\n"));
        QVERIFY(writeFile(m_dir.filePath("c.txt"),
                          ";FFMETADATA1\ntitle=Holiday\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\n"
                          "END=1000\ntitle=One\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=2000\n"
                          "title=Two\n"));
        // Picture, two sound tracks in two languages, a subtitle track and chapters.
        const QString tracks = "-f lavfi -i testsrc2=size=320x240:rate=25:d=2 -f lavfi -i "
                               "sine=f=440:d=2 -f lavfi -i sine=f=660:d=2 -i S -i C -map 0 -map 1 "
                               "-map 2 -map_metadata 4 -map_chapters 4 -metadata:s:a:0 "
                               "language=eng -metadata:s:a:1 language=fra -metadata:s:s:0 "
                               "language=deu -pix_fmt yuv420p -c:v libx264 -preset ultrafast "
                               "-c:a:0 aac ";
        const QStringList files = {tracks + "-map 3 -c:a:1 pcm_s16le -c:s srt source.mkv",
                                   tracks + "-map 3 -c:a:1 pcm_s16le -c:s mov_text source.mov",
                                   tracks + "-map 3 -c:a:1 ac3 -c:s mov_text source.mp4",
                                   tracks +
                                       "-c:v mpeg4 -c:a:0 libmp3lame -c:a:1 pcm_s16le source.avi"};
        for (const QString &file : files) {
            QStringList arguments = file.split(' ');
            for (QString &word : arguments) {
                if (word == "S" || word == "C")
                    word = m_dir.filePath(word == "S" ? "s.srt" : "c.txt");
            }
            arguments.last() = m_dir.filePath(arguments.last());
            const QString made = run(QStringList{"-v", "error", "-y"} + arguments);
            QVERIFY2(made.isEmpty(), qPrintable(made));
        }
        InFlightOutputs::removeStale();
    }

    void containerChanges_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("copied");
        // source, preset label, its extension, the extension written, streams copied.
        const QStringList rows = {
            "mkv|Every stream copied|mp4|mp4|2",   "mkv|Every stream copied|mov|mov|3",
            "mkv|Every stream copied|webm|webm|0", "mp4|Every stream copied|mov|mov|4",
            "avi|Every stream copied|mkv|mkv|3",   "mp4|Picture copied, sound to Opus|mkv|mkv|1",
            "mkv|Sound only, copied|auto|mka|2"};
        for (const QString &row : rows) {
            const QStringList c = row.split('|');
            QTest::newRow(qPrintable(c[0] + " to " + c[3] + ", " + c[1]))
                << c[0] << c[1] << c[2] << c[3] << c[4].toInt();
        }
    }

    void containerChanges()
    {
        QFETCH(QString, source);
        QFETCH(QString, label);
        QFETCH(QString, extension);
        QFETCH(QString, written);
        QFETCH(int, copied);
        const QString input = m_dir.filePath("source." + source);
        const BatchChoices choices = preset("Copy without re-encoding", label, extension);
        QVERIFY(!choices.parameters.isEmpty());
        const StreamPlan plan = StreamPlan::make(MediaProbe::inspect(input).streams,
                                                 choices.parameters, choices.extension, false);
        const Converted result = convert(input, choices);
        QVERIFY2(result.state == RowStatus::State::Complete, qPrintable(result.log));
        QCOMPARE(QFileInfo(result.output).suffix(), written);

        const QStringList before = contents(input);
        const QStringList after = contents(result.output);
        int output = 0;
        int copies = 0;
        int seen[3] = {0, 0, 0}; // the steps of each kind so far
        for (const StreamPlan::Step &step : plan.steps()) {
            // The source's streams of each kind in the order the library listed them.
            const int nth = seen[int(step.stream.kind)]++;
            const QString from = QString("vas").at(int(step.stream.kind)) + QString(":%1").arg(nth);
            if (step.action == StreamPlan::Action::Leave) {
                QVERIFY2(result.log.contains("leave out"), qPrintable(result.log));
                continue;
            }
            // Its language goes along where the container writes one: the output's stream
            // against the source's of its kind.
            QStringList ofKind = before.filter(QRegularExpression(
                "^[^,]*," + QStringList{"video", "audio", "subtitle"}.at(int(step.stream.kind))));
            const QString language = ofKind.value(nth).section(',', 2, 2);
            const QString kept = after.value(output).section(',', 2, 2);
            QVERIFY2(kept == language || kept.isEmpty() || kept == "und",
                     qPrintable(kept + " for " + language));
            const QString to = QString::number(output++);
            if (step.action == StreamPlan::Action::Copy) {
                ++copies;
                QCOMPARE(packets(result.output, to), packets(input, from));
            } else {
                QVERIFY2(result.log.contains("convert to"), qPrintable(result.log));
            }
        }
        QCOMPARE(copies, copied);
        QCOMPARE(after.size() - 1, output); // every stream the plan keeps, and no other
        // The chapters come along wherever the container holds them.
        if (written != "mka")
            QCOMPARE(after.last(), before.last());
        // Skipping what exists finds the result under the extension this file's streams gave.
        BatchChoices again = choices;
        again.skipExisting = true;
        if (extension == "auto")
            QCOMPARE(convert(input, again).output, result.output);
    }

    // Settings a stream must already have before it is copied instead of encoded.
    void fits_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("fits");
        QTest::newRow("same size by name") << "-c:v libx264 -s hd720" << true;
        QTest::newRow("other size") << "-c:v libx264 -s vga" << false;
        QTest::newRow("height kept, width from shape") << "-c:v libx264 -vf scale=-2:720" << true;
        QTest::newRow("other filter") << "-c:v libx264 -vf fps=10" << false;
        QTest::newRow("same rate") << "-c:v libx264 -r 25" << true;
        QTest::newRow("other rate") << "-c:v libx264 -r 30" << false;
        QTest::newRow("higher profile allowed") << "-c:v libx264 -profile:v high" << true;
        QTest::newRow("lower profile") << "-c:v libx264 -profile:v baseline" << false;
        QTest::newRow("bitrate above the stream's") << "-c:v libx264 -b:v 3M" << true;
        QTest::newRow("bitrate below the stream's") << "-c:v libx264 -b:v 1M" << false;
        QTest::newRow("same aspect") << "-c:v libx264 -aspect 16:9" << true;
        QTest::newRow("other aspect") << "-c:v libx264 -aspect 4:3" << false;
        QTest::newRow("other codec") << "-c:v libx265" << false;
        QTest::newRow("codec left to the container") << "-crf 20" << false;
        QTest::newRow("picture format") << "-c:v libx264 -pix_fmt yuv422p" << false;
    }

    void fits()
    {
        QFETCH(QString, options);
        QFETCH(bool, fits);
        // 720p H.264 at 25 frames a second, 16:9, 4:2:0 in 8 bits, 2 Mb/s.
        const MediaStream stream{MediaStream::Kind::Video,
                                 0,
                                 "h264",
                                 "",
                                 "Main",
                                 "",
                                 1280,
                                 720,
                                 25,
                                 16.0 / 9,
                                 "4:2:0",
                                 8,
                                 0,
                                 0,
                                 2000000};
        const QString why = StreamFit::mismatch(stream, FormatOptions::parse(options));
        QVERIFY2(why.isEmpty() == fits, qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestStreamCopy)
#include "TestStreamCopy.moc"
