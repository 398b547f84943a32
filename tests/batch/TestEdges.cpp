#include "engine/InFlightOutputs.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
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
// links (emulated, and real FAT and exFAT through FUSE), names a folder refuses or that read
// like the encoder's verdicts, outputs the media library cannot judge, a copy killed mid-row,
// a second copy in another PID namespace, and two encoders at once.
class TestEdges : public QObject
{
    Q_OBJECT

private:
    const QString m_program = QCoreApplication::applicationDirPath() + "/reelforge-cli";
    QTemporaryDir m_dir;
    const QString m_clip = m_dir.filePath("clip.mkv"); // one second, picture and sound
    const QString m_slow = m_dir.filePath("slow.mkv"); // eight seconds, converted at real speed
    QString m_mounted;
    QString m_loop; // the loop device under a mounted image
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

    // A FUSE filesystem image of its own kind mounted at a fresh folder; empty when it cannot.
    QString mount(const QString &kind)
    {
        if (::geteuid() != 0 || !QFileInfo::exists("/dev/fuse"))
            return QString();
        const QString image = m_dir.filePath(kind + ".img");
        const QString point = fresh(kind);
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(64 << 20))
            return QString();
        file.close();
        if (kind == "fat") {
            if (QProcess::execute("mkfs.vfat", {image}) != 0 ||
                QProcess::execute("fusefat", {"-o", "rw+", image, point}) != 0)
                return QString();
        } else {
            // As root the exFAT server wants a block device: the image's own loop device.
            QProcess loop;
            loop.start("losetup", {"--find", "--show", image});
            loop.waitForFinished();
            m_loop = QString::fromUtf8(loop.readAllStandardOutput()).trimmed();
            if (m_loop.isEmpty() || QProcess::execute("mkfs.exfat", {m_loop}) != 0 ||
                QProcess::execute("mount.exfat-fuse", {m_loop, point}) != 0)
                return QString();
        }
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
        if (!m_loop.isEmpty())
            QProcess::execute("losetup", {"--detach", std::exchange(m_loop, QString())});
    }

    // Three files into a folder whose filesystem renames only by replacing and makes no hard
    // link: three results, each readable, and nothing else left there. A FAT or exFAT stick
    // also refuses a name with "?", which ends that row alone.
    void everyFolderTakesItsResults_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no no-replace rename, no links") << "shim";
        QTest::newRow("FAT through FUSE") << "fat";
        QTest::newRow("exFAT through FUSE") << "exfat";
    }
    void everyFolderTakesItsResults()
    {
        QFETCH(QString, kind);
        const QString out = kind == "shim" ? fresh("out") : mount(kind);
        if (out.isEmpty())
            QSKIP("needs root, /dev/fuse, fusefat, exfat-fuse, dosfstools and exfatprogs");
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

    // Results the media library cannot judge alone, or whose length the user changed, pass;
    // one that fails the check is kept beside its final name, never under it. GIF and raw
    // picture results pass the same check in test_format_files, a cut in test_conversion_queue.
    void unusualResultsPass_data()
    {
        QTest::addColumn<QStringList>("format");
        QTest::addColumn<QString>("output");
        QTest::newRow("nothing written") << QStringList{"--options", "-f null", "--ext", "avi"}
                                         << QString(); // fails, with nothing left behind
        QTest::newRow("unreadable result")
            << QStringList{"--options", "-f hash", "--ext", "avi"} << "clip.check-failed.avi";
        QTest::newRow("Theora alone in Ogg")
            << QStringList{"--options", "-an -c:v libtheora", "--ext", "ogg"} << "clip.ogg";
        QTest::newRow("twice the speed")
            << QStringList{"--options", "-filter:v setpts=0.5*PTS -an -c:v mpeg4", "--ext", "mkv"}
            << "clip.mkv";
    }
    void unusualResultsPass()
    {
        QFETCH(QStringList, format);
        QFETCH(QString, output);
        const QString out = fresh("out");
        QString said;
        const bool failed = output.isEmpty() || output.contains(".check-failed.");
        QCOMPARE(run(format + QStringList{"--output", out, m_clip}, &said), int(failed));
        QCOMPARE(filesIn(out), output.isEmpty() ? QStringList() : QStringList{output});
        QVERIFY2(!output.isEmpty() || said.contains("The encoder wrote no file for "),
                 qPrintable(said));
        QVERIFY2(!output.contains(".check-failed.") ||
                     said.contains("It is kept as " + out + "/" + output),
                 qPrintable(said));
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

    // Two files with two jobs: the second file, added after the queue started, takes the free
    // slot at once.
    void twoFilesRunTwoEncoders()
    {
        const QString in = fresh("two");
        QVERIFY(QFile::copy(m_slow, in + "/one.mkv") && QFile::copy(m_slow, in + "/two.mkv"));
        QProcess cli;
        QVERIFY(startSlow(cli, {"--jobs", "2", "--output", fresh("out"), in}));
        int most = 0;
        for (int i = 0; i < 40 && most < 2; ++i) {
            QProcess pgrep;
            pgrep.start("pgrep", {"-P", QString::number(cli.processId())});
            pgrep.waitForFinished();
            most = std::max(most, int(pgrep.readAllStandardOutput().count('\n')));
            QTest::qWait(100);
        }
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(most, 2);
    }
};

QTEST_GUILESS_MAIN(TestEdges)
#include "TestEdges.moc"
