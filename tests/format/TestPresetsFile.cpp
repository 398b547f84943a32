#include "DataFileText.h"
#include "EntryFileReader.h"
#include "PresetsFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace DataFileText;

namespace {
// Records in use, each as "label|params|extension|category".
QStringList records(const PresetTable &table)
{
    QStringList texts;
    for (int i = 0; i < table.count(); ++i) {
        const PresetRecord &r = table.records().at(i);
        texts << QStringList{r.label, r.params, r.extension, r.category}.join('|');
    }
    return texts;
}

QStringList withFirstEntry(const QStringList &tail)
{
    return QStringList{"<?xml version=\"1.0\"?>", "<presets>"} +
           presetEntry("A", "-a", "mp4", "First") + QStringList{"", ""} + tail;
}
} // namespace

class TestPresetsFile : public QObject
{
    Q_OBJECT
private slots:
    void contentWithoutEntries_data();
    void contentWithoutEntries();
    void entries_data();
    void entries();
    void fieldLines_data();
    void fieldLines();
    void failures_data();
    void failures();
    void loadsFromDisk();
};

void TestPresetsFile::contentWithoutEntries_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("categories");
    const QStringList oneEmpty{QString()};
    QTest::newRow("header and root lines") << presetsText({}) << oneEmpty;
    QTest::newRow("bare LF: one line holding </")
        << presetsText({presetEntry("A", "-a", "mp4", "C")}).replace("\r\n", "\n") << oneEmpty;
    QTest::newRow("CR LF pairs alone") << QStringLiteral("\r\n\r\n") << oneEmpty;
    QTest::newRow("32768 empty lines") << crlf(QStringList(EntryFileReader::kMaxLines)) << oneEmpty;
    QTest::newRow("spaces only") << QStringLiteral("     ") << QStringList();
    QTest::newRow("empty file") << QString() << QStringList();
}

void TestPresetsFile::contentWithoutEntries()
{
    QFETCH(QString, content);
    QFETCH(QStringList, categories);
    const PresetsFile::Result result = PresetsFile::read(content);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.categories, categories);
    // Reading that began leaves one record with four empty fields.
    QCOMPARE(records(result.table), categories.isEmpty() ? QStringList() : QStringList{"|||"});
}

void TestPresetsFile::entries_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("categories");

    // An indented header starts an entry; its field lines are the lines after it.
    QTest::newRow("indented root lines") << presetsText({presetEntry("A", "-p", "mp4", "C")}, "  ")
                                         << QStringList{"A|-p||"} << QStringList{""};

    QTest::newRow("categories once, in file order")
        << presetsText(
               {presetEntry("L1", "-a", "mp4", "Video"), presetEntry("L2", "-b", "mp3", "Audio"),
                presetEntry("L3", "-c", "mkv", "Video"), presetEntry("L4", "-d", "wav", "audio")})
        << QStringList{"L1|-a|mp4|Video", "L2|-b|mp3|Audio", "L3|-c|mkv|Video", "L4|-d|wav|audio"}
        << QStringList{"Video", "Audio", "audio"};

    QStringList free = presetEntry("First", "-first", "avi", "");
    free[4] = "<note>no category here</note>";
    QStringList next = presetEntry("Second", "", "mp4", "Video");
    next[2] = "<comment>params left out</comment>";
    QTest::newRow("entry without category is overwritten")
        << presetsText({free, next}) << QStringList{"Second|-first|mp4|Video"}
        << QStringList{"Video"};

    // Without closing lines the next opening line is the unread one, and its fields are
    // skipped because they hold "</".
    QStringList first = presetEntry("A", "-a", "mp4", "First");
    QStringList second = presetEntry("B", "-b", "mkv", "Second");
    first.removeLast();
    second.removeLast();
    QTest::newRow("line after the fields is never read")
        << presetsText({first, second}) << QStringList{"A|-a|mp4|First"} << QStringList{"First"};

    // "<label>" takes columns 1 to 7, so this closing tag starts at column 32767.
    const QString longLabel(32759, 'x');
    QTest::newRow("closing tag at column 32767")
        << presetsText({presetEntry(longLabel, "-p", "mp4", "C")})
        << QStringList{longLabel + "|-p|mp4|C"} << QStringList{"C"};
}

void TestPresetsFile::entries()
{
    QFETCH(QString, content);
    QFETCH(QStringList, records);
    QFETCH(QStringList, categories);
    const PresetsFile::Result result = PresetsFile::read(content);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(::records(result.table), records);
    QCOMPARE(result.categories, categories);
}

