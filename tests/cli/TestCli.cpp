#include "cli/ShellQuote.h"
#include "format/PresetsFile.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {
const QString kFastOptions = "-c:v mpeg4 -q:v 8 -c:a mp2";
const QStringList kPreset = {"--category", "MP4 Video", "--preset", "H.264 / AAC, 360p"};
// A control character other than the line break, DEL or C1: none is ever printed raw.
const QRegularExpression kControl("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f]");

QString contents(const QString &path)
{
    return QString::fromUtf8(fileBytes(path));
}

// Which streams the encoder finds in a file: "audio,video" for both, "-" for a kind missing.
QString streams(const QString &path)
{
    const QString info = BuiltProgram::runProgram(TestMedia::encoder(), {"-i", path}).err;
    return QString("%1,%2").arg(info.contains(": Audio: ") ? "audio" : "-",
                                info.contains(": Video: ") ? "video" : "-");
}
} // namespace

// The real reelforge-cli over real files: each way of choosing a format and a folder, the
// exit statuses and which channel says what, a clean stop on SIGINT and a hard one on a second,
// the printed commands run by each shell, and hostile names in each report.
class TestCli : public QObject
{
    Q_OBJECT

private:
    const QString m_program = QCoreApplication::applicationDirPath() + "/reelforge-cli";
    QTemporaryDir m_dir;
    const QString m_clip = m_dir.filePath("clip one.mkv"); // one second, picture and sound
    const QString m_second = m_dir.filePath("clip2.mp4");  // another, in another container
    const QString m_bad = m_dir.filePath("bad.avi");       // random bytes
    const QString m_long = m_dir.filePath("long.mkv");     // thirty seconds, for stopping mid-run
    QString m_out; // a fresh output folder per test function
    int m_case = 0;

    // A folder of its own holding copies of the given files.
    QString folderWith(const QStringList &files, const QStringList &names = {})
    {
        const QString folder = m_dir.filePath(QString("case%1").arg(++m_case));
        QDir().mkpath(folder);
        for (int i = 0; i < files.size(); ++i) {
            const QString name = names.value(i, QFileInfo(files.at(i)).fileName());
            if (!QFile::copy(files.at(i), folder + "/" + name))
                return QString();
        }
        return folder;
    }

private slots:
    void initTestCase()
    {
        qputenv("HOME", m_dir.filePath("home").toLocal8Bit()); // holds the default output folder
        QVERIFY(QDir().mkpath(m_dir.filePath("home")));
        QVERIFY(TestMedia::makeClip(m_clip, 1) && TestMedia::makeClip(m_second, 1) &&
                TestMedia::makeClip(m_long, 30));
        QVERIFY(QFile::copy(TestMedia::instance().randomBytes(), m_bad));
    }
    void init() { m_out = m_dir.filePath(QString("out%1").arg(++m_case)); }

    // Words stand for paths: "OUT" the output folder, "FOLDER" a fresh folder holding both clips,
    // "HOME" the default output folder, "GOOD" one of the clips there and "MISSING" no file.
    void runs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("outputs"); // each readable, with picture and sound
        QTest::addColumn<QString>("told");        // standard error matches it; empty: says nothing
        const QStringList custom = {"--options", kFastOptions, "--ext", "avi"};
        const QStringList fast = custom + QStringList{"--output", "OUT"};
        const QString first =
            PresetsFile::load(PresetsFile::defaultPath()).table.firstStartChoice().extension;
        QTest::newRow("same folder")
            << QStringList{"--options", kFastOptions, "--ext", ".avi", "--same-folder", "GOOD"} << 0
            << QStringList{"FOLDER/clip one.avi"} << QString();
        QTest::newRow("first-start format, two at once, a folder given")
            << QStringList{"--jobs", "2", "--output", "OUT", "FOLDER"} << 0
            << QStringList{"OUT/clip one." + first, "OUT/clip2." + first} << QString();
        QTest::newRow("default output folder")
            << custom + QStringList{"GOOD"} << 0 << QStringList{"HOME/clip one.avi"} << QString();

