#include "FileAdder.h"
#include "FileListModel.h"
#include "ListOperations.h"
#include "MediaProbe.h"
#include "MessageRecorder.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "SelectionList.h"
#include "TestMedia.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

namespace {
const QString kRefused = "Some files are not supported or already exist and will not be added";
const QString kAddingError = "An error occured while Adding File\r";
const QString nul(QChar(0));
const QColor kRed(220, 10, 10);

// One list with everything that works on it, over recorded dialogs, shell and messages.
struct Fixture
{
    QTemporaryDir dir;
    FileListModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    MessageRecorder messages;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    FileAdder adder{model, dialogs};
    ListOperations operations{model, shell};

    QStringList paths() const
    {
        QStringList all;
        for (const FileListRecord &record : model.records())
            all << record.FilePath;
        return all;
    }
    QString copyClip(const QString &name, const QString &container = "avi")
    {
        const QString target = dir.filePath(name);
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(TestMedia::instance().clip(container), target))
            qFatal("could not copy a clip to %s", qPrintable(target));
        return target;
    }
    QVariant color(int row, int column) const
    {
        return model.index(row, column).data(Qt::ForegroundRole);
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

    void addsSelectionListsAndDialogAnswers()
    {
        QSignalSpy cleared(&f->adder, &FileAdder::selectAllCleared);
        const QString folder = m_media.folder();
        const QString doubled = QString(folder).replace(folder.lastIndexOf('/'), 1, "//");
        f->adder.AddFileList(m_media.clip("avi"));
        // Doubled slashes inside are repaired, one pair without overlap at a time; a path
        // opening with "//" keeps it.
        f->adder.AddFileList(doubled + nul + "clip.mkv" + nul + "//clip.mp4");
        f->adder.AddFileList("/" + doubled + "/clip.mov");
        f->dialogs.chosenFiles = {m_media.clip("flv"), m_media.clip("wmv")};
        f->adder.AddFileList();
        QCOMPARE(f->dialogs.askedTitle, "Select one or more video files");
        f->dialogs.chosenFiles.clear(); // cancelled
        f->adder.AddFileList();

        QCOMPARE(f->paths(), QStringList({m_media.clip("avi"), folder + "/clip.mkv",
                                          folder + "//clip.mp4", "/" + m_media.clip("mov"),
                                          m_media.clip("flv"), m_media.clip("wmv")}));
        QCOMPARE(cleared.count(), 6);
        QCOMPARE(f->messages.count(), 0);
    }

    void refusesDuplicatesAndRejectedExtensions()
    {
        const QStringList names = {
            "A.AVI",       "a.avi",      "a.avi",  "song.MP3",  "notes.txt", "archive.zip",
            "noextension", "m.d/README", "clip.",  "clip.d",    "clip.mp",   "track.CDA",
            "clip.xyz",    "clip.mp4",   "t.xcda", "a.mp3.avi", ".c.mkv"};
        for (const QString &name : QSet<QString>(names.begin(), names.end()))
            f->copyClip(name);
        f->adder.AddFileList(SelectionList::fromFolder(f->dir.path(), names));
        QCOMPARE(f->adder.AddFile2Grid(f->dir.path() + "//a.avi"), 0);

        QStringList accepted = {"A.AVI",  "a.avi",     "clip.xyz", "clip.mp4",
                                "t.xcda", "a.mp3.avi", ".c.mkv"};
        for (QString &name : accepted)
            name = f->dir.filePath(name);
        QCOMPARE(f->paths(), accepted);
        QCOMPARE(f->model.record(2).Status, "Waiting Conversion");
        QCOMPARE(f->model.record(4).FileSize, "CD Track");
        QCOMPARE(f->messages.count(), 1);
        QCOMPARE(f->messages.messages().at(0).text, kRefused);
        QCOMPARE(f->messages.messages().at(0).icon, MessageIcon::Exclamation);
    }

    void probesFormatDurationAndSize()
    {
        const QString longClip = f->dir.filePath("long é clip.mkv");
        QVERIFY(TestMedia::makeClip(longClip, 3725, false, "16x16", 1));
        QFile sparse(f->dir.filePath("sparse.mkv"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(11) << 29));
        sparse.close();
        for (const QString &path :
             {longClip, m_media.randomBytes(), m_media.emptyFile(), sparse.fileName()})
            QCOMPARE(f->adder.AddFile2Grid(path), 1);
        QCOMPARE(f->messages.count(), 0);

        const FileListRecord &clip = f->model.record(0);
        QCOMPARE(clip.Status, "Waiting Conversion");
        QCOMPARE(clip.Duration, "01:02:05");
        QCOMPARE(clip.FileSize, MediaProbe::FormatFileSize(QFileInfo(longClip).size()));
        QVERIFY(!f->color(0, FileListModel::Status).isValid());
        QCOMPARE(f->model.record(1).FileSize, "64 KB");
        QCOMPARE(f->model.record(2).FileSize, "0 Bytes");
        QCOMPARE(f->model.record(3).FileSize, "5.5 GB");
        for (int row : {1, 2, 3}) {
            QCOMPARE(f->model.record(row).Status, "Unkown Format");
            QCOMPARE(f->model.record(row).Duration, "Error");
            QCOMPARE(f->color(row, FileListModel::Status), kRed);
            QCOMPARE(f->color(row, FileListModel::Duration), kRed);
            QVERIFY(!f->color(row, FileListModel::FileSize).isValid());
        }
        QCOMPARE(MediaProbe::GetMediaDuration(f->dir.filePath("missing.avi")), QString());
    }

    void addsFolderFilesAndRefusesTheRest()
    {
        f->adder.AddFolder(); // cancelled
        QVERIFY(QDir(f->dir.path()).mkpath("empty/sub"));
        f->dialogs.chosenFolder = f->dir.filePath("empty");
        f->adder.AddFolder();
        QCOMPARE(f->messages.texts(), QStringList{"Selected Folder is empty."});

        QStringList clips = {f->copyClip("f/clip.avi"), f->copyClip("f/.hidden.mkv", "mkv"),
                             f->copyClip("f/star*name.mp4", "mp4")};
        f->copyClip("f/song.mp3");
        f->copyClip("f/sub/inner.avi");
        // Opening a FIFO to probe it would wait forever.
        QCOMPARE(mkfifo(QFile::encodeName(f->dir.filePath("f/pipe.avi")).constData(), 0600), 0);
        f->dialogs.chosenFolder = f->dir.filePath("f");
        f->adder.AddFolder();
        QStringList added = f->paths();
        added.sort();
        clips.sort();
        QCOMPARE(added, clips);
        f->adder.AddFolder();
        QCOMPARE(f->model.rowCount(), 3);
        QCOMPARE(f->messages.texts().mid(1), QStringList({kRefused, kRefused}));
    }

    void addingErrorsLeaveTheListAsItWas()
    {
        const int room = FileListRecord::FilePathWidth - f->dir.path().size() - 1;
        const QString widest = f->copyClip(QString(room - 4, 'w') + ".avi");
        QCOMPARE(f->adder.AddFile2Grid(widest), 1);
        QCOMPARE(f->adder.AddFile2Grid(f->copyClip(QString(room - 3, 'w') + ".avi")), 0);
        f->adder.AddFileList(f->dir.path() + nul + "gone.avi"); // listed, then vanished
        QVector<FileListRecord> full(FileListModel::MaxRows - 1);
        QVERIFY(f->model.rebuild(full + f->model.records(), nullptr));
        QCOMPARE(f->adder.AddFile2Grid(m_media.clip("mkv")), 0);

        QCOMPARE(f->model.rowCount(), FileListModel::MaxRows);
        QCOMPARE(f->model.records().last().FilePath, widest);
        const QList<MessageRecorder::Message> &shown = f->messages.messages();
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown.at(2).text, kRefused);
        for (int i : {0, 1, 3}) {
            QVERIFY2(shown.at(i).text.startsWith(kAddingError), qPrintable(shown.at(i).text));
            QCOMPARE(shown.at(i).icon, MessageIcon::Critical);
        }
        QVERIFY(shown.at(0).text.contains("FilePath"));
        QVERIFY(shown.at(1).text.endsWith(QString::number(ENOENT) + ":No such file or directory"));
        QVERIFY(shown.at(3).text.contains("Overflow"));
    }

