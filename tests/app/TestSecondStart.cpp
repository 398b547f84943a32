// Real copies of the program on a private session bus: files given to a second start reach
// the first copy's list; a start without files runs a window of its own; a termination request
// closes a window whatever messages it shows.
#include "tests/testsupport/TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A copy of the program started in the media folder; it prints each row its list gains.
struct Copy
{
    Copy(const QString &folder, const QStringList &arguments,
         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.start(QCoreApplication::applicationDirPath() + "/reelforge", arguments);
    }
    QStringList added()
    {
        output += QString::fromUtf8(process.readAllStandardOutput());
        return output.split('\n', Qt::SkipEmptyParts)
            .replaceInStrings(QRegularExpression("^added "), QString());
    }
    // Whether it ends within 20 s, if it has not yet, with exit status 0.
    bool ends()
    {
        return (process.state() == QProcess::NotRunning || process.waitForFinished(20000)) &&
               process.exitCode() == 0;
    }
    QProcess process;
    QString output;
};
} // namespace

class TestSecondStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("REELFORGE_ECHO_ADDED", "1"); // each copy prints each row its list gains
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
        QFile notes(media.filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a video\n") > 0);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", media.path()); // no encoder there
        environment.insert("XDG_CONFIG_HOME", media.filePath("config"));
        Copy copy(media.path(), {"a.mkv", "notes.txt"}, environment);
        // The messages follow the row at once.
        QTRY_COMPARE_WITH_TIMEOUT(copy.added(), QStringList{media.filePath("a.mkv")}, 20000);
        QTest::qWait(500);
        copy.process.terminate();
        QVERIFY(copy.process.waitForFinished(5000));
        const QString said = QString::fromUtf8(copy.process.readAllStandardError());
        QVERIFY2(!said.contains("The encoder ffmpeg was not found") &&
                     said.contains("Some files are not supported"),
                 qPrintable(said));
        QVERIFY(QFile::exists(media.filePath("config/Tarnwick/Reelforge.ini")));

        Copy first(media.path(), {"a.mkv"});
        QTRY_COMPARE_WITH_TIMEOUT(first.added(), QStringList{media.filePath("a.mkv")}, 20000);
        Copy second(media.path(), {"b c.mp4", "Folder/"});
        QVERIFY(second.ends());
        QTRY_COMPARE_WITH_TIMEOUT(first.added(),
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
        QTRY_COMPARE_WITH_TIMEOUT(own.added(), QStringList{media.filePath("e.mov")}, 20000);
    }
};

QTEST_GUILESS_MAIN(TestSecondStart)
#include "TestSecondStart.moc"
