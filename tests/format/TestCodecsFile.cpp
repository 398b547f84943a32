#include "CodecsFile.h"
#include "DataFileText.h"

#include <QTest>

using namespace DataFileText;

class TestCodecsFile : public QObject
{
    Q_OBJECT
private slots:
    void lists_data();
    void lists();
    void namesAreTrimmedAndFirstDescriptionWins();
    void readFailureLeavesListsUntouched_data();
    void readFailureLeavesListsUntouched();
};

void TestCodecsFile::lists_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("video");
    QTest::addColumn<QStringList>("audio");
    QTest::addColumn<QString>("error"); // the start of the failure, empty on success

    QTest::newRow("types decide the lists")
        << codecsText({codecEntry("copy", "Stream copy", "general"),
                       codecEntry("mpeg4", "MPEG-4", "video codec"),
                       codecEntry("libmp3lame", "MP3", "audio codec"),
                       codecEntry("x", "Wrong case", "Video Codec"),
                       codecEntry("y", "Trailing blank", "video codec "),
                       codecEntry("mpeg4", "MPEG-4", "video codec")})
        << QStringList{"Stream copy", "MPEG-4", "MPEG-4"} << QStringList{"Stream copy", "MP3"}
        << "";
    QTest::newRow("indented root lines are skipped")
        << codecsText({codecEntry("copy", "Copy", "general")}, "   ") << QStringList{"Copy"}
        << QStringList{"Copy"} << "";

    QStringList free = codecEntry("first", "", "video codec");
    QStringList next = codecEntry("second", "Second", "audio codec");
    next[3] = "<kind>no type line</kind>";
    QTest::newRow("entry without description is overwritten")
        << codecsText({free, next, codecEntry("aac", "AAC", "audio codec")})
        << QStringList{"Second"} << QStringList{"AAC"} << "";

    QStringList first = codecEntry("copy", "Copy", "general");
    QStringList second = codecEntry("aac", "AAC", "audio codec");
    first.removeLast();
    second.removeLast();
    QTest::newRow("line after the fields is never read")
        << codecsText({first, second}) << QStringList{"Copy"} << QStringList{"Copy"} << "";

    QTest::newRow("no audio codec")
        << codecsText({codecEntry("mpeg4", "MPEG-4", "video codec"),
                       codecEntry("h263", "H.263", "video codec")})
        << QStringList{"MPEG-4", "H.263"} << QStringList() << "The file lists no audio codec";
    QTest::newRow("header and root lines only")
        << codecsText({}) << QStringList() << QStringList() << "The file lists no video codec";
}

void TestCodecsFile::lists()
{
    QFETCH(QString, content);
    QFETCH(QStringList, video);
    QFETCH(QStringList, audio);
    QFETCH(QString, error);
    const CodecsFile::Result result = CodecsFile::read(content);
    QVERIFY2(error.isEmpty() ? result.ok() : result.error.startsWith(error),
             qPrintable(result.error));
    QVERIFY(result.listsFilled);
    QCOMPARE(result.videoItems, video);
    QCOMPARE(result.audioItems, audio);
    // The first item of each list is selected in turn until a list turns out empty.
    QCOMPARE(result.videoSelected, !video.isEmpty());
    QCOMPARE(result.audioSelected, !video.isEmpty() && !audio.isEmpty());
    if (!result.ok())
        QVERIFY(result.message().startsWith("Error Occured while Loading Codecs.\r\n" + error));
}

void TestCodecsFile::namesAreTrimmedAndFirstDescriptionWins()
{
    const CodecsFile::Result result =
        CodecsFile::read(codecsText({codecEntry("  libx264  ", "H.264", "video codec"),
                                     codecEntry("libx265", "H.264", "video codec")}));
    QCOMPARE(result.table.records().at(0).name, QStringLiteral("  libx264  "));
    QCOMPARE(result.table.name("H.264"), QStringLiteral("libx264"));
    QCOMPARE(result.table.name("h.264"), QString());
}

void TestCodecsFile::readFailureLeavesListsUntouched_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("fails");
    QStringList unclosed = codecEntry("aac", "AAC", "audio codec");
    unclosed[2] = "<description>AAC";
    QTest::newRow("description without closing tag") << codecsText({unclosed}) << true;
    QTest::newRow("five-line entry cut short")
        << crlf({"<codecs>", "<codec>", "<name>aac</name>", "<description>AAC</description>"})
        << true;
    QTest::newRow("spaces only") << QStringLiteral("    ") << false;
}

void TestCodecsFile::readFailureLeavesListsUntouched()
{
    QFETCH(QString, content);
    QFETCH(bool, fails);
    const CodecsFile::Result result = CodecsFile::read(content);
    QCOMPARE(result.ok(), !fails);
    QVERIFY(!result.listsFilled);
    QVERIFY(result.videoItems.isEmpty() && result.audioItems.isEmpty());
}

QTEST_GUILESS_MAIN(TestCodecsFile)
#include "TestCodecsFile.moc"
