// A real `cmake --install` into a staging folder: the files land where the desktop looks for
// them, pass the desktop's validators, and the program's data files are found from there.
#include "services/DataFiles.h"
#include "services/Version.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/FolderFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kAppId = QStringLiteral("org.tarnwick.Reelforge");
const QString kDesktopEntry = "share/applications/" + kAppId + ".desktop";
const QString kMetainfo = "share/metainfo/" + kAppId + ".metainfo.xml";
} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_stage;
    QString installed(const QString &relative) const { return m_stage.filePath("usr/" + relative); }

private slots:
    void initTestCase()
    {
        qputenv("DESTDIR", m_stage.path().toLocal8Bit());
        QCOMPARE(QProcess::execute(CMAKE_COMMAND,
                                   {"--install", REELFORGE_BUILD_DIR, "--prefix", "/usr"}),
                 0);
    }

    void installedFilesPassTheValidators()
    {
        for (const QString program : {"bin/reelforge", "bin/reelforge-cli"})
            QVERIFY2(QFileInfo(installed(program)).isExecutable(), qPrintable(program));
        // The data files are proven found below; the validators read the desktop files.
        for (const QString &file : {QString("share/doc/reelforge/copyright"),
                                    QString("share/doc/reelforge-cli/copyright"),
                                    "share/icons/hicolor/scalable/apps/" + kAppId + ".svg"})
            QVERIFY2(QFileInfo(installed(file)).size() > 0, qPrintable(file));
        for (int size : {16, 32, 48, 64, 128, 256}) {
            const QString icon = QString("share/icons/hicolor/%1x%1/apps/").arg(size) + kAppId;
            QCOMPARE(QImage(installed(icon + ".png")).size(), QSize(size, size));
        }
        // Files made from templates carry this version, every placeholder filled.
        const QRegularExpression placeholder(QStringLiteral("@[A-Z_]+@"));
        for (const QString page :
             {"share/man/man1/reelforge-cli.1.gz", "share/man/man1/reelforge.1.gz",
              "share/doc/reelforge/changelog.gz", "share/doc/reelforge-cli/changelog.gz"}) {
            QProcess gunzip;
            gunzip.start("gzip", {"-dc", installed(page)});
            QVERIFY(gunzip.waitForFinished(10000) && gunzip.exitCode() == 0);
            const QString text = QString::fromUtf8(gunzip.readAllStandardOutput());
            QVERIFY2(text.contains(Version::Text) && !text.contains(placeholder), qPrintable(page));
        }
        const QString metainfo = QString::fromUtf8(fileBytes(installed(kMetainfo)));
        QVERIFY(metainfo.contains(QStringLiteral("<release version=\"%1\"").arg(Version::Text)) &&
                !metainfo.contains(placeholder));
        // File managers hand the program their files.
        QVERIFY(fileBytes(installed(kDesktopEntry)).contains("\nExec=reelforge %F\n"));
        // The desktop's validators report warnings while still succeeding; none are allowed.
        for (const QStringList &command :
             {QStringList{"desktop-file-validate", installed(kDesktopEntry)},
              QStringList{"appstreamcli", "validate", "--no-net", installed(kMetainfo)}}) {
            const BuiltProgram::Ran ran = BuiltProgram::runProgram(command.first(), command.mid(1));
            const QString output = ran.out + ran.err;
            QVERIFY2(ran.status == 0 && !output.contains("warning") && !output.contains("W:"),
                     qPrintable(command.first() + ": " + output));
        }
    }

    // Where the data files are found: beside the program wins, then the install prefix seen
    // from the program's folder, then the XDG data folders, else beside the program again. The
    // user's own data folder holds their presets file, never the shipped one.
    void dataFilesFound_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("dataDirs");
        QTest::addColumn<QString>("expectedFolder");
        QTest::addColumn<QString>("dataHome");
        const QString shared = installed("share/reelforge");
        const QString nowhere = m_stage.filePath("nowhere");
        QTest::newRow("installed prefix") << installed("bin") << nowhere << shared << nowhere;
        QTest::newRow("XDG data folders")
            << nowhere << m_stage.filePath("elsewhere") + ":" + installed("share") << shared
            << nowhere;
        QTest::newRow("build folder") << QString(REELFORGE_BUILD_DIR "/bin") << installed("share")
                                      << QString(REELFORGE_BUILD_DIR "/bin") << nowhere;
        QTest::newRow("found nowhere") << nowhere << nowhere << nowhere << nowhere;
        QTest::newRow("user's data folder") << nowhere << nowhere << nowhere << installed("share");
    }
    void dataFilesFound()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, dataDirs);
        QFETCH(QString, expectedFolder);
        QFETCH(QString, dataHome);
        qputenv("XDG_DATA_DIRS", dataDirs.toLocal8Bit());
        qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
        for (const QString name : {"presets.xml", "codecs.xml", "Help.html"})
            QCOMPARE(QDir::cleanPath(DataFiles::locate(name, programFolder)),
                     QDir::cleanPath(expectedFolder + "/" + name));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
