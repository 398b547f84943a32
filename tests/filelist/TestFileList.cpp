#include "filelist/AddingRules.h"
#include "filelist/FileAdder.h"
#include "filelist/FileListModel.h"
#include "filelist/ListOperations.h"
#include "filelist/MediaProbe.h"
#include "filelist/SelectionList.h"
#include "tests/standins/MessageRecorder.h"
#include "tests/standins/RecordingShell.h"
#include "tests/standins/ScriptedDialogs.h"
#include "tests/testsupport/EncoderSearchPath.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kRefused = "Some files are not supported or already exist and will not be added";
const QString nul(QChar(0));

// One list with everything that works on it, over recorded dialogs, shell and messages.
struct Fixture
{
    QTemporaryDir dir;
    FileListModel model{nullptr, 8192}; // a cap on kept logs that a few logs fill
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    MessageRecorder messages;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    FileAdder adder{model, dialogs};
    ListOperations operations{model, shell};

    QStringList column(int column) const
    {
        QStringList all;
        for (int row = 0; row < model.rowCount(); ++row)
            all << model.index(row, column).data().toString();
        return all;
    }
    QStringList paths() const { return column(FileListModel::FilePath); }
    QStringList statuses() const { return column(FileListModel::Status); }
    QString copyClip(const QString &name, const QString &container = "avi")
    {
        const QString target = dir.filePath(name);
        if (!QDir().mkpath(QFileInfo(target).path()) ||
            !QFile::copy(TestMedia::instance().clip(container), target))
            qFatal("could not copy a clip to %s", qPrintable(target));
        return target;
    }
    // Waits until the add running in the background has settled every file.
    bool settled()
    {
        return QTest::qWaitFor([this] { return !adder.isAdding(); }, 120000);
    }
};
} // namespace

// Adding real files, probed by the real encoder and media library, and working on the rows.
class TestFileList : public QObject
{
    Q_OBJECT
    const TestMedia &m_media = TestMedia::instance();
    std::unique_ptr<Fixture> f;

private slots:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup() { f.reset(); }

    // Rows come in the order of the selection, although unreadable files make their batch of
    // probes slower than the next one; each is probed for format, duration and size.
    void addsASelectionInOrderRefusingTheRest()
    {
        QSignalSpy cleared(&f->adder, &FileAdder::selectAllCleared);
        const QStringList names = {"A.AVI",      "noise.avi",       "a.avi",      "a.avi",
                                   "song.MP3",   "notes.txt",       "empty.mp4",  "noextension",
                                   "m.d/README", "clip.",           "clip.mp",    "track.CDA",
                                   "clip.xyz",   "long é clip.mkv", "sparse.mkv", "new\nline.mp4",
                                   "clip.mp4",   "t.xcda",          "a.mp3.avi",  ".c.mkv"};
        for (const QString &name : QSet<QString>(names.begin(), names.end()))
            if (!name.contains(QRegularExpression("^(noise|empty|long|sparse)")))
                f->copyClip(name);
        QVERIFY(QFile::copy(m_media.randomBytes(), f->dir.filePath("noise.avi")));
        QVERIFY(writeFile(f->dir.filePath("empty.mp4"), {}));
        QVERIFY(TestMedia::makeClip(f->dir.filePath("long é clip.mkv"), 3725, false, "16x16", 1));
        QFile sparse(f->dir.filePath("sparse.mkv"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(11) << 29));
        // One add at a time: a selection meanwhile waits its turn, a file to add at once is
        // refused silently.
        int refused = -1;
        connect(&f->adder, &FileAdder::addingProgress, &f->adder, [&](int done) {
            if (done > 0 && refused < 0) {
                refused = f->adder.AddFile2Grid(m_media.clip("mp4"));
                f->adder.AddFileList(m_media.clip("avi"));
            }
        });
        f->adder.AddFileList(SelectionList::fromFolder(f->dir.path(), names));
        QVERIFY(f->adder.isAdding() && f->settled()); // the probes run in the background
        QCOMPARE(refused, 0);
        QCOMPARE(f->adder.AddFile2Grid(f->dir.path() + "//a.avi"), 0);
        // One whole path; doubled slashes inside are repaired, one pair without overlap at a
        // time; a path opening with "//" keeps it.
        const QString folder = m_media.folder();
        const QString doubled = QString(folder).replace(folder.lastIndexOf('/'), 1, "//");
        for (const QString &selection :
             {doubled + nul + "clip.mkv" + nul + "//clip.mp4", "/" + doubled + "/clip.mov"}) {
            f->adder.AddFileList(selection);
            QVERIFY(f->settled());
        }

        QStringList accepted = {"A.AVI",    "noise.avi",       "a.avi",      "empty.mp4",
                                "clip.xyz", "long é clip.mkv", "sparse.mkv", "new\nline.mp4",
                                "clip.mp4", "t.xcda",          "a.mp3.avi",  ".c.mkv"};
        accepted.replaceInStrings(QRegularExpression("^"), f->dir.path() + "/");
        accepted << m_media.clip("avi") << folder + "/clip.mkv" << folder + "//clip.mp4"
                 << "/" + m_media.clip("mov");
        QCOMPARE(f->paths(), accepted);
        QStringList statuses(f->model.rowCount(), "Waiting Conversion");
        statuses[1] = statuses[3] = statuses[6] = "Unkown Format";
        QCOMPARE(f->statuses(), statuses);
        QStringList texts;
        for (const int row : {1, 3, 5, 6, 9})
            texts << f->model.record(row).Duration + " " + f->model.record(row).FileSize;
        const QString longSize = MediaProbe::FormatFileSize(QFileInfo(accepted.at(5)).size());
        QCOMPARE(texts, (QStringList{"Error 64 KB", "Error 0 Bytes", "01:02:05 " + longSize,
                                     "Error 5.5 GB", "00:00:01 CD Track"}));
        QCOMPARE(f->model.tone(0), RowTone::None);
        QCOMPARE(f->model.tone(6), RowTone::UnknownWhenAdded);
        QCOMPARE(f->messages.texts(), QStringList{kRefused});
        QCOMPARE(cleared.count(), f->model.rowCount()); // each row added clears Select All
    }

