// The window's side of the desktop: files handed in from outside, and the notification at the
// end of a batch.
#include "FileAdder.h"
#include "TestMedia.h"
#include "WindowFixture.h"

#include <QDir>
#include <QFile>

namespace {
QStringList listedPaths(const MainWindow &window)
{
    QStringList paths;
    for (const FileListRecord &record : window.fileList()->records())
        paths << record.FilePath;
    return paths;
}
} // namespace

class TestDesktopWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_media;
    QString m_clipA, m_clipB, m_folder, m_folderClip, m_emptyFolder, m_notVideo;

    QString make(const QString &relative)
    {
        const QString path = m_media.filePath(relative);
        return TestMedia::makeClip(path, 0.4) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_media.path()).mkpath("other/Folder"));
        QVERIFY(QDir(m_media.path()).mkpath("empty"));
        m_clipA = make("a clip.mkv");
        m_clipB = make("other/b.mp4");
        m_folderClip = make("other/Folder/c.avi");
        QVERIFY(!m_clipA.isEmpty() && !m_clipB.isEmpty() && !m_folderClip.isEmpty());
        m_folder = m_media.filePath("other/Folder");
        m_emptyFolder = m_media.filePath("empty");
        m_notVideo = m_media.filePath("notes.txt");
        QFile notes(m_notVideo);
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a video\n") > 0);
    }

    void openedPathsAreAdded_data()
    {
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("files of two folders and a folder")
            << QStringList{m_clipA, m_clipB, m_folder}
            << QStringList{m_clipA, m_clipB, m_folderClip} << QStringList{};
        QTest::newRow("folder between files")
            << QStringList{m_clipB, m_folder, m_clipA}
            << QStringList{m_clipB, m_folderClip, m_clipA} << QStringList{};
        QTest::newRow("refused file warned once")
            << QStringList{m_notVideo, m_clipA, m_clipA} << QStringList{m_clipA}
            << QStringList{"Some files are not supported or already exist and will not be added"};
        QTest::newRow("empty folder") << QStringList{m_emptyFolder, m_clipB} << QStringList{m_clipB}
                                      << QStringList{"Selected Folder is empty."};
    }
    void openedPathsAreAdded()
    {
        QFETCH(QStringList, opened);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, messages);
        WindowFixture fixture;
        MainWindow *window = fixture.open();
        QVERIFY(window);
        window->openPaths(opened);
        QTRY_COMPARE(listedPaths(*window), listed);
        QTRY_VERIFY(!window->adder()->isAdding());
        QCOMPARE(fixture.messages.texts(), messages);
    }

    // Paths that arrive while an add waits on its probes are added after it, in order, whether
    // that add came from outside too or from the Add button.
    void pathsArrivingDuringAnAddWait_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("opened") << false;
        QTest::newRow("Add button") << true;
    }
    void pathsArrivingDuringAnAddWait()
    {
        QFETCH(bool, byButton);
        WindowFixture fixture;
        MainWindow *window = fixture.open();
        QVERIFY(window);
        if (byButton) {
            fixture.dialogs.chosenFiles = {m_clipA};
            fixture.click("cmdAddVideoFile");
        } else {
            window->openPaths({m_clipA});
        }
        // Adds run in the background: these arrive while the first one probes.
        QVERIFY(window->adder()->isAdding());
        window->openPaths({m_folder, m_clipB});
        QTRY_COMPARE(listedPaths(*window), (QStringList{m_clipA, m_folderClip, m_clipB}));
        QCOMPARE(fixture.messages.count(), 0);
    }

    void batchEndIsNotifiedOnlyWhenTheWindowIsInactive()
    {
        WindowFixture fixture;
        MainWindow *window = fixture.open();
        QVERIFY(window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->notifyBatchEnded(3, 0);
        QCOMPARE(fixture.notifier.shown, QStringList{});

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!window->isActiveWindow());
        window->notifyBatchEnded(2, 1);
        QCOMPARE(fixture.notifier.shown,
                 QStringList{"Conversion finished: 2 files converted, 1 failed"});
    }
};

QTEST_MAIN(TestDesktopWindow)
#include "TestDesktopWindow.moc"
