#include "batch/BatchProgress.h"
#include "batch/ConversionQueue.h"
#include "batch/OutputCheck.h"
#include "engine/InFlightOutputs.h"
#include "filelist/FileListModel.h"
#include "format/PresetsFile.h"
#include "tests/testsupport/ChildProcesses.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <tuple>

// The batch queue with no widget at all, as a command-line front end drives it: outputs never
// clobber a file, never stay half-written under a final name, and a folder nothing can be
// written to stops the batch once. Real encoder, real files.
class TestConversionQueue : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_long;    // 30 s, converted at real speed so that every moment can be reached
    QString m_mounted; // a small filesystem of the test's own, when it may make one
    FileListModel *m_list = nullptr;
    ConversionQueue *m_queue = nullptr;
    QStringList m_told; // what a front end would tell: "row: reason" or "batch: reason"

    // The long clip first, unless only short ones are asked for.
    void addRows(int count, bool longFirst = true)
    {
        for (int row = 0; row < count; ++row) {
            const bool isLong = row == 0 && longFirst;
            FileListRecord record;
            record.FilePath = isLong ? m_long : TestMedia::instance().clip("mp4");
            record.durationMs = isLong ? 30000 : 1000;
            QVERIFY(m_list->append(record, nullptr));
        }
    }

    QList<RowStatus::State> states() const
    {
        QList<RowStatus::State> all;
        for (const FileListRecord &row : m_list->records())
            all << row.status.state();
        return all;
    }