    void addsFolderFilesInNaturalOrderAndRefusesTheRest()
    {
        // Made in shuffled order; listed by name as people count, case ignored.
        const QStringList natural = {".hidden.mkv", "Clip1.avi",   "clip2.avi",    "CLIP3.avi",
                                     "clip10.avi",  "clip20b.avi", "star*name.mp4"};
        for (int i : {4, 0, 6, 2, 5, 1, 3})
            f->copyClip("f/" + natural.at(i));
        f->copyClip("f/song.mp3");
        f->copyClip("f/sub/inner.avi");
        // Opening a FIFO to probe it would wait forever.
        QCOMPARE(mkfifo(QFile::encodeName(f->dir.filePath("f/pipe.avi")).constData(), 0600), 0);
        // A name that is not UTF-8 cannot travel as text: it is named, not passed over.
        const QByteArray latin1 = QFile::encodeName(f->dir.filePath("f/")) + "caf\xe9.avi";
        QCOMPARE(::close(::open(latin1.constData(), O_CREAT | O_WRONLY, 0600)), 0);
        // The temporary folder cannot remove what Qt cannot name.
        const auto removeLatin1 = qScopeGuard([&latin1] { ::unlink(latin1.constData()); });
        const QString damaged = f->dir.filePath("f/caf\uFFFD.avi");

        f->dialogs.chosenFolder = f->dir.filePath("f");
        f->adder.AddFolder();
        QVERIFY(f->settled());
        const QStringList clips =
            QStringList(natural).replaceInStrings(QRegularExpression("^"), f->dir.filePath("f/"));
        QCOMPARE(f->paths(), clips);
        f->adder.AddFolder();
        QVERIFY(f->settled());
        f->adder.AddFileList(damaged); // as a dialog or a drop would hand it over
        QVERIFY(f->settled());
        QCOMPARE(f->model.rowCount(), clips.size());
        const QString unreadable =
            "These files have names that are not valid UTF-8 and will not be added:\n" + damaged;
        QCOMPARE(f->messages.texts(),
                 QStringList({unreadable, kRefused, unreadable, kRefused, unreadable}));
    }

