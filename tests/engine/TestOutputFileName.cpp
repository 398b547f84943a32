#include "OutputFileName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestOutputFileName : public QObject
{
    Q_OBJECT

private slots:
    // Paths are relative to a fresh temporary folder; an empty expected path means the
    // folder could not be made.
    void namesAnOutputPath_data()
    {
        QTest::addColumn<QStringList>("existing"); // files; the first is the input
        QTest::addColumn<QString>("outPath");      // null: beside the input
        QTest::addColumn<QString>("expected");
        const QString beside;
        const QString clip = "v/clip.avi";
        const QString converted = "v/clip_Converted.avi";
        QTest::newRow("free name") << QStringList{"v/clip.mpg"} << beside << clip;
        QTest::newRow("input has it") << QStringList{clip} << beside << converted;
        QTest::newRow("converted taken")
            << QStringList{clip, converted} << beside << "v/clip_Converted_0.avi";
        QTest::newRow("numbers go on") << QStringList{clip, converted, "v/clip_Converted_0.avi"}
                                       << beside << "v/clip_Converted_1.avi";
        QTest::newRow("no second suffix")
            << QStringList{converted} << beside << "v/clip_Converted_0.avi";
        QTest::newRow("suffix case")
            << QStringList{"v/clip_converted.avi"} << beside << "v/clip_converted_Converted.avi";
        QTest::newRow("trailing slash") << QStringList{clip, "out/clip.avi"} << "out/"
                                        << "out/clip_Converted.avi";
        QTest::newRow("last folder created") << QStringList{clip} << "made"
                                             << "made/clip.avi";
        QTest::newRow("parent missing") << QStringList{clip} << "a/b"
                                        << "";
        QTest::newRow("empty folder") << QStringList{clip} << ""
                                      << "";
    }

    void namesAnOutputPath()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, outPath);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &file : std::as_const(existing)) {
            QVERIFY(QDir().mkpath(QFileInfo(dir.filePath(file)).path()));
            QVERIFY(QFile(dir.filePath(file)).open(QIODevice::WriteOnly));
        }
        const QString folder = outPath.isEmpty() ? outPath : dir.filePath(outPath);
        OutputNameFailure failure = OutputNameFailure::AllNamesTaken;

        const QString result = GetOutputFileName(dir.filePath(existing.first()), "avi",
                                                 outPath.isNull(), folder, {}, &failure);

        QCOMPARE(result, expected.isEmpty() ? expected : dir.filePath(expected));
        QCOMPARE(failure, expected.isEmpty() ? OutputNameFailure::FolderUnavailable
                                             : OutputNameFailure::None);
        if (!outPath.isNull())
            QCOMPARE(QFileInfo(folder).isDir(), !expected.isEmpty());
    }

    // Names that running conversions are about to write count as taken.
    void skipsReservedNames()
    {
        QTemporaryDir dir;
        const QString input = dir.filePath("clip.mkv");
        const QSet<QString> reserved{dir.filePath("clip.mp4"), dir.filePath("clip_Converted.mp4")};
        QCOMPARE(GetOutputFileName(input, "mp4", true, QString(), reserved),
                 dir.filePath("clip_Converted_0.mp4"));
    }
};

QTEST_GUILESS_MAIN(TestOutputFileName)
#include "TestOutputFileName.moc"
