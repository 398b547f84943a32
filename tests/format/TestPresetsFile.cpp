#include "EntryFileReader.h"
#include "PresetsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kHeader = QStringLiteral("<?xml version=\"1.0\"?>");

QString crlf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

QStringList entry(const QString &label, const QString &params, const QString &extension,
                  const QString &category)
{
    return {QStringLiteral("<preset>"),
            QStringLiteral("<label>%1</label>").arg(label),
            QStringLiteral("<params>%1</params>").arg(params),
            QStringLiteral("<extension>%1</extension>").arg(extension),
            QStringLiteral("<category>%1</category>").arg(category),
            QStringLiteral("</preset>")};
}

QStringList file(const QList<QStringList> &entries)
{
    QStringList lines = {kHeader, QStringLiteral("<presets>")};
    for (const QStringList &entryLines : entries)
        lines += entryLines;
    lines << QStringLiteral("</presets>") << QString();
    return lines;
}
} // namespace

class TestPresetsFile : public QObject
{
    Q_OBJECT
private slots:
    void contentWithoutEntries_data();
    void contentWithoutEntries();
    void rootLinesAreRecognisedOnlyUnindented();
    void categoriesOnceInFileOrder();
    void entryWithoutCategoryIsOverwritten();
    void lineAfterTheFieldsIsNeverRead();
    void fieldLines_data();
    void fieldLines();
    void failureKeepsRecordsButFillsNoList_data();
    void failureKeepsRecordsButFillsNoList();
    void sixteenBitLimits_data();
    void sixteenBitLimits();
    void loadsFromDisk();
};

void TestPresetsFile::contentWithoutEntries_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("categories");
    const QStringList oneEmpty{QString()};
    QTest::newRow("header and root lines only")
        << crlf({kHeader, QStringLiteral("<presets>"), QStringLiteral("</presets>")}) << 1
        << oneEmpty;
    QTest::newRow("bare LF makes one line holding </")
        << QStringList{kHeader, "<presets>", "<preset>", "<label>A</label>", "<params>p</params>",
                       "<extension>e</extension>", "<category>C</category>", "</preset>",
                       "</presets>"}
               .join('\n')
        << 1 << oneEmpty;
    QTest::newRow("CR LF pairs alone are not blank") << QStringLiteral("\r\n\r\n") << 1 << oneEmpty;
    QTest::newRow("spaces only") << QStringLiteral("     ") << 0 << QStringList();
    QTest::newRow("empty file") << QString() << 0 << QStringList();
}

void TestPresetsFile::contentWithoutEntries()
{
    QFETCH(QString, content);
    QFETCH(int, count);
    QFETCH(QStringList, categories);
    const PresetsFile::Result result = PresetsFile::read(content);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.count(), count);
    QCOMPARE(result.categories, categories);
    for (int i = 0; i < count; ++i) {
        const PresetRecord &record = result.table.records().at(i);
        QVERIFY(record.label.isEmpty() && record.params.isEmpty() && record.extension.isEmpty()
                && record.category.isEmpty());
    }
}

void TestPresetsFile::rootLinesAreRecognisedOnlyUnindented()
{
    // The indented root line starts an entry, so "<preset>" becomes its first field line and
    // the category line falls on the line that is never read.
    QStringList lines = file({entry("A", "-p", "mp4", "C")});
    lines[1] = QStringLiteral("  <presets>");
    const PresetsFile::Result result = PresetsFile::read(crlf(lines));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.count(), 1);
    const PresetRecord &record = result.table.records().at(0);
    QCOMPARE(record.label, QStringLiteral("A"));
    QCOMPARE(record.extension, QStringLiteral("mp4"));
    QCOMPARE(record.category, QString());
    QCOMPARE(result.categories, QStringList{QString()});
}

void TestPresetsFile::categoriesOnceInFileOrder()
{
    const PresetsFile::Result result = PresetsFile::read(crlf(file({
        entry("L1", "-a", "mp4", "Video"),
        entry("L2", "-b", "mp3", "Audio"),
        entry("L3", "-c", "mkv", "Video"),
        entry("L4", "-d", "wav", "audio"),
    })));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.categories, (QStringList{"Video", "Audio", "audio"}));
    QCOMPARE(result.table.count(), 4);
    QStringList labels;
    for (const PresetRecord &record : result.table.records())
        labels << record.label;
    QCOMPARE(labels, (QStringList{"L1", "L2", "L3", "L4"}));
}

void TestPresetsFile::entryWithoutCategoryIsOverwritten()
{
    QStringList first = entry("First", "-first", "avi", QString());
    first[4] = QStringLiteral("<note>no category here</note>");
    QStringList second = entry("Second", "-second", "mp4", "Video");
    second[2] = QStringLiteral("<comment>params left out</comment>");

    const PresetsFile::Result result = PresetsFile::read(crlf(file({first, second})));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.count(), 1);
    const PresetRecord &record = result.table.records().at(0);
    QCOMPARE(record.label, QStringLiteral("Second"));
    QCOMPARE(record.params, QStringLiteral("-first"));
    QCOMPARE(record.extension, QStringLiteral("mp4"));
    QCOMPARE(record.category, QStringLiteral("Video"));
}

void TestPresetsFile::lineAfterTheFieldsIsNeverRead()
{
    // Without closing lines the next entry's opening line falls on the unread line, and
    // its field lines, all holding "</", are skipped.
    QStringList first = entry("A", "-a", "mp4", "First");
    QStringList second = entry("B", "-b", "mkv", "Second");
    first.removeLast();
    second.removeLast();
    const PresetsFile::Result result = PresetsFile::read(crlf(file({first, second})));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.count(), 1);
    QCOMPARE(result.categories, QStringList{"First"});
}