private slots:
    void initTestCase()
    {
        m_long = m_dir.filePath("long.mkv");
        QVERIFY(TestMedia::makeClip(m_long, 30.0, true, "320x240"));
        InFlightOutputs::removeStale(); // whatever an earlier run left
    }

    void init()
    {
        m_list = new FileListModel(this);
        m_queue = new ConversionQueue(*m_list, this);
        m_told.clear();
        connect(m_queue, &ConversionQueue::batchNotice, this,
                [this](const BatchNotice &notice) { m_told << "batch: " + notice.reason; });
        connect(m_queue, &ConversionQueue::rowEnded, this,
                [this](quint64, const RowEnding &ending) {
                    if (!ending.reason.isEmpty())
                        m_told << "row: " + ending.reason;
                });
    }

    void cleanup()
    {
        delete m_queue;
        delete m_list;
        QTRY_COMPARE(liveChildProcesses(), 0);
        if (!m_mounted.isEmpty())
            QProcess::execute("umount", {std::exchange(m_mounted, QString())});
    }

    // At the row's first percent the test kills the encoder or makes a file under the row's
    // final name (on a short clip, done soon). A read-only or full folder of its own stops
    // the batch of three rows once, naming the folder (the full row tells nothing of its own).
    // Nothing of an ended row is left but the listed files, and while it ran its temporary
    // file was the only one.
    void rowsEndWithoutLeftovers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("mount"); // options of the output folder's own filesystem
        QTest::addColumn<QString>("options");
        QTest::addColumn<QList<RowStatus::State>>("expected");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("reason"); // how the one thing told opens; empty: nothing
        const auto row = [](const char *name, const char *action, const char *mount,
                            const char *options, QList<RowStatus::State> expected,
                            const QStringList &files, const char *reason) {
            QTest::newRow(name) << QString(action) << QString(mount) << QString(options) << expected
                                << files << QString(reason);
        };
        using S = RowStatus::State;
        const char *slow = "-vf realtime -vcodec mpeg4";
        const char *big = "-t 5 -vcodec mpeg4 -b:v 4M";
        row("encoder killed by SIGKILL", "kill", "", slow, {S::Error}, {},
            "row: The encoder was killed by signal 9.");
        row("file made meanwhile", "make", "", slow, {S::Complete},
            {"clip.avi", "clip_Converted.avi"}, "");
        // A cut the user asked for is no short result.
        row("cut asked for", "", "", "-t 2 -vcodec mpeg4", {S::Complete}, {"long.avi"}, "");
        const QList<S> waiting(3, S::WaitingConversion);
        row("read-only", "", "ro,size=1m", big, waiting, {},
            "batch: Cannot write in %1: Read-only file system.");
        row("full", "", "size=200k", big, QList{S::Error} + waiting.mid(1), {},
            "batch: No space left on device in %1.");
    }

    void rowsEndWithoutLeftovers()
    {
        QFETCH(QString, action);
        QFETCH(QString, mount);
        QFETCH(QString, options);
        QFETCH(QList<RowStatus::State>, expected);
        QFETCH(QStringList, files);
        QFETCH(QString, reason);
        const QString out = m_dir.filePath(QTest::currentDataTag());
        if (!mount.isEmpty()) {
            if (::geteuid() != 0)
                QSKIP("needs root to mount a small filesystem of its own");
            QVERIFY(QDir().mkpath(out));
            QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "-o", mount, "tmpfs", out}), 0);
            m_mounted = out;
        }
        addRows(expected.size(), action != "make");
        const QByteArray mine("the user's own file");
        QStringList during; // once the test acted, never empty
        QObject scope;      // the handler goes with this test's locals
        connect(m_queue, &ConversionQueue::rowProgress, &scope, [&](quint64 key) {
            if (!during.isEmpty() || action.isEmpty() || m_list->rowOfKey(key) != 0)
                return;
            const QStringList entries =
                QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            during = entries.size() == 1 ? filesIn(out + "/" + entries.first()) : entries;
            during.prepend(entries.value(0));
            if (action == "kill") // as an out-of-memory killer or a user would
                QProcess::execute("pkill", {"-KILL", "-P", QString::number(::getpid())});
            QFile file(out + "/clip.avi");
            QVERIFY(action != "make" || (file.open(QIODevice::NewOnly) && file.write(mine) > 0));
        });
        QSignalSpy finished(m_queue, &ConversionQueue::batchFinished);
        m_queue->start({options, "avi", false, out, QString()}, false, 1);
        QVERIFY(!finished.isEmpty() || finished.wait(120000));
        QCOMPARE(states(), expected);
        QCOMPARE(filesIn(out), files);
        // While it ran, its file was the only one: in a private folder, under its final name.
        QCOMPARE(during.size(), action.isEmpty() ? 0 : 2);
        QVERIFY2(action.isEmpty() ||
                     (during.first().startsWith(".reelforge-") &&
                      during.last() == (action == "make" ? "clip.avi" : "long.avi")),
                 qPrintable(during.join(' ')));
        QFile file(out + "/clip.avi");
        QVERIFY(action != "make" || (file.open(QIODevice::ReadOnly) && file.readAll() == mine));
        QCOMPARE(m_told.size(), int(!reason.isEmpty()));
        QVERIFY2(reason.isEmpty() || m_told.first().startsWith(reason.replace("%1", out)),
                 qPrintable(m_told.join('\n')));
    }

    // Two at once over rows changed as the first starts: the batch converts exactly the rows
    // that are there, and never picks one output name twice although all inputs are "clip".
    void runsWithoutWidgets()
    {
        addRows(3, false);
        const QString out = m_dir.filePath("two");
        QStringList during; // the temporary files once two rows run
        bool changed = false;
        QObject scope; // the handler goes with this test's locals
        connect(m_list, &QAbstractItemModel::dataChanged, &scope, [&] {
            QVector<FileListRecord> rows = m_list->records();
            const auto running = std::count_if(
                rows.begin(), rows.end(), [](const auto &row) { return row.status.isRunning(); });
            if (running == 1 && !changed) {
                changed = true;
                rows.removeLast();
                QVERIFY(m_list->rebuild(rows, nullptr));
                addRows(1, false);
            }
            // Each encoder makes its file as it opens its output; the queue moves nothing while
            // this handler waits, so both files are seen however loaded the machine is.
            QElapsedTimer waited;
            waited.start();
            while (running == 2 && during.size() < 2 && waited.elapsed() < 3000) {
                during.clear();
                for (const QString &folder :
                     QDir(out).entryList({".reelforge-*"}, QDir::Dirs | QDir::Hidden))
                    during += filesIn(out + "/" + folder);
                if (during.size() < 2)
                    QThread::msleep(5);
            }
        });
        QSignalSpy finished(m_queue, &ConversionQueue::batchFinished);
        m_queue->start({"-vcodec mpeg4 -acodec mp2", "avi", false, out, QString()}, false, 2);
        QVERIFY(m_queue->IsConverting() && finished.wait(120000));
        QVERIFY(finished.first().first().toBool() && m_told.isEmpty());
        QCOMPARE(states(), QList<RowStatus::State>(3, RowStatus::State::Complete));
        QCOMPARE(m_queue->progress().filesDone(), 3);
        QCOMPARE(filesIn(out),
                 (QStringList{"clip.avi", "clip_Converted.avi", "clip_Converted_0.avi"}));
        // Each running row holds a final name of its own, not only once it ends.
        QCOMPARE(during.size(), 2);
        QVERIFY2(during.first() != during.last(), qPrintable(during.join(' ')));
    }

    // Skipping existing results, a batch run again starts no encoder; a result cut short (its
    // header still giving the whole length) is none, so the next run converts beside it and
    // the one after finds that. Results keep the input's tags, chapters and file date.
    void skipsWhatIsConvertedAndKeepsTagsAndDate_data()
    {
        QTest::addColumn<QStringList>("preset"); // category, label and extension
        QTest::newRow("mp4") << QStringList{"MP4 Video", "H.264 / AAC, 360p", "mp4"};
        QTest::newRow("mkv") << QStringList{"Common Video", "H.264 / AAC", "mkv"};
    }
    void skipsWhatIsConvertedAndKeepsTagsAndDate()
    {
        QFETCH(QStringList, preset);
        const QString extension = preset.last();
        const QString phone = m_dir.filePath("phone.mov"), out = m_dir.filePath("kept" + extension);
        QFile meta(m_dir.filePath("meta.txt"));
        QVERIFY(meta.open(QIODevice::WriteOnly) &&
                meta.write(";FFMETADATA1\ntitle=Birthday\ncreation_time=2021-05-01T10:00:00Z\n"
                           "location=+48.8577+002.2950/\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\n"
                           "END=1000\ntitle=Cake\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\n"
                           "END=3000\ntitle=Song\n") > 0);
        meta.close();
        const QString raw = m_dir.filePath("raw.mkv");
        QVERIFY(QFileInfo::exists(phone) ||
                (TestMedia::makeClip(raw, 3) &&
                 QProcess::execute(TestMedia::encoder(),
                                   {"-v", "error", "-i", raw, "-i", meta.fileName(), "-map", "0",
                                    "-map_metadata", "1", "-map_chapters", "1", "-c", "copy",
                                    "-metadata:s:a", "language=fra", phone}) == 0 &&
                 QProcess::execute("touch", {"-d", "2021-05-01 10:00:00.123456789", phone}) == 0));
        BatchChoices choices{PresetsFile::load(PresetsFile::defaultPath())
                                 .table.params(preset.at(0), preset.at(1), extension),
                             extension, false, out, QString()};
        choices.skipExisting = true;
        QStringList started; // the inputs of the rows that started an encoder
        QObject scope;       // the handler goes with this test's locals
        connect(m_queue, &ConversionQueue::rowStarted, &scope,
                [&](quint64 key) { started << m_list->record(m_list->rowOfKey(key)).FilePath; });
        const QString clip = TestMedia::instance().clip("mkv");
        const auto run = [&] {
            started.clear();
            QVector<FileListRecord> rows(2);
            std::tie(rows[0].FilePath, rows[0].durationMs, rows[1].FilePath, rows[1].durationMs) =
                std::tuple(phone, 3000, clip, 1000);
            QSignalSpy finished(m_queue, &ConversionQueue::batchFinished);
            if (m_list->rebuild(rows, nullptr))
                m_queue->start(choices, false, 2);
            return finished.wait(120000) &&
                   states() == QList<RowStatus::State>(2, RowStatus::State::Complete);
        };
        QVERIFY(run());
        QCOMPARE(QSet<QString>(started.begin(), started.end()), (QSet<QString>{phone, clip}));
        const QString result = out + "/phone." + extension;
        QCOMPARE(QFileInfo(result).lastModified(), QFileInfo(phone).lastModified());
        QProcess probe;
        probe.start("ffprobe",
                    {"-v", "error", "-show_entries", "format_tags:stream_tags=language:chapter=id",
                     "-of", "compact", result});
        QVERIFY(probe.waitForFinished());
        const QString tags = QString::fromUtf8(probe.readAllStandardOutput()).toLower();
        for (const char *tag : {"creation_time=2021-05-01t10:00:00", "title=birthday",
                                "location=+48.8577+002.2950/", "language=fra"})
            QVERIFY2(tags.contains(tag), qPrintable(tag + ("\n" + tags)));
        QCOMPARE(tags.count("chapter|"), 2);

        QVERIFY(run());
        QCOMPARE(started, QStringList());
        QVERIFY(m_list->log(0).contains(result + " holds this file's result"));
        QVERIFY(QFile::resize(result, QFileInfo(result).size() / 2));
        QVERIFY(run());
        QCOMPARE(started, QStringList{phone});
        QVERIFY(run());
        QCOMPARE(started, QStringList());
        QCOMPARE(filesIn(out), (QStringList{"clip." + extension, "phone." + extension,
                                            "phone_Converted." + extension}));
    }

    // A result is judged against what the encoder says it wrote, not against the input: short
    // of that length, or without a stream it wrote, it is no result. The passing and unreadable
    // results are test_format_files' and test_edges'.
    void outputCheckJudgesAgainstWhatTheEncoderWrote()
    {
        const QString silent = m_dir.filePath("silent.mkv");
        QVERIFY(TestMedia::makeClip(silent, 1, false));
        QCOMPARE(
            OutputCheck::check(TestMedia::instance().clip("mkv"), {true, true, 30000, "matroska"})
                .problem,
            "The output lasts 1.0 s instead of 30.0 s.");
        QCOMPARE(OutputCheck::check(silent, {true, true, 1000, "matroska"}).problem,
                 "The output has no sound.");
        const QString log = "Output #0, avi, to '/x/Output #0, y':\n  Stream #0:0: Video: mpeg4\n"
                            "  Metadata:\n    title : Stream #0:1: Audio: mp3\n"
                            "frame=  1 time=00:00:01.50 x\rframe=  2 time=00:00:02.00 x\n";
        const OutputCheck::Written written = OutputCheck::fromLog(log);
        QVERIFY(written.picture && !written.sound);
        QCOMPARE(written.lengthMs, 2000);
        QCOMPARE(written.container, "avi");
    }

    // The overall line of a batch, from progress events at known times: seconds per row (0:
    // unknown), then each event as row, media seconds reported (-1: the row ended) and wall
    // ms; the line is read at the time of the last event.
    void estimatesFromDurationsAndSpeed()
    {
        const QList<std::tuple<QList<double>, QList<QList<double>>, QString>> cases = {
            // 30 media seconds in 10 s: 3× real time; 90 s of media left take 30 s.
            {{60, 60}, {{0, 30, 10000}}, "0 of 2 files · 25 % · about 30 s left · 3.0× real time"},
            // Two encoders at once add their speeds; an ended row counts whole, although it
            // reported 500 of its 600 s.
            {{600, 600, 1200},
             {{0, 300, 60000}, {1, 500, 60000}, {1, -1, 60000}},
             "1 of 3 files · 38 % · about 2 min left · 13.3× real time"},
            // Unknown lengths weigh nothing but still show the speed; times beyond a length
            // are cut.
            {{0, 10},
             {{0, 20, 10000}, {1, 15, 10000}},
             "0 of 2 files · 100 % · about 0 s left · 3.0× real time"},
            {{0, 0}, {{0, -1, 500}, {1, -1, 900}}, "2 of 2 files · 100 %"},
            // A microsecond of media in an hour: no estimate rather than billions of hours.
            {{3600}, {{0, 1e-6, 3600000}}, "0 of 1 files · 0 % · 0.0× real time"}};
        for (const auto &[lengths, events, summary] : cases) {
            qint64 clock = 0;
            BatchProgress progress([&clock] { return clock; });
            progress.begin();
            for (int row = 0; row < lengths.size(); ++row)
                progress.addRow(quint64(row + 1), lengths.at(row));
            for (const QList<double> &event : events) {
                clock = qint64(event.at(2));
                const quint64 key = quint64(event.at(0)) + 1;
                if (event.at(1) < 0)
                    progress.rowEnded(key, BatchProgress::Ending::Succeeded);
                else
                    progress.mediaTime(key, event.at(1));
            }
            QCOMPARE(progress.summary(), summary);
        }
    }
};

QTEST_GUILESS_MAIN(TestConversionQueue)
#include "TestConversionQueue.moc"
