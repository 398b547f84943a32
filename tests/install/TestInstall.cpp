// A real `cmake --install` into a staging folder: the files land where the desktop looks for
// them, pass the desktop's validators, and the program's data files are found from there.
#include "DataFiles.h"

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

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_stage;
    QString m_prefix; // the staged /usr

    QString installed(const QString &relative) const { return m_prefix + "/" + relative; }

private slots:
    void initTestCase()
    {
        QProcess install;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", m_stage.path());
        install.setProcessEnvironment(environment);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(CMAKE_COMMAND, {"--install", REELFORGE_BUILD_DIR, "--prefix", "/usr"});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
        m_prefix = m_stage.filePath("usr");
    }

    void installedFiles_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("source"); // the file it must equal; empty: not compared
        QTest::addColumn<int>("iconSize");   // the picture's width and height; 0: no picture
        QTest::newRow("program") << "bin/reelforge"
                                 << "" << 0;
        QTest::newRow("command line") << "bin/reelforge-cli"
                                      << "" << 0;
        QTest::newRow("manual page") << "share/man/man1/reelforge-cli.1"
                                     << "man/reelforge-cli.1" << 0;
        for (const char *name : {"presets.xml", "codecs.xml", "Help.html"})
            QTest::newRow(name) << QString("share/reelforge/") + name << QString("data/") + name
                                << 0;
        QTest::newRow("menu entry") << "share/applications/" + kAppId + ".desktop"
                                    << "data/" + kAppId + ".desktop" << 0;
        QTest::newRow("metainfo") << "share/metainfo/" + kAppId + ".metainfo.xml"
                                  << "data/" + kAppId + ".metainfo.xml" << 0;
        QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/" + kAppId + ".svg"
                                       << "data/icons/" + kAppId + ".svg" << 0;
        for (int size : {16, 32, 48, 64, 128, 256})
            QTest::addRow("icon %d", size)
                << QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId)
                << QString() << size;
    }
    void installedFiles()
    {
        QFETCH(QString, relative);
        QFETCH(QString, source);
        QFETCH(int, iconSize);
        const QFileInfo file(installed(relative));
        QVERIFY2(file.isFile(), qPrintable(file.filePath()));
        if (relative.startsWith("bin/"))
            QVERIFY(file.isExecutable());
        if (!source.isEmpty())
            QCOMPARE(contents(file.filePath()), contents(REELFORGE_SOURCE_DIR "/" + source));
        if (iconSize > 0)
            QCOMPARE(QImage(file.filePath()).size(), QSize(iconSize, iconSize));
    }

    void validatorsAccept_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop-file-validate")
            << "desktop-file-validate"
            << QStringList{installed("share/applications/" + kAppId + ".desktop")};
        QTest::newRow("appstreamcli")
            << "appstreamcli"
            << QStringList{"validate", "--no-net",
                           installed("share/metainfo/" + kAppId + ".metainfo.xml")};
    }
    void validatorsAccept()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QProcess validator;
        validator.setProcessChannelMode(QProcess::MergedChannels);
        validator.start(program, arguments);
        QVERIFY2(validator.waitForFinished(60000), qPrintable(validator.errorString()));
        const QByteArray output = validator.readAll();
        QVERIFY2(validator.exitStatus() == QProcess::NormalExit && validator.exitCode() == 0,
                 output.constData());
        // Both tools report warnings while still succeeding; none are allowed.
        QVERIFY2(!output.contains("warning") && !output.contains("W:"), output.constData());
    }

    void menuEntryStartsTheProgramWithFiles()
    {
        const QString entry = contents(installed("share/applications/" + kAppId + ".desktop"));
        const QStringList lines = entry.split('\n');
        QVERIFY(lines.contains("Exec=reelforge %F"));
        QVERIFY(lines.contains("Icon=" + kAppId));
        QVERIFY(QFileInfo(installed("bin/reelforge")).isFile());
        const QString mimeLine = lines.filter(QRegularExpression("^MimeType=")).value(0);
        for (const char *type : {"video/mp4", "video/x-matroska", "video/x-msvideo"})
            QVERIFY2(mimeLine.split(QRegularExpression("[=;]")).contains(type), type);
    }

    // Where the data files are found: beside the program wins, then the install prefix seen
    // from the program's folder, then the XDG data folders, else beside the program again.
    void dataFilesFound_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("dataDirs");
        QTest::addColumn<QString>("expectedFolder");
        const QString shared = installed("share/reelforge");
        const QString nowhere = m_stage.filePath("nowhere");
        QTest::newRow("installed prefix") << installed("bin") << nowhere << shared;
        QTest::newRow("XDG data folders")
            << nowhere << m_stage.filePath("elsewhere") + ":" + installed("share") << shared;
        QTest::newRow("build folder") << QString(REELFORGE_BUILD_DIR "/bin") << installed("share")
                                      << QString(REELFORGE_BUILD_DIR "/bin");
        QTest::newRow("found nowhere") << nowhere << nowhere << nowhere;
    }
    void dataFilesFound()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, dataDirs);
        QFETCH(QString, expectedFolder);
        qputenv("XDG_DATA_DIRS", dataDirs.toLocal8Bit());
        for (const QString name : {"presets.xml", "codecs.xml", "Help.html"})
            QCOMPARE(QDir::cleanPath(DataFiles::locate(name, programFolder)),
                     QDir::cleanPath(expectedFolder + "/" + name));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
