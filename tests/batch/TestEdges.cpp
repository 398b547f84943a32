#include "engine/InFlightOutputs.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
const QStringList kFast = {"--options", "-c:v mpeg4 -q:v 8 -c:a mp2", "--ext", "avi"};

// A name of 250 bytes, in three-byte characters, and a one-byte tail.
QString longName(const QString &tail)
{
    return QString(83, QChar(0x6620)) + tail;
}

bool hasPrivateFolder(const QString &folder)
{
    return !QDir(folder).entryList({".reelforge-*"}, QDir::Dirs | QDir::Hidden).isEmpty();
}
} // namespace

// The real reelforge-cli where users keep their files: folders without no-replace rename or
// links (emulated, and real FAT through FUSE), names a folder refuses or that read
// like the encoder's verdicts, results that fail the check, a copy killed mid-row,
// and a second copy in another PID namespace.
class TestEdges : public QObject
{
    Q_OBJECT

private:
    const QString m_program = QCoreApplication::applicationDirPath() + "/reelforge-cli";
    QTemporaryDir m_dir;
    const QString m_clip = m_dir.filePath("clip.mkv"); // one second, picture and sound
    const QString m_slow = m_dir.filePath("slow.mkv"); // eight seconds, converted at real speed
    QString m_mounted;
    int m_case = 0;

    QString fresh(const QString &name)
    {
        const QString folder = m_dir.filePath(QString("%1-%2").arg(name).arg(++m_case));
        return QDir().mkpath(folder) ? folder : QString();
    }

    // A folder holding copies of the short clip under the given names.
    QString inputs(const QStringList &names)
    {
        const QString folder = fresh("in");
        for (const QString &name : names) {
            if (!QFile::copy(m_clip, folder + "/" + name))
                return QString();
        }
        return folder;
    }

