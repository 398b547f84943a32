#include "PresetsFile.h"
#include "TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {
const QString kFastOptions = "-c:v mpeg4 -q:v 8 -c:a mp2";

QString program()
{
    return QCoreApplication::applicationDirPath() + "/reelforge-cli";
}

// The kinds of the streams the encoder finds in a file, e.g. "audio,video"; empty when it
// cannot read it.
QString streams(const QString &path)
{
    QProcess probe;
    probe.start(TestMedia::encoder(), {"-hide_banner", "-i", path});
    probe.waitForFinished();
    const QString said = probe.readAllStandardError();
    QStringList kinds;
    for (const char *kind : {"Audio", "Video"})
        if (said.contains(QString(": %1: ").arg(kind)))
            kinds << QString(kind).toLower();
    return kinds.join(',');
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Children of a process whose command line holds the text (an encoder writing there), by pid.
QStringList childrenOf(qint64 pid, const QString &text)
{
    QProcess pgrep;
    pgrep.start("pgrep", {"-P", QString::number(pid)});
    pgrep.waitForFinished();
    QStringList found;
    for (const QString &child :
         QString(pgrep.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        QFile commandLine("/proc/" + child + "/cmdline");
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(text.toUtf8()))
            found << child;
    }
    return found;
}
} // namespace

