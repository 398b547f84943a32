#include "DialogService.h"
#include "FileAdder.h"
#include "FileListModel.h"
#include "MediaProbe.h"
#include "MessageRecorder.h"
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

class ScriptedDialogs : public DialogService
{
public:
    QStringList openFiles(const QString &title, const QVector<FileFilter> &filters,
                          bool multi) override
    {
        askedTitle = title;
        askedFilters = filters;
        askedMultiSelect = multi;
        return chosenFiles;
    }
    QString chooseFolder(const QString &title, bool newStyle) override
    {
        askedTitle = title;
        askedNewStyle = newStyle;
        return chosenFolder;
    }
    QStringList chosenFiles;
    QString chosenFolder, askedTitle;
    QVector<FileFilter> askedFilters;
    bool askedMultiSelect = false, askedNewStyle = true;
};

QStringList paths(const FileListModel &model)
{
    QStringList all;
    for (const FileListRecord &record : model.records())
        all << record.FilePath;
    return all;
}
} // namespace

// Adding real files, probed by the real encoder and media library.
class TestFileAdder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addsSelectionListsAndDialogAnswers();
    void refusesDuplicatesAndRejectedExtensions();
    void probesFormatDurationAndSize();
    void addsFolderFilesAndRefusesTheRest();
    void addingErrorsLeaveTheListAsItWas();
    void dropsAreSilentAndAddsDoNotOverlap();

private:
    QString copyClip(const QString &name, const QString &container = "avi");

    const TestMedia &m_media = TestMedia::instance();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FileListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<MessageRecorder> m_messages;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<FileAdder> m_adder;
};

void TestFileAdder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_model = std::make_unique<FileListModel>();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_messages = std::make_unique<MessageRecorder>();
    m_dialogs = ScriptedDialogs();
    m_adder = std::make_unique<FileAdder>(*m_model, m_dialogs);
}

void TestFileAdder::cleanup()
{
    m_adder.reset();
    m_messages.reset();
    m_tester.reset();
    m_model.reset();
    m_dir.reset();
}

QString TestFileAdder::copyClip(const QString &name, const QString &container)
{
    const QString target = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(target).path());
    if (!QFile::copy(m_media.clip(container), target))
        qFatal("could not copy a clip to %s", qPrintable(target));
    return target;
}

void TestFileAdder::addsSelectionListsAndDialogAnswers()
{
    QSignalSpy cleared(m_adder.get(), &FileAdder::selectAllCleared);
    const QString clip = m_media.clip("avi");
    m_adder->AddFileList(clip);
    const FileListRecord &row = m_model->record(0);
    QCOMPARE(row.ID, 0);
    QCOMPARE(row.CheckBox, 0);
    QCOMPARE(row.Status, "Waiting Conversion");
    QCOMPARE(row.Duration, "00:00:01");
    QCOMPARE(row.FileSize, MediaProbe::FormatFileSize(QFileInfo(clip).size()));

    // A folder with a doubled slash inside, then names; a path opening with "//" keeps it.
    const QString folder = m_media.folder();
    m_adder->AddFileList(QString(folder).replace(folder.lastIndexOf('/'), 1, "//") + nul +
                         "clip.mkv" + nul + "clip.mp4");
    m_adder->AddFileList("/" + m_media.clip("mov"));
    m_dialogs.chosenFiles = {m_media.clip("flv"), m_media.clip("wmv")};
    m_adder->AddFileList();
    QCOMPARE(paths(*m_model),
             QStringList({clip, folder + "/clip.mkv", folder + "/clip.mp4",
                          "/" + m_media.clip("mov"), m_media.clip("flv"), m_media.clip("wmv")}));
    QCOMPARE(cleared.count(), 6);
    QCOMPARE(m_messages->count(), 0);

    QCOMPARE(m_dialogs.askedTitle, "Select one or more video files");
    QVERIFY(m_dialogs.askedMultiSelect);
    QStringList names;
    for (const FileFilter &filter : m_dialogs.askedFilters)
        names << filter.name + ": " + filter.patterns.join('|');
    QCOMPARE(names.size(), 6);
    QVERIFY(names.at(0).startsWith("Common Video Files: *.wmv|*.asf|"));
    QVERIFY(names.at(0).contains("|*.mp4,*.mov|") &&
            names.at(0).endsWith("|m1v|*.m2v|*.mpv2|"
                                 "*.mp2v|*.ts|*.tp|*.tpr|*.pva|*.pss|*.divx"));
    QVERIFY(names.at(1).startsWith("MPEG Files(.mpg,*.mpeg,*.mp2,*.mp4,*.mpe,*.m4v): .mpg|*.mp2|"));
    QCOMPARE(
        names.mid(2),
        QStringList({"Windows Media Files(*.wmv,*.asf): *.wmv|*.asf", "AVI Files(*.avi): *.avi",
                     "QuickTime Files-Ver2 or less(*.mov): *.mov", "All Files(*.*): *.*"}));

    m_dialogs.chosenFiles.clear(); // cancelled
    m_adder->AddFileList();
    QCOMPARE(m_model->rowCount(), 6);
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(!m_adder->isAdding());
}

