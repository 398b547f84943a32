#include "DialogService.h"
#include "FileAdder.h"
#include "FileListModel.h"
#include "FileListStatus.h"
#include "MediaProbe.h"
#include "MessageRecorder.h"
#include "SelectionList.h"
#include "TestMedia.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kRefused =
    QStringLiteral("Some files are not supported or already exist and will not be added");
const QString kAddingError = QStringLiteral("An error occured while Adding File\r");

// Answers the dialogs from a script and remembers how they were asked.
class ScriptedDialogs : public DialogService
{
public:
    QStringList openFiles(const QString &title, const QVector<FileFilter> &filters,
                          bool multiSelect) override
    {
        askedTitle = title;
        askedFilters = filters;
        askedMultiSelect = multiSelect;
        return chosenFiles;
    }
    QString chooseFolder(const QString &title, bool newStyle) override
    {
        askedTitle = title;
        askedNewStyle = newStyle;
        return chosenFolder;
    }

    QStringList chosenFiles;
    QString chosenFolder;
    QString askedTitle;
    QVector<FileFilter> askedFilters;
    bool askedMultiSelect = false;
    bool askedNewStyle = true;
};

QStringList paths(const FileListModel &model)
{
    QStringList all;
    for (const FileListRecord &record : model.records())
        all << record.FilePath;
    return all;
}
} // namespace

class TestFileAdder : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addsSelectionListsInOrder();
    void asksTheDialogWithItsFiltersAndTitle();
    void cancellingTheDialogAddsNothing();
    void duplicatesAreExactAndCaseSensitive();
    void refusesRejectedExtensionsWithOneWarning();
    void unknownFormatIsAddedInRed();
    void longClipAndSparseFileGetTheirTexts();
    void addsFolderFilesAndRefusesTheRest();
    void emptyOrCancelledFolderAddsNothing();
    void addingErrorsLeaveTheListAsItWas();
    void droppedFilesAreAddedWithoutSummary();
    void secondAddWhileProbingIsRefused();
    void stopEndsAnAddAfterTheCurrentFile();

private:
    QString copyClip(const QString &name, const QString &from = QString());

    const TestMedia *m_media = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FileListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<MessageRecorder> m_messages;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<FileAdder> m_adder;
};

void TestFileAdder::initTestCase()
{
    m_media = &TestMedia::instance();
}

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

QString TestFileAdder::copyClip(const QString &name, const QString &from)
{
    const QString target = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(target).path());
    if (!QFile::copy(from.isEmpty() ? m_media->clip("avi") : from, target))
        qFatal("could not copy a clip to %s", qPrintable(target));
    return target;
}

void TestFileAdder::addsSelectionListsInOrder()
{
    const QString clip = m_media->clip("avi");
    m_adder->AddFileList(clip);
    QCOMPARE(paths(*m_model), QStringList{clip});
    const FileListRecord &row = m_model->record(0);
    QCOMPARE(row.ID, 0);
    QCOMPARE(row.CheckBox, 0);
    QCOMPARE(row.Status, FileListStatus::WaitingConversion);
    QCOMPARE(row.Duration, "00:00:01");
    QCOMPARE(row.FileSize, MediaProbe::FormatFileSize(QFileInfo(clip).size()));
    QVERIFY(row.FileSize.endsWith(" KB"));

    // A folder with several names; the folder may be given with a doubled slash inside.
    const QString folder = m_media->folder();
    const QString nul(QChar(0));
    const QString doubled = QString(folder).replace(folder.lastIndexOf('/'), 1, "//");
    m_adder->AddFileList(doubled + nul + "clip.mkv" + nul + "clip.mp4");
    QCOMPARE(paths(*m_model), QStringList({clip, folder + "/clip.mkv", folder + "/clip.mp4"}));
    QCOMPARE(m_messages->count(), 0);

    // A path that opens with two slashes keeps them: on Linux it names the same file.
    const QString networkStyle = "/" + m_media->clip("mov");
    m_adder->AddFileList(networkStyle);
    QCOMPARE(m_model->record(3).FilePath, networkStyle);
    QCOMPARE(m_model->record(3).Status, FileListStatus::WaitingConversion);
}

