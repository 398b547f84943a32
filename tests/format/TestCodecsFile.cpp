#include "CodecsFile.h"

#include <QTest>

namespace {
QString crlf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

QStringList entry(const QString &name, const QString &description, const QString &type)
{
    return {QStringLiteral("<codec>"), QStringLiteral("<name>%1</name>").arg(name),
            QStringLiteral("<description>%1</description>").arg(description),
            QStringLiteral("<type>%1</type>").arg(type), QStringLiteral("</codec>")};
}

QString file(const QList<QStringList> &entries, const QString &rootIndent = QString())
{
    QStringList lines = {rootIndent + QStringLiteral("<?xml version=\"1.0\"?>"),
                         rootIndent + QStringLiteral("<codecs>")};
    for (const QStringList &entryLines : entries)
        lines += entryLines;
    lines << rootIndent + QStringLiteral("</codecs>") << QString();
    return crlf(lines);
}
} // namespace

class TestCodecsFile : public QObject
{
    Q_OBJECT
private slots:
    void typesDecideTheLists();
    void namesAreTrimmedAndFirstDescriptionWins();
    void indentedRootLinesAreSkipped();
    void entryWithoutDescriptionIsOverwritten();
    void lineAfterTheFieldsIsNeverRead();
    void emptyListStopsLoading_data();
    void emptyListStopsLoading();
    void readFailureLeavesListsUntouched_data();
    void readFailureLeavesListsUntouched();
};

void TestCodecsFile::typesDecideTheLists()
{
    const CodecsFile::Result result = CodecsFile::read(file({
        entry("copy", "Stream copy", "general"),
        entry("mpeg4", "MPEG-4", "video codec"),
        entry("libmp3lame", "MP3", "audio codec"),
        entry("x", "Wrong case", "Video Codec"),
        entry("y", "Trailing blank", "video codec "),
        entry("mpeg4", "MPEG-4", "video codec"),
        entry("aac", "AAC", "audio codec"),
    }));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(result.listsFilled);
    QCOMPARE(result.table.count(), 7);
    QCOMPARE(result.videoItems, (QStringList{"Stream copy", "MPEG-4", "MPEG-4"}));
    QCOMPARE(result.audioItems, (QStringList{"Stream copy", "MP3", "AAC"}));
    QVERIFY(result.videoSelected && result.audioSelected);
}

void TestCodecsFile::namesAreTrimmedAndFirstDescriptionWins()
{
    const CodecsFile::Result result = CodecsFile::read(file({
        entry("  libx264  ", "H.264", "video codec"),
        entry("libx265", "H.264", "video codec"),
        entry("aac", "AAC", "audio codec"),
    }));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.records().at(0).name, QStringLiteral("  libx264  "));
    QCOMPARE(result.table.name(QStringLiteral("H.264")), QStringLiteral("libx264"));
    QCOMPARE(result.table.name(QStringLiteral("h.264")), QString());
}

void TestCodecsFile::indentedRootLinesAreSkipped()
{
    const CodecsFile::Result result =
        CodecsFile::read(file({entry("mpeg4", "MPEG-4", "video codec"),
                               entry("aac", "AAC", "audio codec")},
                              QStringLiteral("   ")));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.count(), 2);
    QCOMPARE(result.videoItems, QStringList{"MPEG-4"});
    QCOMPARE(result.audioItems, QStringList{"AAC"});
}

void TestCodecsFile::entryWithoutDescriptionIsOverwritten()
{
    QStringList first = entry("first", QString(), "video codec");
    QStringList second = entry("second", "Second", "audio codec");
    second[3] = QStringLiteral("<kind>no type line</kind>");
    const CodecsFile::Result result =
        CodecsFile::read(file({first, second, entry("mpeg4", "MPEG-4", "video codec"),
                               entry("aac", "AAC", "audio codec")}));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.count(), 3);
    const CodecRecord &merged = result.table.records().at(0);
    QCOMPARE(merged.name, QStringLiteral("second"));
    QCOMPARE(merged.description, QStringLiteral("Second"));
    QCOMPARE(merged.type, QStringLiteral("video codec"));
    QCOMPARE(result.videoItems, (QStringList{"Second", "MPEG-4"}));
}

void TestCodecsFile::lineAfterTheFieldsIsNeverRead()
{
    QStringList first = entry("copy", "Copy", "general");
    QStringList second = entry("aac", "AAC", "audio codec");
    first.removeLast();
    second.removeLast();
    const CodecsFile::Result result = CodecsFile::read(file({first, second}));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.table.count(), 1);
    QCOMPARE(result.audioItems, QStringList{"Copy"});
}

void TestCodecsFile::emptyListStopsLoading_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("video");
    QTest::addColumn<QStringList>("audio");
    QTest::addColumn<bool>("videoSelected");
    QTest::newRow("no audio codec")
        << file({entry("mpeg4", "MPEG-4", "video codec"), entry("h263", "H.263", "video codec")})
        << QStringList{"MPEG-4", "H.263"} << QStringList() << true;
    QTest::newRow("no video codec") << file({entry("aac", "AAC", "audio codec")}) << QStringList()
                                    << QStringList{"AAC"} << false;
    QTest::newRow("header and root lines only") << file({}) << QStringList() << QStringList()
                                                << false;
}

void TestCodecsFile::emptyListStopsLoading()
{
    QFETCH(QString, content);
    QFETCH(QStringList, video);
    QFETCH(QStringList, audio);
    QFETCH(bool, videoSelected);
    const CodecsFile::Result result = CodecsFile::read(content);
    QVERIFY(!result.ok());
    QVERIFY(result.message().startsWith(QStringLiteral("Error Occured while Loading Codecs.\r\n")));
    QVERIFY(result.listsFilled);
    QCOMPARE(result.videoItems, video);
    QCOMPARE(result.audioItems, audio);
    QCOMPARE(result.videoSelected, videoSelected);
    QVERIFY(!result.audioSelected);
}

void TestCodecsFile::readFailureLeavesListsUntouched_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("fails");
    QStringList unclosed = entry("aac", "AAC", "audio codec");
    unclosed[2] = QStringLiteral("<description>AAC");
    QTest::newRow("description without closing tag")
        << file({entry("mpeg4", "MPEG-4", "video codec"), unclosed}) << true;
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