    // Runs the program to its end: its exit status, and what it said on either channel.
    int run(const QStringList &arguments, QString *said, const QString &preload = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!preload.isEmpty())
            environment.insert("LD_PRELOAD", preload);
        const BuiltProgram::Ran ran = BuiltProgram::run("reelforge-cli", arguments, environment);
        *said = ran.out + ran.err;
        return ran.status;
    }

    // Starts a slow conversion and waits until its encoder is under way.
    bool startSlow(QProcess &cli, const QStringList &arguments)
    {
        cli.start(m_program,
                  QStringList{"--json", "--options", "-vf realtime -c:v mpeg4", "--ext", "avi"} +
                      arguments);
        QByteArray said;
        while (!said.contains("\"progress\"") && cli.waitForReadyRead(30000))
            said += cli.readAllStandardOutput();
        return said.contains("\"progress\"");
    }

    // A FAT image mounted through FUSE at a fresh folder; empty when it cannot be.
    QString mountFat()
    {
        if (::geteuid() != 0 || !QFileInfo::exists("/dev/fuse"))
            return QString();
        const QString image = m_dir.filePath("fat.img");
        const QString point = fresh("fat");
        if (QProcess::execute("mkfs.vfat", {"-C", image, "65536"}) != 0 ||
            QProcess::execute("fusefat", {"-o", "rw+", image, point}) != 0)
            return QString();
        m_mounted = point;
        return point;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestMedia::makeClip(m_clip, 1) && TestMedia::makeClip(m_slow, 8));
    }

    void cleanup()
    {
        if (!m_mounted.isEmpty())
            QProcess::execute("umount", {std::exchange(m_mounted, QString())});
    }

    // Three files into a folder whose filesystem renames only by replacing and makes no hard
    // link: three results, each readable, and nothing else left there. A FAT stick also
    // refuses a name with "?", which ends that row alone.
    void everyFolderTakesItsResults_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no no-replace rename, no links") << "shim";
        QTest::newRow("FAT through FUSE") << "fat";
    }
    void everyFolderTakesItsResults()
    {
        QFETCH(QString, kind);
        const QString out = kind == "shim" ? fresh("out") : mountFat();
        if (out.isEmpty())
            QSKIP("needs root, /dev/fuse, fusefat and dosfstools");
        const QString shim = kind == "shim" ? QCoreApplication::applicationDirPath() +
                                                  "/libreelforge_no_link_shim.so"
                                            : QString();
        const QString in = inputs(QStringList{"a.mkv", "b.mkv", "c d.mkv"} +
                                  (shim.isEmpty() ? QStringList{"what?.mkv"} : QStringList()));
        QString said;
        QCOMPARE(run(kFast + QStringList{"--jobs", "2", "--output", out, in}, &said, shim),
                 shim.isEmpty() ? 1 : 0);
        QVERIFY2(shim.isEmpty() == said.contains("does not take a character of the name"),
                 qPrintable(said));
        QCOMPARE(filesIn(out), (QStringList{"a.avi", "b.avi", "c d.avi"}));
        for (const QString &name : filesIn(out))
            QVERIFY2(TestMedia::playable(out + "/" + name), qPrintable(name));
        QVERIFY2(!hasPrivateFolder(out), qPrintable(said));
    }

    // One batch over names that end only their own row or merely look like a verdict: a name
    // that fits only without a temporary suffix converts; one too long for any name ends its
    // row alone; a name holding the encoder's words for a full disk converts.
    void namesEndOnlyTheirRow()
    {
        const QString fits = longName("a"), tooLong = longName("b");
        const QString in =
            inputs({fits + ".mkv", tooLong + ".mkv", "a No space left on device.mkv", "z.mkv"});
        const QString out = fresh("out");
        QVERIFY(
            writeFile(out + "/" + tooLong + ".avi", {})); // so that its next name needs a suffix
        QString said;
        QCOMPARE(run(kFast + QStringList{"--output", out, in}, &said), 1);
        QCOMPARE(said.count("converted: "), 3);
        QVERIFY2(said.contains("The output name is too long for its folder"), qPrintable(said));
        QCOMPARE(filesIn(out), (QStringList{"a No space left on device.avi", "z.avi", fits + ".avi",
                                            tooLong + ".avi"}));
        QVERIFY(!hasPrivateFolder(out));
    }

    // A result that fails the check is kept beside its final name, never under it; an encoder
    // that wrote nothing leaves nothing. Results that pass it are in test_format_files.
    void failedResultsAreKeptAside_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("told"); // OUT stands for the output folder
        QTest::newRow("nothing written") << "-f null" << QString() << "The encoder wrote no file";
        QTest::newRow("unreadable result") << "-f hash"
                                           << "clip.check-failed.avi"
                                           << "It is kept as OUT/clip.check-failed.avi";
    }
    void failedResultsAreKeptAside()
    {
        QFETCH(QString, options);
        QFETCH(QString, output);
        QFETCH(QString, told);
        const QString out = fresh("out");
        QString said;
        QCOMPARE(run({"--options", options, "--ext", "avi", "--output", out, m_clip}, &said), 1);
        QCOMPARE(filesIn(out), output.isEmpty() ? QStringList() : QStringList{output});
        QVERIFY2(said.contains(told.replace("OUT", out)), qPrintable(said));
    }

    // The program killed mid-row, converting a file whose name holds a line break beside a
    // file named like the first line: the next start removes the temporary file and nothing
    // of the user's, whatever its record names.
    void killedCopyLeavesOnlyItsOwnFiles()
    {
        const QString folder = fresh("killed\nfolder"); // line breaks in its path too
        QVERIFY(QFile::copy(m_slow, folder + "/bashrc\n.mkv"));
        QVERIFY(writeFile(folder + "/.bashrc", "the user's own"));
        QProcess cli;
        QVERIFY(startSlow(cli, {"--same-folder", folder + "/bashrc\n.mkv"}));
        QVERIFY(hasPrivateFolder(folder));
        cli.kill();
        QVERIFY(cli.waitForFinished());
        QVERIFY(hasPrivateFolder(folder)); // nobody tidied up
        // A record that names some other folder, damaged or made by hand, removes nothing there.
        const QDir records(InFlightOutputs::recordsFolder());
        const QStringList lists = records.entryList({"*.list"}, QDir::Files);
        QCOMPARE(lists.size(), 1);
        QFile list(records.filePath(lists.first()));
        QVERIFY(list.open(QIODevice::Append) && list.write(QFile::encodeName(folder) + '\0') > 0);
        list.close();
        const QStringList removed = InFlightOutputs::removeStale();
        QCOMPARE(removed.size(), 1);
        QVERIFY2(removed.first().endsWith("/bashrc\n.avi"), qPrintable(removed.first()));
        QCOMPARE(filesIn(folder), (QStringList{".bashrc", "bashrc\n.mkv"}));
        QVERIFY(!hasPrivateFolder(folder));
    }

    // A copy started in another PID namespace cannot see the first copy's process, and must
    // still leave its temporary file alone: the first copy ends with its result.
    void secondCopyElsewhereKeepsItsHandsOff()
    {
        if (QProcess::execute("unshare", {"--pid", "--fork", "--mount-proc", "true"}) != 0)
            QSKIP("needs unshare --pid (root)");
        const QString out = fresh("first");
        QProcess first;
        QVERIFY(startSlow(first, {"--output", out, m_slow}));
        QCOMPARE(QProcess::execute("unshare",
                                   QStringList{"--pid", "--fork", "--mount-proc", m_program} +
                                       kFast + QStringList{"--output", fresh("second"), m_clip}),
                 0);
        QVERIFY(hasPrivateFolder(out));
        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(filesIn(out), QStringList{"slow.avi"});
    }
};

QTEST_GUILESS_MAIN(TestEdges)
#include "TestEdges.moc"