void TestPresetsFile::fieldLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("fails");
    QTest::newRow("plain") << "<label>A</label>" << "A" << false;
    QTest::newRow("closing tag in other case") << "<label>A</LABEL>" << "A" << false;
    QTest::newRow("opening tag in other case is ignored") << "<LABEL>A</LABEL>" << "old" << false;
    QTest::newRow("indented, blanks and entities kept")
        << "\t  <label> A &amp; B </label>" << " A &amp; B " << false;
    QTest::newRow("first closing tag ends the value") << "<label>a</label>b</label>" << "a" << false;
    QTest::newRow("empty value") << "<label></label>" << "" << false;
    QTest::newRow("empty tag is ignored") << "<>x" << "old" << false;
    QTest::newRow("other tag is ignored") << "<title>x</title>" << "old" << false;
    QTest::newRow("no tag at all") << "just text" << "" << true;
    QTest::newRow("opening tag never closed") << "<label" << "" << true;
    QTest::newRow("> before <") << "x>y<label>" << "" << true;
    QTest::newRow("closing tag missing") << "<label>A" << "" << true;
    QTest::newRow("closing tag misspelt") << "<label>A</labl>" << "" << true;
}

void TestPresetsFile::fieldLines()
{
    QFETCH(QString, line);
    QFETCH(QString, label);
    QFETCH(bool, fails);
    // The line under test is the last field line of the entry, line 7 of the file.
    QStringList lines = file({entry("old", "-p", "mp4", "C")});
    lines[5] = QStringLiteral("<category>C</category>");
    lines[6] = line;
    const PresetsFile::Result result = PresetsFile::read(crlf(lines));
    if (fails) {
        QVERIFY(!result.ok());
        QVERIFY2(result.error.startsWith(QStringLiteral("Line 7")), qPrintable(result.error));
        QVERIFY(result.categories.isEmpty());
        return;
    }
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.records().at(0).label, label);
}

void TestPresetsFile::failureKeepsRecordsButFillsNoList_data()
{
    QTest::addColumn<QStringList>("tail");
    QTest::addColumn<QString>("where");
    QTest::newRow("line of spaces at the end") << QStringList{"   "} << "Line 11";
    QStringList unclosed = entry("B", "-b", "mkv", "Second");
    unclosed[2] = QStringLiteral("<params>-b");
    QTest::newRow("params without closing tag") << unclosed << "Line 13";
}

void TestPresetsFile::failureKeepsRecordsButFillsNoList()
{
    QFETCH(QStringList, tail);
    QFETCH(QString, where);
    QStringList lines = {kHeader, QStringLiteral("<presets>")};
    lines += entry("A", "-a", "mp4", "First");
    lines += QStringList{QString(), QString()};
    lines += tail;

    const PresetsFile::Result result = PresetsFile::read(crlf(lines));
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(where), qPrintable(result.error));
    QVERIFY(result.message().startsWith(
        QStringLiteral("Error Occured while Loading Presets.\r\n") + where));
    QVERIFY(result.categories.isEmpty());
    QCOMPARE(result.table.count(), 1);
    QCOMPARE(result.table.records().at(0).category, QStringLiteral("First"));
    QCOMPARE(result.table.params("First", "A", "mp4"), QStringLiteral("-a"));
}

void TestPresetsFile::sixteenBitLimits_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("fails");
    QStringList lines(EntryFileReader::kMaxLines);
    QTest::newRow("32768 lines") << crlf(lines) << false;
    lines << QString();
    QTest::newRow("32769 lines") << crlf(lines) << true;

    const auto withLabel = [](const QString &value) {
        QStringList shape = file({entry(value, "-p", "mp4", "C")});
        return crlf(shape);
    };
    // "<label>" fills columns 1 to 7, so the closing tag starts at column 8 + the value length.
    QTest::newRow("closing tag at column 32767") << withLabel(QString(32759, 'x')) << false;
    QTest::newRow("closing tag at column 32768") << withLabel(QString(32760, 'x')) << true;
    QTest::newRow("opening tag at column 32768")
        << crlf(file({entry("A", "-p", "mp4", "C")}))
               .replace("<label>", QString(32767, ' ') + "<label>")
        << true;
}

void TestPresetsFile::sixteenBitLimits()
{
    QFETCH(QString, content);
    QFETCH(bool, fails);
    const PresetsFile::Result result = PresetsFile::read(content);
    QCOMPARE(result.ok(), !fails);
}

void TestPresetsFile::loadsFromDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("presets.xml"));

    const PresetsFile::Result missing = PresetsFile::load(path);
    QVERIFY(!missing.ok());
    QVERIFY(missing.message().startsWith(QStringLiteral("Error Occured while Loading Presets.\r\n")));
    QVERIFY2(missing.error.contains(path), qPrintable(missing.error));
    QCOMPARE(missing.table.count(), 0);

    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(crlf(file({entry("Vidéo ½", "-a", "mp4", "Catégorie")})).toUtf8());
    out.close();
    const PresetsFile::Result read = PresetsFile::load(path);
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(read.categories, QStringList{QStringLiteral("Catégorie")});
    QCOMPARE(read.table.records().at(0).label, QStringLiteral("Vidéo ½"));

    const PresetsFile::Result folder = PresetsFile::load(dir.path());
    QVERIFY(!folder.ok());
}

QTEST_GUILESS_MAIN(TestPresetsFile)
#include "TestPresetsFile.moc"