    void addsDoNotOverlapAndStop()
    {
        int nestedResult = -1;
        // Fires inside the encoder probe's local event loop, as a second drop or click would.
        QTimer::singleShot(0, &f->adder, [&] {
            nestedResult = f->adder.AddFile2Grid(m_media.clip("mkv"));
            f->adder.AddFileList(m_media.clip("mp4"));
        });
        f->adder.AddFileList(m_media.clip("avi"));
        QCOMPARE(nestedResult, 0);
        QCOMPARE(f->paths(), QStringList{m_media.clip("avi")});

        // A stop ends the add; the file being probed when it came is neither added nor warned of.
        QTimer::singleShot(0, &f->adder, &FileAdder::stopAdding);
        f->adder.AddFileList(m_media.clip("mkv"));
        QCOMPARE(f->model.rowCount(), 1);
        QCOMPARE(f->messages.count(), 0);
    }

    void removeSelectAllAndPlay()
    {
        QSignalSpy cleared(&f->operations, &ListOperations::selectAllCleared);
        f->operations.Remove();
        f->operations.Play({}, 0);
        QCOMPARE(cleared.count(), 0);
        for (const QString name : {"a", "b", "c", "d", "e"}) {
            const QString path = "/v/" + name + ".avi";
            QVERIFY(f->model.append({0, 0, path, name, path + " d", path + " s"}, nullptr));
        }
        f->operations.Play({}, 1);
        f->operations.Play({3, 2}, 4);
        f->operations.Play({2}, 0);
        f->operations.Play({7}, 9); // rows that are no longer there
        QCOMPARE(f->shell.opened, QStringList({"/v/b.avi", "/v/c.avi", "/v/a.avi"}));

        f->model.setCheckBox(1, 1);
        f->model.setCheckBox(3, -1);
        f->model.setTextColor(2, FileListModel::Status, kRed);
        f->operations.Remove();
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(f->paths(), QStringList({"/v/a.avi", "/v/c.avi", "/v/e.avi"}));
        for (const FileListRecord &row : f->model.records())
            QCOMPARE(row.Status + row.Duration + row.FileSize,
                     row.FilePath.mid(3, 1) + row.FilePath + " d" + row.FilePath + " s");
        // Colours belong to the old rows, not to whichever row now sits at that index.
        QVERIFY(!f->color(2, FileListModel::Status).isValid());

        f->operations.SelectAll(true);
        f->operations.SelectAll(false);
        f->operations.Remove();
        QCOMPARE(f->model.rowCount(), 3);
        f->operations.SelectAll(true);
        f->operations.Remove();
        QCOMPARE(f->model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestFileList)
#include "TestFileList.moc"