void TestFileAdder::refusesDuplicatesAndRejectedExtensions()
{
    const QStringList names = {"A.AVI",     "a.avi",       "a.avi",       "song.MP3",
                               "notes.txt", "archive.zip", "noextension", "clip.mp",
                               "track.cda", "clip.xyz",    "clip.mp4",    "t.xcda"};
    for (const QString &name : QSet<QString>(names.begin(), names.end()))
        copyClip(name);
    m_adder->AddFileList(SelectionList::fromFolder(m_dir->path(), names));
    QCOMPARE(m_adder->AddFile2Grid(m_dir->path() + "//a.avi"), 0);

    QCOMPARE(paths(*m_model), QStringList({m_dir->filePath("A.AVI"), m_dir->filePath("a.avi"),
                                           m_dir->filePath("clip.xyz"), m_dir->filePath("clip.mp4"),
                                           m_dir->filePath("t.xcda")}));
    QCOMPARE(m_model->record(2).Status, "Waiting Conversion");
    QCOMPARE(m_model->record(4).FileSize, "CD Track");
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->messages().at(0).text, kRefused);
    QCOMPARE(m_messages->messages().at(0).icon, MessageIcon::Exclamation);
}

void TestFileAdder::probesFormatDurationAndSize()
{
    const QString longClip = m_dir->filePath("long é clip.mkv");
    QVERIFY(TestMedia::makeClip(longClip, 3725, false, "16x16", 1));
    QFile sparse(m_dir->filePath("sparse.mkv"));
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(11) << 29));
    sparse.close();
    for (const QString &path :
         {longClip, m_media.randomBytes(), m_media.emptyFile(), sparse.fileName()})
        QCOMPARE(m_adder->AddFile2Grid(path), 1);
    QCOMPARE(m_messages->count(), 0);

    QCOMPARE(m_model->record(0).Status, "Waiting Conversion");
    QCOMPARE(m_model->record(0).Duration, "01:02:05");
    QVERIFY(!m_model->index(0, FileListModel::Status).data(Qt::ForegroundRole).isValid());
    QCOMPARE(m_model->record(1).FileSize, "64 KB");
    QCOMPARE(m_model->record(2).FileSize, "0 Bytes");
    QCOMPARE(m_model->record(3).FileSize, "5.5 GB");
    for (int row : {1, 2, 3}) {
        QCOMPARE(m_model->record(row).Status, "Unkown Format");
        QCOMPARE(m_model->record(row).Duration, "Error");
        QCOMPARE(m_model->index(row, FileListModel::Status).data(Qt::ForegroundRole), kRed);
        QCOMPARE(m_model->index(row, FileListModel::Duration).data(Qt::ForegroundRole), kRed);
        QVERIFY(!m_model->index(row, FileListModel::FileSize).data(Qt::ForegroundRole).isValid());
    }
    QCOMPARE(MediaProbe::GetMediaDuration(m_dir->filePath("missing.avi")), QString());
}