void TestPresetsFile::fieldLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("label"); // empty when the line fails
    QTest::newRow("plain") << "<label>A</label>"
                           << "A";
    QTest::newRow("closing tag in other case") << "<label>A</LABEL>"
                                               << "A";
    QTest::newRow("opening tag in other case: ignored") << "<LABEL>A</LABEL>"
                                                        << "old";
    QTest::newRow("indented, blanks and entities kept") << "\t  <label> A &amp; B </label>"
                                                        << " A &amp; B ";
    QTest::newRow("first closing tag ends the value") << "<label>a</label>b</label>"
                                                      << "a";
    QTest::newRow("empty tag: ignored") << "<>x"
                                        << "old";
    QTest::newRow("other tag: ignored") << "<title>x</title>"
                                        << "old";
    QTest::newRow("no tag at all") << "just text"
                                   << "";
    QTest::newRow("opening tag never closed") << "<label"
                                              << "";
    QTest::newRow("> before <") << "x>y<label>"
                                << "";
    QTest::newRow("closing tag missing") << "<label>A"
                                         << "";
    QTest::newRow("closing tag misspelt") << "<label>A</labl>"
                                          << "";
}

void TestPresetsFile::fieldLines()
{
    QFETCH(QString, line);
    QFETCH(QString, label);
    // The line under test is the last field line of the entry, line 7 of the file.
    QStringList entry = presetEntry("old", "-p", "mp4", "C");
    entry[3] = "<category>C</category>";
    entry[4] = line;
    const PresetsFile::Result result = PresetsFile::read(presetsText({entry}));
    if (label.isEmpty()) {
        QVERIFY2(result.error.startsWith("Line 7"), qPrintable(result.error));
        QVERIFY(result.categories.isEmpty());
    } else {
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.table.records().at(0).label, label);
    }
}

void TestPresetsFile::failures_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("kept");
    QTest::newRow("line of spaces at the end") << crlf(withFirstEntry({"   "})) << "Line 11" << 1;
    QStringList unclosed = presetEntry("B", "-b", "mkv", "Second");
    unclosed[2] = "<params>-b";
    QTest::newRow("params without closing tag") << crlf(withFirstEntry(unclosed)) << "Line 13" << 1;
    QTest::newRow("32769 lines") << crlf(QStringList(EntryFileReader::kMaxLines + 1))
                                 << "The file has 32769 lines" << 0;
    QTest::newRow("closing tag at column 32768")
        << presetsText({presetEntry(QString(32760, 'x'), "-p", "mp4", "C")}) << "Line 4" << 0;
    QTest::newRow("opening tag at column 32768")
        << presetsText({presetEntry("A", "-p", "mp4", "C")})
               .replace("<label>", QString(32767, ' ') + "<label>")
        << "Line 4" << 0;
}

void TestPresetsFile::failures()
{
    QFETCH(QString, content);
    QFETCH(QString, where);
    QFETCH(int, kept);
    const PresetsFile::Result result = PresetsFile::read(content);
    QVERIFY2(result.error.startsWith(where), qPrintable(result.error));
    QVERIFY(result.message().startsWith("Error Occured while Loading Presets.\r\n" + where));
    QVERIFY(result.categories.isEmpty());
    // What was read before the failure stays.
    QCOMPARE(result.table.count(), kept);
    if (kept)
        QCOMPARE(result.table.params("First", "A", "mp4"), QStringLiteral("-a"));
}

void TestPresetsFile::loadsFromDisk()
{
    QTemporaryDir dir;
    const PresetsFile::Result missing = PresetsFile::load(dir.filePath("presets.xml"));
    QVERIFY2(missing.error.contains(dir.filePath("presets.xml")), qPrintable(missing.error));
    QVERIFY(!PresetsFile::load(dir.path()).ok());

    const QString path = writeFile(dir.path(), "presets.xml",
                                   presetsText({presetEntry("Vidéo ½", "-a", "mp4", "Catégorie")}));
    const PresetsFile::Result read = PresetsFile::load(path);
    QCOMPARE(read.categories, QStringList{"Catégorie"});
    QCOMPARE(read.table.records().at(0).label, QStringLiteral("Vidéo ½"));
}

QTEST_GUILESS_MAIN(TestPresetsFile)
#include "TestPresetsFile.moc"