    void addingErrorsLeaveTheListAsItWas()
    {
        // Deep folders are fine; a path wider than any Linux takes is refused before probing.
        const QString folders = QString(100, 'd') + "/" + QString(100, 'e') + "/";
        const int room = 300 - f->dir.path().size() - 1 - folders.size() - 4;
        const QString deep = f->copyClip(folders + QString(room, 'w') + ".avi");
        QCOMPARE(f->adder.AddFile2Grid(deep), 1);
        QCOMPARE(f->adder.AddFile2Grid("/" + QString(FileListRecord::FilePathWidth, 'w')), 0);
        f->adder.AddFileList(f->dir.path() + nul + "gone.avi"); // listed, then vanished
        QVERIFY(f->settled());
        // Room for two more rows: the third file finds the list full, although it was
        // checked while the first two were still being probed.
        QVector<FileListRecord> full(FileListModel::MaxRows - 3);
        QVERIFY(f->model.rebuild(full + f->model.records(), nullptr));
        f->adder.AddFileList(
            SelectionList::fromFolder(m_media.folder(), {"clip.mkv", "clip.mp4", "gone.avi"}));
        QVERIFY(f->settled());
        QCOMPARE(f->adder.AddFile2Grid(m_media.clip("avi")), 0);

        QCOMPARE(f->model.rowCount(), FileListModel::MaxRows);
        QCOMPARE(f->model.records().at(FileListModel::MaxRows - 3).FilePath, deep);
        QCOMPARE(f->model.records().last().FilePath, m_media.clip("mp4"));
        const QStringList shown = f->messages.texts();
        QCOMPARE(shown.size(), 6);
        QVERIFY(shown.at(2) == kRefused && shown.at(4) == kRefused);
        QVERIFY(shown.at(0).startsWith("An error occured while Adding File\r") &&
                shown.at(0).contains("FilePath"));
        QVERIFY(shown.at(1).endsWith(QString::number(ENOENT) + ":No such file or directory"));
        QVERIFY(shown.at(3).contains("Overflow") && shown.at(5).contains("Overflow"));
    }

    void missingEncoderIsSaidOnceAndNothingIsConvertible()
    {
        const EncoderSearchPath noEncoder(f->dir.filePath("empty"), true);
        f->adder.AddFileList(SelectionList::fromFolder(m_media.folder(), {"clip.avi", "clip.mkv"}));
        QVERIFY(f->settled());
        QCOMPARE(f->messages.texts(),
                 QStringList{"The encoder ffmpeg was not found. Install it with: sudo apt install "
                             "ffmpeg"});
        QCOMPARE(f->statuses(), QStringList(2, "Unkown Format"));
        QCOMPARE(f->model.record(1).Duration, "00:00:01");
    }

    // Kept logs are compressed: a few of 30 KB fit a cap of 8 KB; past it the oldest are cut
    // to head and tail, and each follows its row.
    void removeSelectAllPlayAndKeptLogs()
    {
        QSignalSpy cleared(&f->operations, &ListOperations::selectAllCleared);
        QStringList logs;
        for (const char *name : {"a", "b", "c", "d", "e"}) {
            FileListRecord record;
            record.FilePath = QString("/v/%1.avi").arg(name);
            QVERIFY(f->model.append(record, nullptr));
            QString log = QString("ffmpeg version 5.1 for %1\n").arg(name);
            for (int line = 0; line < 300; ++line)
                log += QString("frame=%1 fps=25 q=28.0 size=%2kB time=00:00:%3.00 speed=2.1x\n")
                           .arg(line * 7)
                           .arg(line * 31 % 997)
                           .arg(line % 60);
            logs << log + "video:120kB audio:30kB muxing overhead: 1.2%\n";
            f->model.setLog(f->model.rowCount() - 1, logs.last());
        }
        int cut = 0;
        while (cut < 5 && f->model.log(cut) != logs.at(cut)) {
            const QString kept = f->model.log(cut);
            QVERIFY(kept.size() < 3200 && kept.contains(" of this log were let go to save memory"));
            QVERIFY(kept.startsWith(logs.at(cut).section('\n', 0, 0) + "\n"));
            QVERIFY(kept.endsWith(logs.at(cut).section('\n', -3)));
            ++cut;
        }
        QVERIFY2(cut > 0 && cut < 4, qPrintable(QString::number(cut)));
        for (int row = cut; row < 5; ++row)
            QCOMPARE(f->model.log(row), logs.at(row));
        f->operations.Play({}, 1);
        f->operations.Play({3, 2}, 4);
        f->operations.Play({2}, 0);
        f->operations.Play({7}, 9); // rows that are no longer there
        QCOMPARE(f->shell.opened, QStringList({"/v/b.avi", "/v/c.avi", "/v/a.avi"}));

        f->model.setCheckBox(1, 1);
        f->model.setCheckBox(3, -1);
        f->model.setTone(2, RowTone::Failed);
        const quint64 keyOfE = f->model.record(4).key;
        f->operations.Remove();
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(f->paths(), QStringList({"/v/a.avi", "/v/c.avi", "/v/e.avi"}));
        // A row keeps its identity, and its log, when rows before it go.
        QCOMPARE(f->model.rowOfKey(keyOfE), 2);
        QCOMPARE(f->model.log(2), logs.last());
        // Tones belong to the old rows, not to whichever row now sits at that index.
        QCOMPARE(f->model.tone(2), RowTone::None);

        f->operations.SelectAll(false);
        f->operations.Remove();
        QCOMPARE(f->model.rowCount(), 3);
        f->operations.SelectAll(true);
        f->operations.Remove();
        QCOMPARE(f->model.rowCount(), 0);
    }

