#include "AddingRules.h"
#include "FileAdder.h"
#include "MediaProbe.h"
#include "SelectionList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

// The texts of adding that need no file: selection lists, filters, size and duration texts.
class TestAddingRules : public QObject
{
    Q_OBJECT
private slots:
    void selectionListRoundTrip_data()
    {
        const QString nul(QChar(0));
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("selection");
        QTest::newRow("one file") << QStringList{"/v/a.avi"} << "/v/a.avi";
        // Folder "/" plus a name must not give "//x.avi", which reads as a network path.
        QTest::newRow("root folder")
            << QStringList{"/x.avi", "/y*z.avi"} << QString("/" + nul + "x.avi" + nul + "y*z.avi");
        QTest::newRow("folders sharing a prefix")
            << QStringList{"/v/ab/a.avi", "/v/a/b.avi"}
            << QString("/v" + nul + "ab/a.avi" + nul + "a/b.avi");
    }
    void selectionListRoundTrip()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QString, selection);
        QCOMPARE(SelectionList::fromPaths(chosen), selection);
        QCOMPARE(SelectionList::toPaths(selection), chosen);
    }

    // Every pattern is a plain "*.ext", so the first view lists the common files.
    void openFileFiltersMatchTheirFiles()
    {
        const QVector<FileFilter> filters = FileAdder::openFileFilters();
        QStringList names;
        for (const FileFilter &filter : filters) {
            names << filter.name;
            for (const QString &pattern : filter.patterns)
                QVERIFY2(pattern.startsWith("*.") && !pattern.contains(','), qPrintable(pattern));
        }
        QCOMPARE(names, (QStringList{"Common Video Files",
                                     "MPEG Files(.mpg,*.mpeg,*.mp2,*.mp4,*.mpe,*.m4v)",
                                     "Windows Media Files(*.wmv,*.asf)", "AVI Files(*.avi)",
                                     "QuickTime Files-Ver2 or less(*.mov)", "All Files(*.*)"}));
        for (const char *name : {"a.mp4", "a.mov", "a.m1v", "a.mpg", "a.mkv"})
            QVERIFY2(QDir::match(filters.at(0).patterns, name), name);
    }

    // The help page names only extensions that are refused; the rest go to the encoder.
    void helpPageAgreesWithTheRefusedList()
    {
        QFile page(QCoreApplication::applicationDirPath() + "/Help.html");
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString refused = QString::fromUtf8(page.readAll())
                                    .section("<p id=\"refused\">", 1)
                                    .section("</p>", 0, 0);
        int named = 0;
        for (const auto &match : QRegularExpression("<code>(\\w+)</code>").globalMatch(refused)) {
            ++named;
            QVERIFY2(AddingRules::isRejectedExtension(match.captured(1)),
                     qPrintable(match.captured(1)));
        }
        QVERIFY(named >= 10 && AddingRules::isRejectedExtension(""));
        for (const char *offered : {"png", "gif", "m4a", "opus", "mp4", "xyz", "xcda"})
            QVERIFY2(!AddingRules::isRejectedExtension(offered), offered);
    }

    void sizeAndDurationTexts()
    {
        const QList<QPair<qint64, QString>> sizes = {
            {1023, "1023 Bytes"},
            {1024, "1 KB"},
            {1152, "1.12 KB"}, // ties to even
            {1073741823, "1024 MB"},
            {1073741824, "1 GB"},
            {std::numeric_limits<qint64>::max(), "8589934592 GB"}};
        for (const auto &[bytes, text] : sizes)
            QCOMPARE(MediaProbe::FormatFileSize(bytes), text);
        // Whole seconds are rounded (half to even) before splitting, so no part reads 60.
        QCOMPARE(MediaProbe::durationText(2500.0), "00:00:02");
        QCOMPARE(MediaProbe::durationText(59500.0), "00:01:00");
        QCOMPARE(MediaProbe::durationText(360300000.0), "100:05:00");
    }
};

QTEST_GUILESS_MAIN(TestAddingRules)
#include "TestAddingRules.moc"
