#include "ConversionQueue.h"
#include "FileListModel.h"
#include "InFlightOutputs.h"
#include "TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <unistd.h>

namespace {
// Living children of this process (an encoder that outlived its row).
int liveChildren()
{
    QProcess pgrep;
    pgrep.start("pgrep", {"-P", QString::number(::getpid()), "-r", "R,S,D,T"});
    pgrep.waitForFinished();
    return pgrep.readAllStandardOutput().count('\n');
}

void killChildren()
{
    QProcess pkill;
    pkill.start("pkill", {"-KILL", "-P", QString::number(::getpid())});
    pkill.waitForFinished();
}

// Every file in folder, hidden ones too.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

bool mount(const QStringList &arguments)
{
    return QProcess::execute("mount", arguments) == 0;
}
} // namespace

// Outputs never clobber a file, never stay half-written under a final name, and a folder
// nothing can be written to stops the batch once. Real encoder, real files.
class TestSafeOutputs : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_long;    // 30 s, converted at real speed so that every moment can be reached
    QString m_mounted; // a small filesystem of the test's own, when it may make one
    FileListModel *m_list = nullptr;
    ConversionQueue *m_queue = nullptr;
    QList<BatchNotice> m_notices;
    std::function<void(const RowStatus &)> m_onFirstRow;

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

    bool run(const QString &folder, const QString &options = "-vf realtime -vcodec mpeg4")
    {
        QSignalSpy finished(m_queue, &ConversionQueue::batchFinished);
        m_queue->start({options, "avi", false, folder, QString()}, false, 1);
        return !finished.isEmpty() || finished.wait(120000);
    }

    QList<RowStatus::State> states() const
    {
        QList<RowStatus::State> all;
        for (const FileListRecord &row : m_list->records())
            all << row.status.state();
        return all;
    }

    // Mounts a tmpfs of the given options at a new folder; only root may.
    QString smallFilesystem(const QString &name, const QString &options)
    {
        if (::geteuid() != 0)
            return QString();
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        if (!mount({"-t", "tmpfs", "-o", options, "tmpfs", folder}))
            return QString();
        m_mounted = folder;
        return folder;
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
        m_notices.clear();
        m_onFirstRow = nullptr;
        connect(m_queue, &ConversionQueue::rowFailed, this,
                [this](const BatchNotice &notice) { m_notices << notice; });
        connect(m_list, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &at) {
            // A copy: the handler may clear itself.
            const auto handler = m_onFirstRow;
            if (at.row() == 0 && handler)
                handler(m_list->record(0).status);
        });
    }

    void cleanup()
    {
        delete m_queue;
        delete m_list;
        QTRY_COMPARE(liveChildren(), 0);
        if (!m_mounted.isEmpty())
            QProcess::execute("umount", {m_mounted});
        m_mounted.clear();
    }

    // Killed from outside or stopped mid-row: the row ends, no file of it stays anywhere.
    void interruptedRowsLeaveNothing_data()
    {
        QTest::addColumn<bool>("kill");
        QTest::addColumn<RowStatus::State>("state");
        QTest::newRow("encoder killed by SIGKILL") << true << RowStatus::State::Error;
        QTest::newRow("stop") << false << RowStatus::State::Cancelled;
    }

    void interruptedRowsLeaveNothing()
    {
        QFETCH(bool, kill);
        QFETCH(RowStatus::State, state);
        addRows(1);
        const QString out = m_dir.filePath(kill ? "killed" : "stopped");
        QStringList during;
        m_onFirstRow = [&](const RowStatus &status) {
            if (status.state() != RowStatus::State::Percent)
                return;
            m_onFirstRow = nullptr;
            during = filesIn(out);
            if (kill)
                killChildren();
            else
                m_queue->requestStop();
        };
        QVERIFY(run(out));
        QCOMPARE(states(), QList<RowStatus::State>{state});
        QCOMPARE(during.size(), 1);
        QVERIFY2(during.first().startsWith(".long.part-") && during.first().endsWith(".avi"),
                 qPrintable(during.first()));
        QCOMPARE(filesIn(out), QStringList());
        if (kill) {
            QCOMPARE(m_notices.size(), 1);
            QCOMPARE(m_notices.first().reason, QString("The encoder was killed by signal 9."));
        }
    }

    // A file that appears under the chosen name while the row encodes is not touched.
    void fileMadeMeanwhileSurvives()
    {
        addRows(1, false);
        const QString out = m_dir.filePath("meanwhile");
        QByteArray mine("the user's own file");
        m_onFirstRow = [&](const RowStatus &status) {
            if (status.state() != RowStatus::State::Percent)
                return;
            m_onFirstRow = nullptr;
            QFile file(out + "/clip.avi");
            QVERIFY(file.open(QIODevice::NewOnly) && file.write(mine) == mine.size());
        };
        QVERIFY(run(out));
        QCOMPARE(states(), QList<RowStatus::State>{RowStatus::State::Complete});
        QCOMPARE(filesIn(out), (QStringList{"clip.avi", "clip_Converted.avi"}));
        QFile file(out + "/clip.avi");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), mine);
        QVERIFY(m_list->record(0).log.contains("clip_Converted.avi"));
    }

    // The output is checked: a result far shorter than its input is no success.
    void shortResultIsAnError()
    {
        addRows(1);
        const QString out = m_dir.filePath("short");
        QVERIFY(run(out, "-t 2 -vcodec mpeg4"));
        QCOMPARE(states(), QList<RowStatus::State>{RowStatus::State::Error});
        QCOMPARE(m_notices.size(), 1);
        QVERIFY2(m_notices.first().reason.startsWith("The output lasts 2."),
                 qPrintable(m_notices.first().reason));
        QCOMPARE(filesIn(out), QStringList{"long.avi"}); // kept for the user to look at
    }

    // Read-only or full: one message naming the folder, no encoder for later rows.
    void unusableFolderStopsTheBatchOnce_data()
    {
        QTest::addColumn<QString>("options"); // of the folder's own filesystem
        QTest::addColumn<QString>("reason");
        QTest::addColumn<RowStatus::State>("first");
        QTest::newRow("read-only")
            << "ro,size=1m"
            << "Cannot write in %1: Read-only file system." << RowStatus::State::WaitingConversion;
        QTest::newRow("full") << "size=200k"
                              << "No space left on device in %1." << RowStatus::State::Error;
    }

    void unusableFolderStopsTheBatchOnce()
    {
        QFETCH(QString, options);
        QFETCH(QString, reason);
        QFETCH(RowStatus::State, first);
        const QString out = smallFilesystem(QTest::currentDataTag(), options);
        if (out.isEmpty())
            QSKIP("needs root to mount a small filesystem of its own");
        addRows(3);
        QVERIFY(run(out, "-t 5 -vcodec mpeg4 -b:v 4M"));
        QCOMPARE(states(), (QList<RowStatus::State>{first, RowStatus::State::WaitingConversion,
                                                    RowStatus::State::WaitingConversion}));
        QCOMPARE(m_notices.size(), 1);
        QCOMPARE(m_notices.first().kind, BatchNotice::Kind::OutputFolderUnusable);
        // What happened first, then at most the encoder's own line.
        const QStringList lines = m_notices.first().reason.split("\r\n");
        QCOMPARE(lines.first(), reason.arg(out));
        QVERIFY(lines.size() <= 2);
        QCOMPARE(filesIn(out), QStringList());
    }

    // The program itself killed mid-row: its temporary file goes at the next start.
    void leftoversOfAKilledProgramGo()
    {
        const QString out = m_dir.filePath("crashed");
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + "/queue_child", {m_long, out});
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("running"));
        const QStringList during = filesIn(out);
        QCOMPARE(during.size(), 1);
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(filesIn(out), during); // nobody tidied up
        QCOMPARE(InFlightOutputs::removeStale(), QStringList{out + "/" + during.first()});
        QCOMPARE(filesIn(out), QStringList());
        QVERIFY(QDir(InFlightOutputs::folder()).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSafeOutputs)
#include "TestSafeOutputs.moc"