void TestFileAdder::addsFolderFilesAndRefusesTheRest()
{
    m_adder->AddFolder(); // cancelled
    QVERIFY(QDir(m_dir->path()).mkpath("empty/sub"));
    m_dialogs.chosenFolder = m_dir->filePath("empty");
    m_adder->AddFolder();
    QCOMPARE(m_dialogs.askedTitle, "Select folder to add");
    QVERIFY(!m_dialogs.askedNewStyle);
    QCOMPARE(m_messages->texts(), QStringList{"Selected Folder is empty."});
    QCOMPARE(m_messages->messages().at(0).icon, MessageIcon::Exclamation);

    QStringList clips = {copyClip("f/clip.avi"), copyClip("f/.hidden.mkv", "mkv"),
                         copyClip("f/star*name.mp4", "mp4")};
    copyClip("f/song.mp3");
    copyClip("f/sub/inner.avi");
    QCOMPARE(mkfifo(QFile::encodeName(m_dir->filePath("f/pipe.avi")).constData(), 0600), 0);
    m_dialogs.chosenFolder = m_dir->filePath("f");
    m_adder->AddFolder();
    QStringList added = paths(*m_model);
    added.sort();
    clips.sort();
    QCOMPARE(added, clips);
    m_adder->AddFolder();
    QCOMPARE(m_model->rowCount(), 3);
    QCOMPARE(m_messages->texts().mid(1), QStringList({kRefused, kRefused}));
}

void TestFileAdder::addingErrorsLeaveTheListAsItWas()
{
    QCOMPARE(m_adder->AddFile2Grid(m_media.clip("avi")), 1);
    const QString tooLong = copyClip(QStringList(5, QString(60, 'd')).join('/') + "/clip.avi");
    QCOMPARE(m_adder->AddFile2Grid(tooLong), 0);
    m_adder->AddFileList(m_dir->path() + nul + "gone.avi"); // listed, then vanished
    QVERIFY(QFile::link(m_dir->filePath("nowhere.avi"), m_dir->filePath("dangling.avi")));
    QCOMPARE(m_adder->AddFile2Grid(m_dir->filePath("dangling.avi")), 0);
    QVector<FileListRecord> full(FileListModel::MaxRows - 1);
    for (int row = 0; row < full.size(); ++row)
        full[row].FilePath = QString::number(row);
    QVERIFY(m_model->rebuild(full + m_model->records(), nullptr));
    QCOMPARE(m_adder->AddFile2Grid(m_media.clip("mkv")), 0);

    QCOMPARE(m_model->rowCount(), FileListModel::MaxRows);
    QCOMPARE(m_model->records().last().FilePath, m_media.clip("avi"));
    const QList<MessageRecorder::Message> &shown = m_messages->messages();
    QCOMPARE(shown.size(), 5);
    QCOMPARE(shown.at(2).text, kRefused);
    for (int i : {0, 1, 3, 4}) {
        QVERIFY2(shown.at(i).text.startsWith(kAddingError), qPrintable(shown.at(i).text));
        QCOMPARE(shown.at(i).icon, MessageIcon::Critical);
    }
    QVERIFY(shown.at(0).text.contains("FilePath"));
    QVERIFY(shown.at(1).text.endsWith(QString::number(ENOENT) + ":No such file or directory"));
    QVERIFY(shown.at(4).text.contains("Overflow"));
}

void TestFileAdder::dropsAreSilentAndAddsDoNotOverlap()
{
    QSignalSpy busy(m_adder.get(), &FileAdder::addingChanged);
    int nestedResult = -1;
    // Fires inside the encoder probe's local event loop, as a second drop or click would.
    QTimer::singleShot(0, m_adder.get(), [&] {
        nestedResult = m_adder->AddFile2Grid(m_media.clip("mkv"));
        m_adder->AddFileList(m_media.clip("mp4"));
    });
    m_adder->addDroppedFiles({m_media.clip("avi"), copyClip("song.mp3"), m_media.clip("avi")});
    QCOMPARE(nestedResult, 0);
    QCOMPARE(paths(*m_model), QStringList{m_media.clip("avi")});
    QCOMPARE(busy.count(), 2);
    QCOMPARE(m_messages->count(), 0);

    // A stop ends the add; the file being probed when it came is not added.
    for (const QString &name : {"a.avi", "b.avi", "c.mp3"})
        copyClip("s/" + name);
    m_dialogs.chosenFolder = m_dir->filePath("s");
    connect(m_adder.get(), &FileAdder::selectAllCleared, m_adder.get(), &FileAdder::stopAdding);
    m_adder->AddFolder();
    QCOMPARE(m_model->rowCount(), 2);
    QTimer::singleShot(0, m_adder.get(), &FileAdder::stopAdding);
    m_adder->AddFolder();
    QCOMPARE(m_model->rowCount(), 2);
    QCOMPARE(m_messages->count(), 0);
}

QTEST_GUILESS_MAIN(TestFileAdder)
#include "TestFileAdder.moc"