// The real reelforge-cli over real files: each way of choosing a format and a folder, the
// exit statuses, a clean stop on SIGINT, the printed commands run by bash, and JSON events.
class TestCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_clip;   // one second, picture and sound
    QString m_second; // another, in another container
    QString m_bad;    // random bytes named .avi
    QString m_long;   // thirty seconds, for stopping mid-run
    QString m_out;    // a fresh output folder per test function
    int m_case = 0;

    struct Run
    {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };

    Run run(const QStringList &arguments) const
    {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", m_dir.filePath("home"));
        cli.setProcessEnvironment(environment);
        cli.start(program(), arguments);
        cli.waitForFinished(120000);
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                cli.readAllStandardOutput(), cli.readAllStandardError()};
    }

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
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath("clip one.mkv");
        m_second = m_dir.filePath("clip2.mp4");
        m_long = m_dir.filePath("long.mkv");
        m_bad = m_dir.filePath("bad.avi");
        QVERIFY(TestMedia::makeClip(m_clip, 1));
        QVERIFY(TestMedia::makeClip(m_second, 1));
        QVERIFY(TestMedia::makeClip(m_long, 30));
        QVERIFY(QFile::copy(TestMedia::instance().randomBytes(), m_bad));
        QVERIFY(QFileInfo(program()).isExecutable());
    }
    void init() { m_out = m_dir.filePath(QString("out%1").arg(++m_case)); }

    void converts_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "OUT" stands for the output folder
        QTest::addColumn<int>("inputs");            // the first clip, or both
        QTest::addColumn<bool>("sameFolder");
        QTest::addColumn<QString>("extension");
        const PresetChoice first =
            PresetsFile::load(PresetsFile::defaultPath()).table.firstStartChoice();
        QTest::newRow("preset by category and label")
            << QStringList{"--category",        "MP4 Video", "--preset",
                           "H.264 / AAC, 360p", "--output",  "OUT"}
            << 1 << false << "mp4";
        QTest::newRow("options and extension")
            << QStringList{"--options", kFastOptions, "--ext", "avi", "--output", "OUT"} << 1
            << false << "avi";
        QTest::newRow("same folder")
            << QStringList{"--options", kFastOptions, "--ext", ".avi", "--same-folder"} << 1 << true
            << "avi";
        QTest::newRow("first-start format, two at once, a folder given")
            << QStringList{"--jobs", "2", "--output", "OUT", "FOLDER"} << 2 << false
            << first.extension;
        QTest::newRow("default output folder")
            << QStringList{"--options", kFastOptions, "--ext", "avi"} << 1 << false << "avi";
    }
    void converts()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, inputs);
        QFETCH(bool, sameFolder);
        QFETCH(QString, extension);
        const QStringList files = QStringList{m_clip, m_second}.mid(0, inputs);
        const QString folder = folderWith(files);
        QVERIFY(!folder.isEmpty());
        const bool folderGiven = arguments.removeAll("FOLDER") > 0;
        QString outFolder = sameFolder ? folder : m_out;
        if (arguments.contains("OUT"))
            arguments.replace(arguments.indexOf("OUT"), m_out);
        else if (!sameFolder)
            outFolder = m_dir.filePath("home/Converted Files");
        if (folderGiven)
            arguments << folder;
        else
            for (const QString &file : files)
                arguments << folder + "/" + QFileInfo(file).fileName();

        const Run result = run(arguments);
        QVERIFY2(result.status == 0, result.out + result.err);
        for (const QString &file : files) {
            const QString output =
                outFolder + "/" + QFileInfo(file).completeBaseName() + "." + extension;
            QVERIFY2(QFileInfo::exists(output), qPrintable(output + "\n" + result.out));
            QCOMPARE(streams(output), streams(file));
            QVERIFY(result.out.contains(
                ("converted: " + folder + "/" + QFileInfo(file).fileName() + " -> " + output)
                    .toUtf8()));
        }
        for (const QString &name : filesIn(outFolder))
            QVERIFY2(!name.startsWith('.'), qPrintable(name)); // no temporary left
    }

    void exitStatus_data()
    {
        // "GOOD", "BAD", "MISSING", "OUT", and "UNUSABLE": a folder below a file
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("outputs");
        const QStringList fast = {"--options", kFastOptions, "--ext", "avi", "--output", "OUT"};
        QTest::newRow("one unreadable file") << fast + QStringList{"GOOD", "BAD"} << 1 << 1;
        QTest::newRow("one missing file") << fast + QStringList{"MISSING", "GOOD"} << 1 << 1;
        QTest::newRow("output folder that cannot be made")
            << QStringList{"--options", kFastOptions, "--ext", "avi",
                           "--output",  "UNUSABLE",   "GOOD"}
            << 1 << 0;
        QTest::newRow("unknown option") << fast + QStringList{"--frobnicate", "GOOD"} << 2 << 0;
        QTest::newRow("unknown category")
            << QStringList{"--category", "Nope", "--preset", "H.264 / AAC, 360p", "GOOD"} << 2 << 0;
        QTest::newRow("unknown preset")
            << QStringList{"--category", "MP4 Video", "--preset", "Nope", "GOOD"} << 2 << 0;
        QTest::newRow("extension the preset lacks")
            << QStringList{"--category", "MP4 Video", "--preset", "H.264 / AAC, 360p",
                           "--ext",      "avi",       "GOOD"}
            << 2 << 0;
        QTest::newRow("category without preset")
            << QStringList{"--category", "MP4 Video", "GOOD"} << 2 << 0;
        QTest::newRow("options without extension")
            << QStringList{"--options", kFastOptions, "--output", "OUT", "GOOD"} << 2 << 0;
        QTest::newRow("no files") << fast << 2 << 0;
        QTest::newRow("no jobs") << fast + QStringList{"--jobs", "0", "GOOD"} << 2 << 0;
        QTest::newRow("more jobs than cores")
            << fast +
                   QStringList{"--jobs", QString::number(QThread::idealThreadCount() + 1), "GOOD"}
            << 2 << 0;
        QTest::newRow("two folder choices")
            << fast + QStringList{"--same-folder", "GOOD"} << 2 << 0;
    }
    void exitStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(int, outputs);
        const QStringList stand = {"GOOD", "BAD", "MISSING", "OUT", "UNUSABLE"};
        const QStringList real = {m_clip, m_bad, m_dir.filePath("missing.mkv"), m_out,
                                  m_bad + "/out"};
        for (QString &argument : arguments)
            if (stand.contains(argument))
                argument = real.at(stand.indexOf(argument));
        const Run result = run(arguments);
        QCOMPARE(result.status, status);
        QCOMPARE(filesIn(m_out).size(), outputs);
        if (status == 2)
            QVERIFY(result.err.startsWith("reelforge-cli: "));
        if (status == 1)
            QVERIFY2(result.out.contains("not added: ") || result.out.contains("stopped: ") ||
                         result.out.contains("failed: "),
                     result.out);
    }

    void interruptLeavesNothingBehind()
    {
        QProcess cli;
        cli.start(program(), {"--json", "--options", "-vf realtime -c:v mpeg4", "--ext", "avi",
                              "--output", m_out, m_long, m_clip});
        QVERIFY(cli.waitForStarted());
        QByteArray events;
        while (!events.contains("\"progress\"") && cli.waitForReadyRead(20000))
            events += cli.readAllStandardOutput();
        QVERIFY2(events.contains("\"progress\""), events); // told while it happens
        const QStringList encoders = childrenOf(cli.processId(), m_out);
        QCOMPARE(encoders.size(), 1);
        QCOMPARE(filesIn(m_out).size(), 1); // the hidden temporary file
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(20000));
        events += cli.readAllStandardOutput();
        QCOMPARE(cli.exitCode(), 130);
        QVERIFY(!QFileInfo::exists("/proc/" + encoders.first()));
        QCOMPARE(filesIn(m_out), QStringList());
        QVERIFY2(events.contains("\"status\":\"Cancelled\""), events);
        QVERIFY2(!events.contains("\"file\":\"" + m_clip.toUtf8() + "\""), events); // not started
    }

    void printedCommandsRunInBash()
    {
        const QStringList names = {"it's $HOME `id`.mkv", "-dash.mkv", "Ünï 映画.mkv",
                                   "two\nlines.mkv"};
        const QString folder = folderWith({m_clip, m_clip, m_second, m_second}, names);
        const Run printed = run({"--print-commands", "--category", "MP4 Video", "--preset",
                                 "H.264 / AAC, 360p", "--output", m_out, folder});
        QCOMPARE(printed.status, 0);
        QCOMPARE(printed.out.count('\n'), names.size()); // one line each
        QVERIFY(filesIn(m_out).isEmpty());               // nothing converted yet

        QProcess bash;
        bash.start("bash", {"-e", "-c", QString::fromUtf8(printed.out)});
        QVERIFY(bash.waitForFinished(120000));
        QVERIFY2(bash.exitCode() == 0, bash.readAllStandardError());
        for (const QString &name : names) {
            const QString output = m_out + "/" + QFileInfo(name).completeBaseName() + ".mp4";
            QCOMPARE(streams(output), "audio,video");
        }
        // Run again, the same commands write over nothing.
        const QDateTime written = QFileInfo(m_out + "/-dash.mp4").lastModified();
        bash.start("bash", {"-c", QString::fromUtf8(printed.out)});
        QVERIFY(bash.waitForFinished(120000));
        QVERIFY(bash.exitCode() != 0);
        QCOMPARE(QFileInfo(m_out + "/-dash.mp4").lastModified(), written);
    }

    void jsonEventsParse()
    {
        const Run result = run({"--json", "--options", kFastOptions, "--ext", "avi", "--output",
                                m_out, m_bad, m_clip});
        QCOMPARE(result.status, 1);
        QStringList events;
        QJsonObject last;
        for (const QByteArray &line : result.out.split('\n')) {
            if (line.isEmpty())
                continue;
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line, &error);
            QVERIFY2(document.isObject(), line);
            last = document.object();
            events << last.value("event").toString();
            // The unreadable file fails its conversion, with the encoder's reason.
            if (events.last() == "finished" && last.value("status").toString() == "Complete")
                QVERIFY(QFileInfo::exists(last.value("output").toString()));
            else if (events.last() == "finished")
                QVERIFY(last.value("reason").toString().contains("Invalid data found"));
        }
        QCOMPARE(events.first(), "started");
        QCOMPARE(events.count("finished"), 2);
        QCOMPARE(events.last(), "summary");
        QCOMPARE(last.value("converted").toInt(), 1);
        QCOMPARE(last.value("failed").toInt(), 1);
    }

    void linksNoWidgets()
    {
        QProcess ldd;
        ldd.start("ldd", {program()});
        QVERIFY(ldd.waitForFinished());
        const QByteArray libraries = ldd.readAllStandardOutput();
        QVERIFY(libraries.contains("libQt6Core"));
        QVERIFY2(!libraries.contains("libQt6Widgets"), libraries);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