    // The help page names only extensions that are refused; the rest go to the encoder.
    void helpNamesOnlyRefusedExtensions()
    {
        QFile page(QCoreApplication::applicationDirPath() + "/Help.html");
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString refused = QString::fromUtf8(page.readAll())
                                    .section("<p id=\"refused\">", 1)
                                    .section("</p>", 0, 0);
        int named = 0;
        for (const auto &match : QRegularExpression("<code>(\\w+)</code>").globalMatch(refused)) {
            ++named;
            QVERIFY2(AddingRules::isRejectedExtension(match.captured(1)),
                     qPrintable(match.captured(1)));
        }
        QVERIFY(named >= 10 && AddingRules::isRejectedExtension(""));
    }

    // The texts of adding that need no file. Folder "/" plus a name must not give "//x.avi",
    // which reads as a network path, and folders sharing a prefix are not one folder.
    void textsWithoutFiles()
    {
        for (const QStringList &chosen :
             {QStringList{"/v/a.avi"}, QStringList{"/x.avi", "/y*z.avi"},
              QStringList{"/v/ab/a.avi", "/v/a/b.avi"}})
            QCOMPARE(SelectionList::toPaths(SelectionList::fromPaths(chosen)), chosen);
        // 1152 bytes are 1.125 KB, whose tie goes to even.
        const QList<QPair<qint64, QString>> sizes = {
            {1023, "1023 Bytes"}, {1024, "1 KB"},
            {1152, "1.12 KB"},    {1073741823, "1024 MB"},
            {1073741824, "1 GB"}, {std::numeric_limits<qint64>::max(), "8589934592 GB"}};
        for (const auto &[bytes, text] : sizes)
            QCOMPARE(MediaProbe::FormatFileSize(bytes), text);
        // Whole seconds are rounded (half to even) before splitting, so no part reads 60; a
        // length no file can have is unknown.
        const QList<QPair<double, QString>> durations = {
            {2500.0, "00:00:02"},   {59500.0, "00:01:00"}, {360300000.0, "100:05:00"},
            {1e12, "277777:46:40"}, {1e12 + 1, "Error"},   {qInf(), "Error"},
            {qQNaN(), "Error"},     {-1000.0, "Error"}};
        for (const auto &[milliseconds, text] : durations)
            QCOMPARE(MediaProbe::durationText(milliseconds), text);
    }

    // A Matroska file whose header claims an absurd length (its Duration patched) opens with
    // an unknown length.
    void craftedLengthIsUnknown()
    {
        QByteArray content = fileBytes(m_media.clip("mkv"));
        const qsizetype duration = content.indexOf("\x44\x89\x88"); // an 8-byte float
        QVERIFY(duration > 0);
        for (const double claimed : {1e300, 2e15}) {
            qToBigEndian(claimed, content.data() + duration + 3);
            const QString crafted = f->dir.filePath("crafted.mkv");
            QVERIFY(writeFile(crafted, content));
            qint64 milliseconds = 0;
            QCOMPARE(MediaProbe::GetMediaDuration(crafted, &milliseconds), "Error");
            const MediaProbe::Facts facts = MediaProbe::inspect(crafted);
            QVERIFY(facts.opened && facts.videoStreams == 1);
            QCOMPARE(QList<qint64>({milliseconds, facts.durationMs}), QList<qint64>({-1, -1}));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileList)
#include "TestFileList.moc"