void TestFileAdder::asksTheDialogWithItsFiltersAndTitle()
{
    m_dialogs.chosenFiles = {m_media->clip("flv"), m_media->clip("wmv")};
    QSignalSpy cleared(m_adder.get(), &FileAdder::selectAllCleared);
    m_adder->AddFileList();
    QCOMPARE(paths(*m_model), m_dialogs.chosenFiles);
    QCOMPARE(cleared.count(), 2);
    QCOMPARE(m_dialogs.askedTitle, "Select one or more video files");
    QVERIFY(m_dialogs.askedMultiSelect);

    const QVector<FileFilter> &filters = m_dialogs.askedFilters;
    QCOMPARE(filters.size(), 6);
    const QStringList names = {"Common Video Files", "MPEG Files(.mpg,*.mpeg,*.mp2,*.mp4,*.mpe,*.m4v)",
                               "Windows Media Files(*.wmv,*.asf)", "AVI Files(*.avi)",
                               "QuickTime Files-Ver2 or less(*.mov)", "All Files(*.*)"};
    for (int i = 0; i < filters.size(); ++i)
        QCOMPARE(filters.at(i).name, names.at(i));
    QCOMPARE(filters.at(0).patterns.size(), 25);
    QVERIFY(filters.at(0).patterns.contains("*.mp4,*.mov"));
    QVERIFY(filters.at(0).patterns.contains("m1v"));
    QCOMPARE(filters.at(0).patterns.last(), "*.divx");
    QCOMPARE(filters.at(1).patterns.first(), ".mpg");
    QCOMPARE(filters.at(1).patterns.size(), 16);
    QCOMPARE(filters.at(2).patterns, QStringList({"*.wmv", "*.asf"}));
    QCOMPARE(filters.at(5).patterns, QStringList{"*.*"});

    m_adder->ShowOpenFileDialog({}, "t", false);
    QCOMPARE(m_dialogs.askedFilters.size(), 1);
    QCOMPARE(m_dialogs.askedFilters.at(0).name, "All Files (*.*)");
    QCOMPARE(m_dialogs.askedFilters.at(0).patterns, QStringList{"*.*"});
    QVERIFY(!m_dialogs.askedMultiSelect);
}

void TestFileAdder::cancellingTheDialogAddsNothing()
{
    QCOMPARE(m_adder->ShowOpenFileDialog(FileAdder::openFileFilters(), "t", true), "Cancel");
    QSignalSpy busy(m_adder.get(), &FileAdder::addingChanged);
    m_adder->AddFileList();
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(busy.count(), 2); // the add ends even when cancelled
    QVERIFY(!m_adder->isAdding());
}

void TestFileAdder::duplicatesAreExactAndCaseSensitive()
{
    const QString upper = copyClip("V/A.AVI");
    const QString lower = copyClip("V/a.avi");
    QCOMPARE(m_adder->AddFile2Grid(upper), 1);
    QCOMPARE(m_adder->AddFile2Grid(lower), 1);
    QCOMPARE(m_adder->AddFile2Grid(lower), 0);
    const QString doubled = m_dir->path() + "/V//a.avi";
    QCOMPARE(m_adder->AddFile2Grid(doubled), 0);
    QCOMPARE(paths(*m_model), QStringList({upper, lower}));
    QCOMPARE(m_messages->count(), 0);

    m_adder->AddFileList(lower);
    QCOMPARE(m_model->rowCount(), 2);
    QCOMPARE(m_messages->texts(), QStringList{kRefused});
}

void TestFileAdder::refusesRejectedExtensionsWithOneWarning()
{
    const QStringList refused = {"song.MP3", "notes.txt", "archive.zip", "noextension", "clip.mp",
                                 "track.cda"};
    for (const QString &name : refused)
        copyClip(name);
    copyClip("clip.xyz");
    copyClip("clip.mp4", m_media->clip("mp4"));
    copyClip("track.xcda");
    m_adder->AddFileList(SelectionList::fromFolder(
        m_dir->path(), refused + QStringList{"clip.xyz", "clip.mp4", "track.xcda"}));

    QCOMPARE(paths(*m_model), QStringList({m_dir->filePath("clip.xyz"), m_dir->filePath("clip.mp4"),
                                           m_dir->filePath("track.xcda")}));
    QCOMPARE(m_model->record(0).Status, FileListStatus::WaitingConversion);
    QCOMPARE(m_model->record(2).FileSize, "CD Track");
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->messages().at(0).text, kRefused);
    QCOMPARE(m_messages->messages().at(0).icon, MessageIcon::Exclamation);
}

