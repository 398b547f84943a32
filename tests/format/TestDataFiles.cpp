#include "CodecsFile.h"
#include "DataFileText.h"
#include "PresetsFile.h"

#include <QTest>

using namespace DataFileText;

namespace {
// The records in use, each as "label|params|extension|category".
QStringList records(const PresetTable &table)
{
    QStringList texts;
    for (const PresetRecord &r : table.records().mid(0, table.count()))
        texts << QStringList{r.label, r.params, r.extension, r.category}.join('|');
    return texts;
}
} // namespace

class TestDataFiles : public QObject
{
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
};

void TestDataFiles::reads_data()
{
    QTest::addColumn<QString>("content");
    // Presets: the records (after a failure, those read before it) and the categories.
    // Codecs: the video and the audio codec list.
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QString>("error"); // the start of the failure, empty on success
    const QStringList oneEmpty{"|||"};
    const QStringList emptyCategory{""};
    const QStringList none;
    const QStringList a = presetEntry("A", "-a", "mp4", "First");

    // Reading that began leaves one record with four empty fields.
    QTest::newRow("header and root lines")
        << document("presets", {}) << oneEmpty << emptyCategory << "";
    QTest::newRow("bare LF: one line holding </")
        << document("presets", {a}).replace("\r\n", "\n") << oneEmpty << emptyCategory << "";
    // An indented root line starts an entry, and the lines after it are its fields.
    QTest::newRow("indented root lines")
        << document("presets", {a}, "  ") << QStringList{"A|-a||"} << emptyCategory << "";
    QTest::newRow("categories once, in file order, values untouched")
        << document("presets", {presetEntry(" V&amp;1 ", "-v", "mp4", "Video"),
                                presetEntry("L2", "-b", "mp3", "Audio"),
                                presetEntry("L3", "-c", "mkv", "Video"),
                                presetEntry("L4", "-d", "wav", "audio")})
        << QStringList{" V&amp;1 |-v|mp4|Video", "L2|-b|mp3|Audio", "L3|-c|mkv|Video",
                       "L4|-d|wav|audio"}
        << QStringList{"Video", "Audio", "audio"} << "";

    QStringList free = presetEntry("First", "-first", "avi", "");
    free[4] = "<note>no category here</note>";
    QStringList next = presetEntry("Second", "", "mp4", "Video");
    next[2] = "<comment>params left out</comment>";
    QTest::newRow("entry without category is overwritten")
        << document("presets", {free, next}) << QStringList{"Second|-first|mp4|Video"}
        << QStringList{"Video"} << "";

    QStringList unclosed = presetEntry("B", "-b", "mkv", "Second");
    unclosed[2] = "<params>-b";
    QTest::newRow("params without closing tag")
        << (QStringList{"<presets>"} + a + unclosed).join("\r\n") << QStringList{"A|-a|mp4|First"}
        << none << "Line 10";

    QTest::newRow("32768 lines") << QStringList(32768).join("\r\n") << oneEmpty << emptyCategory
                                 << "";
    QTest::newRow("32769 lines") << QStringList(32769).join("\r\n") << none << none
                                 << "The file has 32769 lines";
    // "<label>" takes columns 1 to 7, so the closing tag starts at column 32767 or 32768.
    const QString longLabel(32759, 'x');
    QTest::newRow("closing tag at column 32767")
        << document("presets", {presetEntry(longLabel, "-p", "mp4", "C")})
        << QStringList{longLabel + "|-p|mp4|C"} << QStringList{"C"} << "";
    QTest::newRow("closing tag at column 32768")
        << document("presets", {presetEntry(longLabel + "x", "-p", "mp4", "C")}) << none << none
        << "Line 4";

    QTest::newRow("codecs: types decide the lists")
        << document("codecs", {codecEntry("copy", "Stream copy", "general"),
                               codecEntry("mpeg4", "MPEG-4", "video codec"),
                               codecEntry("libmp3lame", "MP3", "audio codec"),
                               codecEntry("x", "Wrong case", "Video Codec"),
                               codecEntry("y", "Trailing blank", "video codec "),
                               codecEntry("mpeg4", "MPEG-4", "video codec")})
        << QStringList{"Stream copy", "MPEG-4", "MPEG-4"} << QStringList{"Stream copy", "MP3"}
        << "";
    // The video list is filled and selected before the empty audio list stops loading.
    QTest::newRow("codecs: no audio codec")
        << document("codecs", {codecEntry("mpeg4", "MPEG-4", "video codec")})
        << QStringList{"MPEG-4"} << none << "The file lists no audio codec";
    QTest::newRow("codecs: header and root lines only")
        << document("codecs", {}) << none << none << "The file lists no video codec";
    QStringList noDescriptionEnd = codecEntry("aac", "AAC", "audio codec");
    noDescriptionEnd[2] = "<description>AAC";
    QTest::newRow("codecs: description without closing tag")
        << document("codecs", {noDescriptionEnd}) << none << none << "Line 5";
}

void TestDataFiles::reads()
{
    QFETCH(QString, content);
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QString, error);
    if (QByteArray(QTest::currentDataTag()).startsWith("codecs")) {
        const CodecsFile::Result result = CodecsFile::read(content);
        QVERIFY2(result.ok() == error.isEmpty() &&
                     result.message().startsWith("Error Occured while Loading Codecs.\r\n" + error),
                 qPrintable(result.error));
        QCOMPARE(result.videoItems, first);
        QCOMPARE(result.audioItems, second);
        // The first item of each list is selected in turn until a list turns out empty.
        QCOMPARE(result.videoSelected, !first.isEmpty());
        QCOMPARE(result.audioSelected, !first.isEmpty() && !second.isEmpty());
        return;
    }
    const PresetsFile::Result result = PresetsFile::read(content);
    QVERIFY2(result.ok() == error.isEmpty() &&
                 result.message().startsWith("Error Occured while Loading Presets.\r\n" + error),
             qPrintable(result.error));
    QCOMPARE(records(result.table), first);
    QCOMPARE(result.categories, second);
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "TestDataFiles.moc"