        QTest::newRow("preset by category and label, one file missing")
            << kPreset + QStringList{"--output", "OUT", "MISSING", "GOOD"} << 1
            << QStringList{"OUT/clip one.mp4"} << QString("^not added: .*/missing\\.mkv: ");
        QTest::newRow("output folder that cannot be made") // a folder below a file
            << custom + QStringList{"--output", m_bad + "/out", "GOOD"} << 1 << QStringList()
            << QString("^stopped: ");
        const QList<std::pair<const char *, QStringList>> usageErrors = {
            {"unknown option", fast + QStringList{"--frobnicate", "GOOD"}},
            {"unknown preset", {"--category", "MP4 Video", "--preset", "No\x1b[2Jpe", "GOOD"}},
            {"extension the preset lacks", kPreset + QStringList{"--ext", "avi", "GOOD"}},
            {"category without preset", {"--category", "MP4 Video", "GOOD"}},
            {"options without extension", {"--options", kFastOptions, "GOOD"}},
            {"no files", fast},
            {"no jobs", fast + QStringList{"--jobs", "0", "GOOD"}},
            {"more jobs than cores",
             fast +
                 QStringList{"--jobs", QString::number(QThread::idealThreadCount() + 1), "GOOD"}},
            {"two folder choices", fast + QStringList{"--same-folder", "GOOD"}},
            {"presets file without a name", kPreset + QStringList{"--presets", "", "GOOD"}}};
        for (const auto &[name, arguments] : usageErrors)
            QTest::newRow(name) << arguments << 2 << QStringList()
                                << QString("^reelforge-cli: .+\nTry 'reelforge-cli --help'.\n$");
        // Qt's help option would accept it, and show no more than --help.
        QTest::newRow("--help-all is not an option")
            << QStringList{"--help-all"} << 2 << QStringList()
            << QString("^reelforge-cli: Unknown option 'help-all'");
    }
    void runs()
    {
        QFETCH(QStringList, arguments); // its words replaced by their paths below
        QFETCH(int, status);
        QFETCH(QStringList, outputs);
        QFETCH(QString, told);
        const QString folder = folderWith({m_clip, m_second});
        const QHash<QString, QString> paths = {{"OUT", m_out},
                                               {"FOLDER", folder},
                                               {"HOME", m_dir.filePath("home/Converted Files")},
                                               {"GOOD", folder + "/clip one.mkv"},
                                               {"MISSING", folder + "/missing.mkv"}};
        for (QString &argument : arguments)
            argument = paths.value(argument, argument);
        const auto [ended, printed, errors] = BuiltProgram::runProgram(m_program, arguments);
        QCOMPARE(ended, status);
        // Usage errors name the program; failures say which file or folder, and why: both on
        // standard error alone.
        QVERIFY2(told.isEmpty() ? errors.isEmpty()
                                : errors.contains(QRegularExpression(
                                      told, QRegularExpression::MultilineOption)),
                 qPrintable(errors));
        QVERIFY(!printed.contains(kControl) && !errors.contains(kControl));
        QVERIFY2(!printed.contains(QRegularExpression("^(reelforge-cli|not added|stopped|failed): ",
                                                      QRegularExpression::MultilineOption)),
                 qPrintable(printed));
        QCOMPARE(filesIn(m_out).size(), outputs.filter(QRegularExpression("^OUT/")).size());
        for (const QString &output : outputs) {
            const QString path =
                paths.value(output.section('/', 0, 0)) + "/" + output.section('/', 1);
            QCOMPARE(streams(path), "audio,video");
            QVERIFY2(printed.contains(" -> " + path + "\n"), qPrintable(printed));
        }
    }

    // A file converted, one failed and one stopped by SIGINT, told in JSON
    // events: no encoder and no temporary file are left, the file after them never starts, and
    // every line parses.
    void interruptAndJsonEvents()
    {
        QProcess cli;
        cli.start(m_program, {"--json", "--options", "-vf realtime -c:v mpeg4", "--ext", "avi",
                              "--output", m_out, m_clip, m_bad, m_long, m_second});
        const QByteArray running = "\"progress\",\"file\":\"" + m_long.toUtf8();
        QByteArray events;
        while (!events.contains(running) && cli.waitForReadyRead(20000))
            events += cli.readAllStandardOutput();
        QVERIFY2(events.contains(running), events); // told while it happens
        const QStringList encoders =
            BuiltProgram::runProgram("pgrep", {"-P", QString::number(cli.processId())})
                .out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(encoders.size(), 1);
        // The signals the program takes on a thread of its own are open in the encoder.
        QVERIFY(contents("/proc/" + encoders.first() + "/status")
                    .contains("SigBlk:\t0000000000000000"));
        QCOMPARE(filesIn(m_out).size(), 1); // the first; the second is in a private folder
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(20000));
        events += cli.readAllStandardOutput();
        QCOMPARE(cli.exitCode(), 130);
        QVERIFY(!QFileInfo::exists("/proc/" + encoders.first()));
        QCOMPARE(filesIn(m_out), QStringList{"clip one.avi"});

        QStringList ended; // the status of each finished file
        QJsonObject last;
        for (const QByteArray &line : events.trimmed().split('\n')) {
            last = QJsonDocument::fromJson(line).object(); // empty when the line is no object
            QVERIFY2(!last.isEmpty() && last["file"] != m_second, line);
            if (last.value("event") == "finished")
                ended << last.value("status").toString();
        }
        QCOMPARE(ended, (QStringList{"Complete", "Error", "Cancelled"}));
        QVERIFY2(events.contains("Invalid data found"), events); // the encoder's reason
        QCOMPARE(
            (QJsonArray{last["converted"], last["failed"], last["cancelled"], last["stopped"]}),
            (QJsonArray{1, 1, 1, true}));
    }

    // Asked to copy what fits, the picture already in H.264 is copied and the JSON event of the
    // start says so per stream, as the printed command does.
    void copiesWhatFits()
    {
        const QStringList format =
            QStringList{"--copy-when-possible", "--options", "-c:v libx264 -an"} +
            QStringList{"--ext", "mkv", "--output", m_out, m_clip};
        const QString printed =
            BuiltProgram::runProgram(m_program, QStringList{"--print-commands"} + format).out;
        QVERIFY2(printed.contains(" -c:0 copy ") &&
                     printed.contains("  # video 1 (H.264, 160x120): copy; audio 1 ("),
                 qPrintable(printed));
        QJsonObject started;
        for (const QString &line :
             BuiltProgram::runProgram(m_program, QStringList{"--json"} + format).out.split('\n')) {
            if (line.contains("\"started\""))
                started = QJsonDocument::fromJson(line.toUtf8()).object();
        }
        QCOMPARE(started["streams"].toArray().first().toString(), "video 1 (H.264, 160x120): copy");
        QCOMPARE(streams(m_out + "/clip one.mkv"), "-,video");
    }

    // Printed for folders that do not exist yet, over names holding every character a shell
    // treats specially, then run by each shell: the same files from each, nothing else run.
    void printedCommandsRunInShells()
    {
        const QStringList names = {"it's $HOME ${PATH} `id` $(id) a\\b \"c\" ~*?[x] !#;&|<>.mkv",
                                   "-dash.mkv",
                                   "Ünï 映画.mkv",
                                   "two\nlines 'a\\b'\r\t.mkv",
                                   "a\t';touch PWNED;#.mkv",
                                   "esc\x1b[31m\u009b\x7f.mkv"};
        const QString folder = folderWith(QStringList(names.size(), m_clip), names);
        const QString scratch = m_dir.filePath("scratch"); // where the shells run
        QVERIFY(QDir().mkpath(scratch));
        QString last; // the commands the last shell ran
        for (const QString shell : {"sh", "bash", "zsh"}) {
            if (QStandardPaths::findExecutable(shell).isEmpty()) {
                qWarning("%s is not installed: not tried", qPrintable(shell));
                continue;
            }
            // Ending in a line break, which "$(...)" would drop.
            const QString out = m_out + "/" + shell + "\n";
            const auto [status, commands, errors] =
                BuiltProgram::runProgram(m_program, {"--options", kFastOptions, "--ext", "avi",
                                                     "--print-commands", "--output", out, folder});
            QCOMPARE(status, 0);
            QCOMPARE(commands.count('\n'), names.size()); // one line each, and nothing else said
            QVERIFY(!QFileInfo::exists(out));
            QProcess run;
            run.setWorkingDirectory(scratch);
            run.start(shell, {"-c", commands}); // as "sh commands.txt" would, going on after errors
            QVERIFY(run.waitForFinished(120000));
            QDirIterator marker(m_dir.path(), {"PWNED"}, QDir::AllEntries | QDir::Hidden,
                                QDirIterator::Subdirectories);
            QVERIFY2(!marker.hasNext(), qPrintable(shell + " ran text from a name"));
            for (const QString &name : names)
                QCOMPARE(streams(out + "/" + QFileInfo(name).completeBaseName() + ".avi"),
                         "audio,video");
            last = commands;
        }
        // Run again, the same commands find their results made and leave them alone.
        const QFileInfo made(m_out + "/zsh\n/-dash.avi");
        QCOMPARE(BuiltProgram::runProgram("sh", {"-c", last}).status, 0);
        QCOMPARE(QFileInfo(made.filePath()).metadataChangeTime(), made.metadataChangeTime());
    }

    // Printed commands run by GNU parallel under dash, one killed mid-file by its timeout: a
    // retry of the failed ones makes exactly that one, and printing again after the partial run
    // gives the same lines. Results keep their inputs' dates.
    void printedCommandsRetryWhatWasKilled()
    {
        if (QStandardPaths::findExecutable("parallel").isEmpty())
            QSKIP("needs GNU parallel (the Debian package parallel)");
        const QString slow = m_dir.filePath("six.mkv");
        QVERIFY(TestMedia::makeClip(slow, 6));
        const QString folder = folderWith({m_clip, m_second, slow});
        const QString realTime = "-vf realtime " + kFastOptions; // a stop lands mid-file
        const QStringList print =
            QStringList{"--print-commands", "--skip-existing", "--ext", "avi"} +
            QStringList{"--options", realTime, "--output", m_out, folder};
        QFile commands(m_dir.filePath("commands.txt"));
        QVERIFY(commands.open(QIODevice::WriteOnly) &&
                commands.write(BuiltProgram::runProgram(m_program, print).out.toUtf8()) > 0);
        commands.close();
        const QString log = m_dir.filePath("jobs.log");
        QProcess parallel;
        qputenv("PARALLEL_SHELL", "/bin/sh");                  // only parallel reads it
        parallel.setStandardInputFile(QProcess::nullDevice()); // a retry reads no input
        const auto ran = [&](const QStringList &arguments) {
            parallel.start("parallel", QStringList{"--will-cite", "--joblog"} + arguments);
            return parallel.waitForFinished(120000) ? parallel.exitCode() : -1;
        };
        const auto all = [this] {
            return QDir(m_out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        QCOMPARE(ran({log, "--timeout", "4", "-a", commands.fileName()}), 1);
        const QStringList converted = {"clip one.avi", "clip2.avi"};
        QCOMPARE(all(), converted); // nothing of the killed one
        QCOMPARE(BuiltProgram::runProgram(m_program, print).out, contents(commands.fileName()));

        QCOMPARE(ran({log, "--retry-failed"}), 0);
        QCOMPARE(all(), converted + QStringList{"six.avi"});
        for (const QString &name : filesIn(m_out)) {
            const QFileInfo result(m_out + "/" + name);
            const QFileInfo input(
                QDir(folder).entryInfoList({result.completeBaseName() + ".*"}).value(0));
            QCOMPARE(streams(result.filePath()), "audio,video");
            QCOMPARE(result.lastModified(), input.lastModified());
        }
    }

    // A failing file whose name holds terminal controls and a line break, a good one, and one
    // whose name is not UTF-8, told by each report: no control character reaches either
    // channel, and failures go to standard error alone.
    void hostileNamesInReports_data()
    {
        QTest::addColumn<QString>("report");
        for (const char *report : {"plain", "terminal", "json"})
            QTest::newRow(report) << QString(report);
    }
    void hostileNamesInReports()
    {
        QFETCH(QString, report);
        const QString hostile = "a\x1b]0;title\x07\u009b\x7f\nfailed: forged.mkv";
        const QString folder = folderWith({m_bad, m_clip}, {hostile, "clip one.mkv"});
        const QByteArray notUtf8 = QFile::encodeName(folder) + "/b\xff.mkv";
        QVERIFY(::link(QFile::encodeName(m_clip).constData(), notUtf8.constData()) == 0);
        // Qt cannot remove what it cannot name.
        const auto unlink = qScopeGuard([&notUtf8] { ::unlink(notUtf8.constData()); });
        QFile arguments(folder + ".arguments"); // as bytes, for xargs
        QVERIFY(arguments.open(QIODevice::WriteOnly) &&
                arguments.write(QFile::encodeName(folder + "/" + hostile) + '\0' +
                                QFile::encodeName(folder + "/clip one.mkv") + '\0' + notUtf8) &&
                arguments.flush());
        QStringList command = {"xargs",   "-0",        "-a",         arguments.fileName(),
                               m_program, "--options", kFastOptions, "--ext",
                               "avi",     "--output",  m_out};
        if (report == "json")
            command << "--json";
        const QString errorFile = folder + ".errors";
        bool newline = false;     // no name here holds one
        if (report == "terminal") // on a terminal of its own, standard error apart
            command = QStringList{"script", "-qec",
                                  ShellQuote::command(command, &newline) + " 2>" +
                                      ShellQuote::word(errorFile, &newline),
                                  "/dev/null"};
        QProcess cli;
        cli.start(command.takeFirst(), command);
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 123); // xargs: the program ended with a status from 1 to 125
        QString out = QString::fromUtf8(cli.readAllStandardOutput());
        const QString errors = report == "terminal" ? contents(errorFile)
                                                    : QString::fromUtf8(cli.readAllStandardError());
        out.remove(QRegularExpression("\r|\x1b\\[[0-9]*[AJ]")); // the terminal's own redrawing
        QVERIFY2(!out.contains(kControl) && !errors.contains(kControl), qPrintable(out + errors));
        const QString unreadable = folder + "/b\uFFFD.mkv";
        if (report == "json") {
            QVERIFY2(errors.isEmpty(), qPrintable(errors));
            QHash<QString, QJsonObject> told; // by event and status
            for (const QString &line : out.split('\n', Qt::SkipEmptyParts)) {
                const QJsonObject event = QJsonDocument::fromJson(line.toUtf8()).object();
                QVERIFY2(!event.isEmpty(), qPrintable(line));
                told.insert(event["event"].toString() + event["status"].toString(), event);
            }
            QCOMPARE(told["finishedError"]["file"], folder + "/" + hostile);
            QCOMPARE(told["notAdded"]["file"], unreadable);
            QCOMPARE(told["notAdded"]["reason"], "the name is not valid UTF-8");
            return;
        }
        const QString shown = folder + "/a\\033]0;title\\007\\302\\233\\177\\nfailed: forged.mkv";
        const QStringList errorLines = errors.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(errorLines.size(), 2);
        QVERIFY2(errorLines
                         .filter(QRegularExpression(
                             "^failed: " + QRegularExpression::escape(shown) + ": .*Invalid data"))
                         .size() == 1,
                 qPrintable(errors));
        QVERIFY(errorLines.contains("not added: " + unreadable + ": the name is not valid UTF-8"));
        QVERIFY2(out.contains("\nconverted: " + folder + "/clip one.mkv -> " + m_out),
                 qPrintable(out));
    }

    // A first stop that cannot end, the program being stuck on an input whose filesystem
    // server is frozen, leaves the program waiting; a second signal ends it at once.
    void secondSignalEndsAHungStop()
    {
        if (::geteuid() != 0 || !QFileInfo::exists("/dev/fuse") ||
            QStandardPaths::findExecutable("fusefat").isEmpty() ||
            QStandardPaths::findExecutable("mkfs.vfat").isEmpty())
            QSKIP("needs root, /dev/fuse, fusefat and mkfs.vfat (dosfstools)");
        const QString image = m_dir.filePath("fat.img");
        const QString mount = m_dir.filePath("fat");
        QVERIFY(QProcess::execute("mkfs.vfat", {"-C", image, "4096"}) == 0);
        QVERIFY(QDir().mkpath(mount));
        QProcess server;
        server.start("fusefat", {"-f", "-o", "rw+", image, mount});
        const auto release = qScopeGuard([&] {
            ::kill(pid_t(server.processId()), SIGCONT);
            BuiltProgram::runProgram("fusermount", {"-u", mount});
            server.waitForFinished(10000);
        });
        QTRY_VERIFY(contents("/proc/self/mounts").contains(" " + mount + " fuse"));
        QVERIFY(QFile::copy(m_clip, mount + "/clip.mkv"));
        ::kill(pid_t(server.processId()), SIGSTOP);

        QProcess cli;
        cli.start(m_program, {"--options", kFastOptions, "--ext", "avi", "--output", m_out,
                              mount + "/clip.mkv"});
        QVERIFY(cli.waitForStarted());
        const QString waiting = "/proc/" + QString::number(cli.processId()) + "/wchan";
        QTRY_COMPARE(contents(waiting), "request_wait_answer"); // the filesystem's answer
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(!cli.waitForFinished(1000));
        ::kill(pid_t(cli.processId()), SIGTERM); // 130 still, whichever signal comes second
        QVERIFY(cli.waitForFinished(1000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 130);
    }

    // Only Qt Core and its like: no graphics library is loaded, none is needed on a server.
    void linksNoGuiLibrary()
    {
        const QString libraries = BuiltProgram::runProgram("ldd", {m_program}).out;
        QVERIFY(libraries.contains("libQt6Core"));
        QVERIFY2(!libraries.contains("libQt6Widgets") && !libraries.contains("libQt6Gui"),
                 qPrintable(libraries));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
