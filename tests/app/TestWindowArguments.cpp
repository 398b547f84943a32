// The window's command line: how arguments are read, and the real program answering --help
// and --version without a platform and refusing unknown options without opening a window.
#include "app/WindowArguments.h"
#include "services/Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Action = WindowArguments::Action;
Q_DECLARE_METATYPE(WindowArguments::Action)

class TestWindowArguments : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("unknown");
        QTest::newRow("help wins") << QStringList{"-x", "a", "--version", "-h"} << Action::Help
                                   << QStringList{"a"} << "-x";
        QTest::newRow("first unknown") << QStringList{"a", "--frobnicate", "-q"} << Action::Unknown
                                       << QStringList{"a"} << "--frobnicate";
        QTest::newRow("files after --") << QStringList{"--", "--x", "--help", "--"} << Action::Open
                                        << QStringList{"--x", "--help", "--"} << QString();
        QTest::newRow("dash names as paths")
            << QStringList{"./--x", "-"} << Action::Open << QStringList{"./--x", "-"} << QString();
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        const WindowArguments parsed = WindowArguments::parse(arguments);
        QTEST(parsed.action, "action");
        QTEST(parsed.files, "files");
        QTEST(parsed.unknownOption, "unknown");
    }

    // A platform that cannot load makes QApplication abort: --help and --version must answer
    // before it. An unknown option ends before the window would open (which would not end).
    // Neither writes settings or state.
    void realProgram_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("outStart");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{"a.mkv", "--help"} << "no-such-platform" << 0
                              << "Usage: reelforge [FILE|FOLDER]..." << QString();
        QTest::newRow("version") << QStringList{"--version"} << "no-such-platform" << 0
                                 << QString("reelforge %1\n").arg(Version::Text) << QString();
        QTest::newRow("unknown option")
            << QStringList{"a.mkv", "--frob\x1b]0;x\anicate"} << "offscreen" << 2 << QString()
            << "reelforge: unknown option '--frob\\033]0;x\\007nicate'\nTry 'reelforge --help'.\n";
    }
    void realProgram()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, platform);
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", platform);
        for (const char *variable : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
            environment.insert(variable, home.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(home.path());
        program.start(QCoreApplication::applicationDirPath() + "/reelforge", arguments);
        const bool ended = program.waitForFinished(20000);
        if (!ended)
            program.kill();
        QVERIFY2(ended, "the window opened");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QTEST(program.exitCode(), "status");
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QFETCH(QString, outStart);
        QVERIFY2(out.startsWith(outStart) && out.isEmpty() == outStart.isEmpty(), qPrintable(out));
        QTEST(err, "err");
        QVERIFY(QDir(home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }
};

QTEST_GUILESS_MAIN(TestWindowArguments)
#include "TestWindowArguments.moc"
