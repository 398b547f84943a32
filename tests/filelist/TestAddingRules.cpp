#include "AddingRules.h"
#include "MediaProbe.h"
#include "SelectionList.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cstdio>

namespace {
const QString nul(QChar(0));
const char *const kFormatSizeOption = "--format-size";
} // namespace

// The pure rules of adding: paths, extensions, selection lists, size and duration texts.
class TestAddingRules : public QObject
{
    Q_OBJECT
private slots:
    void normalisesDoubledSlashes_data();
    void normalisesDoubledSlashes();
    void rejectsByExtension_data();
    void rejectsByExtension();
    void selectionListRoundTrip_data();
    void selectionListRoundTrip();
    void sizeText_data();
    void sizeText();
    void sizeTextUsesLocaleSeparator();
    void durationTextRoundsAndPads_data();
    void durationTextRoundsAndPads();
};

void TestAddingRules::normalisesDoubledSlashes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inside") << "/v//a.avi"
                            << "/v/a.avi";
    QTest::newRow("leading pair kept") << "//srv//share/a.avi"
                                       << "//srv/share/a.avi";
    QTest::newRow("pairs without overlap") << "/v///a.avi"
                                           << "/v//a.avi";
    QTest::newRow("backslashes are name characters") << "/v/a\\\\b.avi"
                                                     << "/v/a\\\\b.avi";
}

void TestAddingRules::normalisesDoubledSlashes()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(AddingRules::normalisePath(path), expected);
}

void TestAddingRules::rejectsByExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("rejected");
    for (const char *path : {"/m/song.MP3", "/m/notes.txt", "/m/archive.zip", "/m/README",
                             "/m.d/README", "/m/clip.", "/m/clip.mp", "/m/clip.d", "/m/t.cda"})
        QTest::newRow(path) << path << true;
    for (const char *path :
         {"/m/clip.mp4", "/m/clip.xyz", "/m/t.xcda", "/m/a.mp3.avi", "/m/.c.mkv"})
        QTest::newRow(path) << path << false;
}

void TestAddingRules::rejectsByExtension()
{
    QFETCH(QString, path);
    QFETCH(bool, rejected);
    QCOMPARE(AddingRules::isRejectedExtension(AddingRules::extension(path)), rejected);
}

void TestAddingRules::selectionListRoundTrip_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("selection");
    QTest::newRow("one file") << QStringList{"/v/a.avi"} << "/v/a.avi";
    QTest::newRow("folder and names") << QStringList{"/v/a.avi", "/v/b*c d.mkv"}
                                      << QString("/v" + nul + "a.avi" + nul + "b*c d.mkv");
    QTest::newRow("root folder") << QStringList{"/x.avi", "/y.avi"}
                                 << QString("/" + nul + "x.avi" + nul + "y.avi");
    QTest::newRow("folders sharing a prefix") << QStringList{"/v/ab/a.avi", "/v/a/b.avi"}
                                              << QString("/v" + nul + "ab/a.avi" + nul + "a/b.avi");
}

void TestAddingRules::selectionListRoundTrip()
{
    QFETCH(QStringList, chosen);
    QFETCH(QString, selection);
    QCOMPARE(SelectionList::fromPaths(chosen), selection);
    QCOMPARE(SelectionList::toPaths(selection), chosen);
}

void TestAddingRules::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "0 Bytes";
    QTest::newRow("1023") << qint64(1023) << "1023 Bytes";
    QTest::newRow("1024") << qint64(1024) << "1 KB";
    QTest::newRow("1536") << qint64(1536) << "1.5 KB";
    QTest::newRow("1.125 ties to even") << qint64(1152) << "1.12 KB";
    QTest::newRow("1.375 ties to even") << qint64(1408) << "1.38 KB";
    QTest::newRow("1048575") << qint64(1048575) << "1024 KB";
    QTest::newRow("1073741823") << qint64(1073741823) << "1024 MB";
    QTest::newRow("1073741824") << qint64(1073741824) << "1 GB";
    QTest::newRow("largest length") << std::numeric_limits<qint64>::max() << "8589934592 GB";
}

void TestAddingRules::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(MediaProbe::FormatFileSize(bytes), text);
}

void TestAddingRules::sizeTextUsesLocaleSeparator()
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "de_DE.UTF-8");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {kFormatSizeOption, "1536"});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.readAllStandardOutput(), "1,5 KB");
}

void TestAddingRules::durationTextRoundsAndPads_data()
{
    QTest::addColumn<double>("milliseconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "00:00:00";
    QTest::newRow("hours minutes seconds") << 3725000.0 << "01:02:05";
    QTest::newRow("half to even, down") << 2500.0 << "00:00:02";
    QTest::newRow("half to even, up") << 3500.0 << "00:00:04";
    QTest::newRow("carries into the minute") << 59500.0 << "00:01:00";
    QTest::newRow("hundred hours") << 360300000.0 << "100:05:00";
}

void TestAddingRules::durationTextRoundsAndPads()
{
    QFETCH(double, milliseconds);
    QFETCH(QString, text);
    QCOMPARE(MediaProbe::durationText(milliseconds), text);
}

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