void TestFileAdder::unknownFormatIsAddedInRed()
{
    QCOMPARE(m_adder->AddFile2Grid(m_media->clip("mpg")), 1);
    QCOMPARE(m_adder->AddFile2Grid(m_media->randomBytes()), 1);
    QCOMPARE(m_adder->AddFile2Grid(m_media->emptyFile()), 1);
    QCOMPARE(m_messages->count(), 0);
    const QColor red(220, 10, 10);
    for (int row : {1, 2}) {
        const FileListRecord &record = m_model->record(row);
        QCOMPARE(record.Status, FileListStatus::UnkownFormat);
        QCOMPARE(record.Duration, "Error");
        QCOMPARE(m_model->index(row, FileListModel::Status).data(Qt::ForegroundRole).value<QColor>(), red);
        QCOMPARE(m_model->index(row, FileListModel::Duration).data(Qt::ForegroundRole).value<QColor>(), red);
        QVERIFY(!m_model->index(row, FileListModel::FilePath).data(Qt::ForegroundRole).isValid());
    }
    QCOMPARE(m_model->record(1).FileSize, "64 KB");
    QCOMPARE(m_model->record(2).FileSize, "0 Bytes");
    QVERIFY(!m_model->index(0, FileListModel::Status).data(Qt::ForegroundRole).isValid());
}

void TestFileAdder::longClipAndSparseFileGetTheirTexts()
{
    const QString longClip = m_dir->filePath("long é clip.mkv");
    QVERIFY(TestMedia::makeClip(longClip, 3725, false, "16x16", 1));
    QCOMPARE(m_adder->AddFile2Grid(longClip), 1);
    QCOMPARE(m_model->record(0).Duration, "01:02:05");
    QCOMPARE(m_model->record(0).Status, FileListStatus::WaitingConversion);
    QCOMPARE(m_model->record(0).FileSize, MediaProbe::FormatFileSize(QFileInfo(longClip).size()));

    QFile sparse(m_dir->filePath("sparse.mkv"));
    QVERIFY(sparse.open(QIODevice::WriteOnly));
    QVERIFY(sparse.resize(qint64(5) * 1024 * 1024 * 1024 + 512 * 1024 * 1024));
    sparse.close();
    QCOMPARE(m_adder->AddFile2Grid(sparse.fileName()), 1);
    QCOMPARE(m_model->record(1).FileSize, "5.5 GB");
    QCOMPARE(m_model->record(1).Status, FileListStatus::UnkownFormat);
}

void TestFileAdder::addsFolderFilesAndRefusesTheRest()
{
    const QStringList clips = {copyClip("f/clip.avi"), copyClip("f/.hidden.mkv", m_media->clip("mkv")),
                               copyClip("f/star*name.mp4", m_media->clip("mp4"))};
    copyClip("f/song.mp3");
    copyClip("f/sub/inner.avi");
    const QString folder = m_dir->filePath("f");
    QCOMPARE(mkfifo(QFile::encodeName(folder + "/pipe.avi").constData(), 0600), 0);
    m_dialogs.chosenFolder = folder;

    m_adder->AddFolder();
    QCOMPARE(m_dialogs.askedTitle, "Select folder to add");
    QVERIFY(!m_dialogs.askedNewStyle);
    QStringList added = paths(*m_model);
    added.sort();
    QStringList expected = clips;
    expected.sort();
    QCOMPARE(added, expected);
    QCOMPARE(m_messages->texts(), QStringList{kRefused});

    m_adder->AddFolder();
    QCOMPARE(m_model->rowCount(), 3);
    QCOMPARE(m_messages->texts(), QStringList({kRefused, kRefused}));
}

void TestFileAdder::emptyOrCancelledFolderAddsNothing()
{
    m_adder->AddFolder();
    QCOMPARE(m_messages->count(), 0);

    QVERIFY(QDir(m_dir->path()).mkpath("only/sub"));
    m_dialogs.chosenFolder = m_dir->filePath("only");
    m_adder->AddFolder();
    m_dialogs.chosenFolder = m_dir->filePath("missing");
    m_adder->AddFolder();
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_messages->texts(), QStringList(2, "Selected Folder is empty."));
    QCOMPARE(m_messages->messages().at(0).icon, MessageIcon::Exclamation);

    copyClip("one/only.avi");
    m_dialogs.chosenFolder = m_dir->filePath("one");
    m_adder->AddFolder();
    QCOMPARE(paths(*m_model), QStringList{m_dir->filePath("one/only.avi")});
}

