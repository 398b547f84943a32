#include "OutputFileName.h"
#include "MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kNoFolder = QStringLiteral("Output Folder is not exist and can not be created.");
}

class TestOutputFileName : public QObject
{
    Q_OBJECT

private:
    // "@" in a table entry stands for the test's temporary folder.
    static QString place(const QString &path, const QString &root)
    {
        QString placed = path;
        return placed.replace(QLatin1Char('@'), root);
    }

    static void make(const QString &root, const QString &entry)
    {
        const QString path = root + QLatin1Char('/') + entry;
        if (entry.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(path));
            return;
        }
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void namesAnOutputPath_data()
    {
        QTest::addColumn<QStringList>("existing"); // files, or folders when ending in "/"
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("sameFolder");
        QTest::addColumn<QString>("outPath");
        QTest::addColumn<QString>("expected");

        QTest::newRow("beside the input") << QStringList{"v/clip.mpg"} << "@/v/clip.mpg" << "avi"
                                          << true << "" << "@/v/clip.avi";
        QTest::newRow("input has the name") << QStringList{"v/clip.avi"} << "@/v/clip.avi" << "avi"
                                            << true << "" << "@/v/clip_Converted.avi";
        QTest::newRow("converted name taken")
            << QStringList{"v/clip.avi", "v/clip_Converted.avi"} << "@/v/clip.avi" << "avi" << true
            << "" << "@/v/clip_Converted_0.avi";
        QTest::newRow("numbers go on")
            << QStringList{"v/clip.avi", "v/clip_Converted.avi", "v/clip_Converted_0.avi",
                           "v/clip_Converted_1.avi"}
            << "@/v/clip.avi" << "avi" << true << "" << "@/v/clip_Converted_2.avi";
        QTest::newRow("no second suffix") << QStringList{"v/clip_Converted.avi"}
                                          << "@/v/clip_Converted.avi" << "avi" << true << ""
                                          << "@/v/clip_Converted_0.avi";
        QTest::newRow("suffix compared in exact case")
            << QStringList{"v/clip_converted.avi"} << "@/v/clip_converted.avi" << "avi" << true << ""
            << "@/v/clip_converted_Converted.avi";
        QTest::newRow("several dots") << QStringList{"v/a.b.avi"} << "@/v/a.b.avi" << "mp4" << true
                                      << "" << "@/v/a.b.mp4";
        QTest::newRow("a folder is not a file")
            << QStringList{"v/clip.mpg", "v/clip.avi/"} << "@/v/clip.mpg" << "avi" << true << ""
            << "@/v/clip.avi";
        QTest::newRow("other folder") << QStringList{"v/clip.avi", "out/"} << "@/v/clip.avi" << "avi"
                                      << false << "@/out" << "@/out/clip.avi";
        QTest::newRow("other folder with trailing slash")
            << QStringList{"v/clip.avi", "out/"} << "@/v/clip.avi" << "avi" << false << "@/out/"
            << "@/out/clip.avi";
        QTest::newRow("last folder created") << QStringList{"v/clip.avi"} << "@/v/clip.avi" << "mp4"
                                             << false << "@/made" << "@/made/clip.mp4";
        QTest::newRow("blanks and accents")
            << QStringList{"v d/cl ïp.avi", "o ü/"} << "@/v d/cl ïp.avi" << "mkv" << false << "@/o ü"
            << "@/o ü/cl ïp.mkv";
    }

    void namesAnOutputPath()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, input);
        QFETCH(QString, extension);
        QFETCH(bool, sameFolder);
        QFETCH(QString, outPath);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &entry : std::as_const(existing))
            make(dir.path(), entry);
        MessageRecorder recorder;

        const QString result =
            GetOutputFileName(place(input, dir.path()), extension, sameFolder,
                              place(outPath, dir.path()));

        QCOMPARE(result, place(expected, dir.path()));
        QVERIFY(recorder.texts().isEmpty());
        QVERIFY(QFileInfo(result).dir().exists());
        QVERIFY(!QFileInfo::exists(result) || QFileInfo(result).isDir());
    }

    void inputInTheRootKeepsItsSlash()
    {
        const QString result =
            GetOutputFileName(QStringLiteral("/reelforge-no-such-clip.avi"), "mp4", true, QString());
        QCOMPARE(result, QStringLiteral("/reelforge-no-such-clip.mp4"));
    }

    void folderThatCannotBeMadeIsReported_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("outPath"); // null: beside the input
        QTest::addColumn<QString>("mustNotExist");
        QTest::newRow("empty folder") << "@/v/clip.avi" << "" << "";
        QTest::newRow("parent missing") << "@/v/clip.avi" << "@/a/b" << "@/a";
        QTest::newRow("a file in the way") << "@/v/clip.avi" << "@/v/clip.avi" << "";
        QTest::newRow("input without folder") << "clip.avi" << QString() << "";
    }

    void folderThatCannotBeMadeIsReported()
    {
        QFETCH(QString, input);
        QFETCH(QString, outPath);
        QFETCH(QString, mustNotExist);
        QTemporaryDir dir;
        make(dir.path(), "v/clip.avi");
        MessageRecorder recorder;

        QCOMPARE(GetOutputFileName(place(input, dir.path()), "mp4", outPath.isNull(),
                                   place(outPath, dir.path())),
                 QString());
        QCOMPARE(recorder.texts(), QStringList{kNoFolder});
        QCOMPARE(recorder.messages().first().icon, MessageIcon::Critical);
        if (!mustNotExist.isEmpty())
            QVERIFY(!QFileInfo::exists(place(mustNotExist, dir.path())));
    }

    void everyNumberTakenGivesNothing()
    {
        QTemporaryDir dir;
        QStringList names{"clip.avi", "clip_Converted.avi"};
        for (int n = 0; n <= 10000; ++n)
            names << QStringLiteral("clip_Converted_%1.avi").arg(n);
        for (const QString &name : std::as_const(names))
            QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
        MessageRecorder recorder;

        QCOMPARE(GetOutputFileName(dir.filePath("clip.avi"), "avi", true, QString()), QString());
        QVERIFY(recorder.texts().isEmpty());

        QFile::remove(dir.filePath("clip_Converted_10000.avi"));
        QCOMPARE(GetOutputFileName(dir.filePath("clip.avi"), "avi", true, QString()),
                 dir.filePath("clip_Converted_10000.avi"));
    }
};

QTEST_GUILESS_MAIN(TestOutputFileName)
#include "TestOutputFileName.moc"
