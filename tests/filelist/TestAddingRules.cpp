#include "AddingRules.h"
#include "FileAdder.h"
#include "MediaProbe.h"
#include "SelectionList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>

namespace {
const QString nul(QChar(0));
const char *const kFormatSizeOption = "--format-size";
} // namespace

// The texts of adding that need no file: selection lists, size and duration texts.
class TestAddingRules : public QObject
{
    Q_OBJECT
private slots:
    void selectionListRoundTrip_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("selection");
        QTest::newRow("one file") << QStringList{"/v/a.avi"} << "/v/a.avi";
        QTest::newRow("folder and names") << QStringList{"/v/a.avi", "/v/b*c d.mkv"}
                                          << QString("/v" + nul + "a.avi" + nul + "b*c d.mkv");
        // Folder "/" plus a name must not give "//x.avi", which reads as a network path.
        QTest::newRow("root folder")
            << QStringList{"/x.avi", "/y.avi"} << QString("/" + nul + "x.avi" + nul + "y.avi");
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
        for (const char *name : {"a.mpg", "a.m1v"})
            QVERIFY2(QDir::match(filters.at(1).patterns, name), name);
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
        QVERIFY(named >= 10);
        QVERIFY(AddingRules::isRejectedExtension(""));
        for (const char *offered : {"png", "gif", "m4a", "opus", "mp4", "xyz", "xcda"})
            QVERIFY2(!AddingRules::isRejectedExtension(offered), offered);
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << qint64(0) << "0 Bytes";
        QTest::newRow("1023") << qint64(1023) << "1023 Bytes";
        QTest::newRow("1024") << qint64(1024) << "1 KB";
        QTest::newRow("1536") << qint64(1536) << "1.5 KB";
        QTest::newRow("1.125 ties to even") << qint64(1152) << "1.12 KB";
        QTest::newRow("1073741823") << qint64(1073741823) << "1024 MB";
        QTest::newRow("1073741824") << qint64(1073741824) << "1 GB";
        QTest::newRow("largest length") << std::numeric_limits<qint64>::max() << "8589934592 GB";
    }
    void sizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(MediaProbe::FormatFileSize(bytes), text);
    }

    void sizeTextUsesLocaleSeparator()
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "de_DE.UTF-8");
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {kFormatSizeOption, "1536"});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.readAllStandardOutput(), "1,5 KB");
    }

    // Whole seconds are rounded before splitting, so no part ever reads 60.
    void durationText_data()
    {
        QTest::addColumn<double>("milliseconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("half to even") << 2500.0 << "00:00:02";
        QTest::newRow("carries into the minute") << 59500.0 << "00:01:00";
        QTest::newRow("hundred hours") << 360300000.0 << "100:05:00";
    }
    void durationText()
    {
        QFETCH(double, milliseconds);
        QFETCH(QString, text);
        QCOMPARE(MediaProbe::durationText(milliseconds), text);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The system locale is read once at start, so another one is tried in a child run.
    if (argc == 3 && qstrcmp(argv[1], kFormatSizeOption) == 0) {
        std::fputs(qPrintable(MediaProbe::FormatFileSize(QByteArray(argv[2]).toLongLong())),
                   stdout);
        return 0;
    }
    TestAddingRules test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestAddingRules.moc"