void TestFileAdder::addingErrorsLeaveTheListAsItWas()
{
    QCOMPARE(m_adder->AddFile2Grid(m_media->clip("avi")), 1);

    // A path longer than its field.
    const QString deep = QString(60, 'd');
    const QString tooLong = copyClip(QStringList(5, deep).join('/') + "/clip.avi");
    QVERIFY(tooLong.size() > 250);
    QCOMPARE(m_adder->AddFile2Grid(tooLong), 0);

    // Listed, then gone before it was added; a link that leads nowhere.
    const QString nul(QChar(0));
    m_adder->AddFileList(m_dir->path() + nul + "gone.avi");
    QVERIFY(QFile::link(m_dir->filePath("nowhere.avi"), m_dir->filePath("dangling.avi")));
    QCOMPARE(m_adder->AddFile2Grid(m_dir->filePath("dangling.avi")), 0);

    QCOMPARE(paths(*m_model), QStringList{m_media->clip("avi")});
    QCOMPARE(m_messages->count(), 4);
    const QList<MessageRecorder::Message> &shown = m_messages->messages();
    for (int i : {0, 1, 3}) {
        QVERIFY2(shown.at(i).text.startsWith(kAddingError), qPrintable(shown.at(i).text));
        QCOMPARE(shown.at(i).icon, MessageIcon::Critical);
    }
    QVERIFY(shown.at(0).text.contains("FilePath"));
    QVERIFY(shown.at(1).text.contains(QString::number(ENOENT) + ":No such file or directory"));
    QCOMPARE(shown.at(2).text, kRefused);

    // A full list takes no more rows.
    QVector<FileListRecord> full(FileListModel::MaxRows);
    for (int row = 0; row < full.size(); ++row)
        full[row].FilePath = QStringLiteral("/v/%1.avi").arg(row);
    QVERIFY(m_model->rebuild(full, nullptr));
    m_messages->clear();
    QCOMPARE(m_adder->AddFile2Grid(m_media->clip("mkv")), 0);
    QCOMPARE(m_model->rowCount(), FileListModel::MaxRows);
    QCOMPARE(m_messages->count(), 1);
    QVERIFY(m_messages->texts().at(0).startsWith(kAddingError));
    QVERIFY(m_messages->texts().at(0).contains("Overflow"));
}

void TestFileAdder::droppedFilesAreAddedWithoutSummary()
{
    const QString mp3 = copyClip("song.mp3");
    m_adder->addDroppedFiles({m_media->clip("avi"), mp3, m_media->clip("avi"), m_media->clip("mov")});
    QCOMPARE(paths(*m_model), QStringList({m_media->clip("avi"), m_media->clip("mov")}));
    QCOMPARE(m_messages->count(), 0);
}

void TestFileAdder::secondAddWhileProbingIsRefused()
{
    QSignalSpy busy(m_adder.get(), &FileAdder::addingChanged);
    int nestedResult = -1;
    bool wasAdding = false;
    // Fires inside the encoder probe's local event loop, as a drop or click would.
    QTimer::singleShot(0, m_adder.get(), [&] {
        wasAdding = m_adder->isAdding();
        nestedResult = m_adder->AddFile2Grid(m_media->clip("mkv"));
        m_adder->AddFileList(m_media->clip("mp4"));
    });
    QCOMPARE(m_adder->AddFile2Grid(m_media->clip("avi")), 1);
    QVERIFY(wasAdding);
    QCOMPARE(nestedResult, 0);
    QCOMPARE(paths(*m_model), QStringList{m_media->clip("avi")});
    QCOMPARE(busy.count(), 2);
    QCOMPARE(busy.at(0).at(0).toBool(), true);
    QCOMPARE(busy.at(1).at(0).toBool(), false);
    QCOMPARE(m_messages->count(), 0);

    QCOMPARE(m_adder->AddFile2Grid(m_media->clip("mkv")), 1);
}

void TestFileAdder::stopEndsAnAddAfterTheCurrentFile()
{
    for (const QString &name : {"a.avi", "b.avi", "c.avi", "d.mp3"})
        copyClip("s/" + name);
    m_dialogs.chosenFolder = m_dir->filePath("s");
    connect(m_adder.get(), &FileAdder::selectAllCleared, m_adder.get(), &FileAdder::stopAdding);
    m_adder->AddFolder();
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(!m_adder->isAdding());

    // A stop that arrives while the encoder probes drops that file too.
    disconnect(m_adder.get(), &FileAdder::selectAllCleared, m_adder.get(), &FileAdder::stopAdding);
    QTimer::singleShot(0, m_adder.get(), &FileAdder::stopAdding);
    m_adder->AddFolder();
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_messages->count(), 0);
}

QTEST_GUILESS_MAIN(TestFileAdder)
#include "TestFileAdder.moc"
