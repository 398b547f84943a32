// Real copies of the program on a private session bus: files given to a second start reach
// the first copy's list; a start without files runs a window of its own; a termination request
// closes a window whatever messages it shows. Each copy's list is read from its journal.
#include "filelist/ListJournal.h"
#include "tests/app/JournalRows.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
// A copy of the program started in folder.
struct Copy : BuiltProgram
{
    Copy(const QString &folder, const QStringList &arguments,
         const QProcessEnvironment &environment = {})
        : BuiltProgram("reelforge", arguments, folder, environment)
    {
    }
    // The paths its list holds, as its journal has them.
    QStringList listed()
    {
        QStringList paths;
        for (const FileListRecord &row :
             journalRows(ListJournal::defaultFolder(), process.processId()))
            paths << row.FilePath;
        return paths;
    }
};
} // namespace

class TestSecondStart : public QObject
{
    Q_OBJECT
    QTemporaryDir m_state;

private slots:
    void initTestCase()
    {
        // The copies' journals, and nothing a copy killed at the end leaves, stay in here.
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_state.path()));
    }

    void filesGoToTheRunningCopyAndTerminationCloses()
    {
        QTemporaryDir media;
        QVERIFY(QDir(media.path()).mkpath("Folder"));
        for (const char *name : {"a.mkv", "b c.mp4", "Folder/d.avi", "e.mov"})
            QVERIFY(TestMedia::makeClip(media.filePath(name), 0.4));
        // An add without an encoder says so, then warns of the refused file: SIGTERM while the
        // first message is open dismisses it, the second goes to standard error, and the window
        // closes at once, its choices saved.
        QVERIFY(writeFile(media.filePath("notes.txt"), "not a video\n"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", media.path()); // no encoder there
        environment.insert("XDG_CONFIG_HOME", media.filePath("config"));
        Copy copy(media.path(), {"a.mkv", "notes.txt"}, environment);
        // The messages follow the row at once.
        QTRY_COMPARE_WITH_TIMEOUT(copy.listed(), QStringList{media.filePath("a.mkv")}, 20000);
        QTest::qWait(500);
        copy.process.terminate();
        QVERIFY(copy.process.waitForFinished(5000));
        const QString said = QString::fromUtf8(copy.process.readAllStandardError());
        QVERIFY2(!said.contains("The encoder ffmpeg was not found") &&
                     said.contains("Some files are not supported"),
                 qPrintable(said));
        QVERIFY(QFile::exists(media.filePath("config/Tarnwick/Reelforge.ini")));

        Copy first(media.path(), {"a.mkv"});
        QTRY_COMPARE_WITH_TIMEOUT(first.listed(), QStringList{media.filePath("a.mkv")}, 20000);
        Copy second(media.path(), {"b c.mp4", "Folder/"});
        QVERIFY(second.ends());
        QTRY_COMPARE_WITH_TIMEOUT(first.listed(),
                                  (QStringList{media.filePath("a.mkv"), media.filePath("b c.mp4"),
                                               media.filePath("Folder/d.avi")}),
                                  20000);

        // Without files a second copy opens its own window and keeps running.
        Copy own(media.path(), {});
        QVERIFY(own.process.waitForStarted() && !own.process.waitForFinished(2000));

        // Once the first copy ends, the one still running takes the files of later starts.
        first.process.terminate();
        QVERIFY(first.ends());
        Copy later(media.path(), {"e.mov"});
        QVERIFY(later.ends());
        QTRY_COMPARE_WITH_TIMEOUT(own.listed(), QStringList{media.filePath("e.mov")}, 20000);
    }
};

QTEST_GUILESS_MAIN(TestSecondStart)
#include "TestSecondStart.moc"
