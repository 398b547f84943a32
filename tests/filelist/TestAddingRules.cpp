#include "AddingRules.h"
#include "SelectionList.h"

#include <QTest>

class TestAddingRules : public QObject
{
    Q_OBJECT
private slots:
    void normalisesDoubledSlashes_data();
    void normalisesDoubledSlashes();
    void acceptsOrRejectsByExtension_data();
    void acceptsOrRejectsByExtension();
    void recognisesCdTracks();
    void selectionListToPaths_data();
    void selectionListToPaths();
    void dialogAnswerBecomesSelectionList_data();
    void dialogAnswerBecomesSelectionList();
};

void TestAddingRules::normalisesDoubledSlashes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("clean") << "/v/a.avi" << "/v/a.avi";
    QTest::newRow("inside") << "/v//a.avi" << "/v/a.avi";
    QTest::newRow("root") << "//x.avi" << "//x.avi";
    QTest::newRow("leading pair kept, rest repaired") << "//srv//share//a.avi" << "//srv/share/a.avi";
    QTest::newRow("pairs without overlap") << "/v///a.avi" << "/v//a.avi";
    QTest::newRow("backslash is a name character") << "/v/a\\\\b.avi" << "/v/a\\\\b.avi";
}

void TestAddingRules::normalisesDoubledSlashes()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(AddingRules::normalisePath(path), expected);
}

void TestAddingRules::acceptsOrRejectsByExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("rejected");
    QTest::newRow("mp3 upper case") << "/m/song.MP3" << true;
    QTest::newRow("txt") << "/m/notes.txt" << true;
    QTest::newRow("zip") << "/m/archive.zip" << true;
    QTest::newRow("no extension") << "/m/README" << true;
    QTest::newRow("dot in folder only") << "/m.d/README" << true;
    QTest::newRow("trailing dot") << "/m/clip." << true;
    QTest::newRow("prefix of a listed one") << "/m/clip.mp" << true;
    QTest::newRow("single letter prefix") << "/m/clip.d" << true;
    QTest::newRow("cda") << "/m/track01.cda" << true;
    QTest::newRow("mp4") << "/m/clip.mp4" << false;
    QTest::newRow("unknown") << "/m/clip.xyz" << false;
    QTest::newRow("xcda") << "/m/track.xcda" << false;
    QTest::newRow("last dot counts") << "/m/song.mp3.avi" << false;
    QTest::newRow("hidden clip") << "/m/.clip.mkv" << false;
}

void TestAddingRules::acceptsOrRejectsByExtension()
{
    QFETCH(QString, path);
    QFETCH(bool, rejected);
    QCOMPARE(AddingRules::isRejectedExtension(AddingRules::extension(path)), rejected);
}

void TestAddingRules::recognisesCdTracks()
{
    QVERIFY(AddingRules::isCdTrack("/m/track.xcda"));
    QVERIFY(AddingRules::isCdTrack("/m/TRACK.XCDA"));
    QVERIFY(!AddingRules::isCdTrack("/m/cda.avi"));
}

void TestAddingRules::selectionListToPaths_data()
{
    const QChar nul(0);
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("one full path") << "/v/a.avi" << QStringList{"/v/a.avi"};
    QTest::newRow("folder and names") << QString("/v" + QString(nul) + "a.avi" + nul + "b.mkv")
                                      << QStringList{"/v/a.avi", "/v/b.mkv"};
    QTest::newRow("root folder") << QString("/" + QString(nul) + "x.avi" + nul + "y.avi")
                                 << QStringList{"/x.avi", "/y.avi"};
    QTest::newRow("name with star and blanks")
        << QString("/v" + QString(nul) + "a*b c.avi") << QStringList{"/v/a*b c.avi"};
}

void TestAddingRules::selectionListToPaths()
{
    QFETCH(QString, selection);
    QFETCH(QStringList, paths);
    QCOMPARE(SelectionList::toPaths(selection), paths);
}

void TestAddingRules::dialogAnswerBecomesSelectionList_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("selection");
    const QString nul(QChar(0));
    QTest::newRow("one file") << QStringList{"/v/a.avi"} << "/v/a.avi";
    QTest::newRow("two files") << QStringList{"/v/a.avi", "/v/b.mkv"}
                               << QString("/v" + nul + "a.avi" + nul + "b.mkv");
    QTest::newRow("root") << QStringList{"/x.avi", "/y.avi"} << QString("/" + nul + "x.avi" + nul + "y.avi");
    QTest::newRow("different folders") << QStringList{"/v/s/a.avi", "/v/t/b.avi"}
                                       << QString("/v" + nul + "s/a.avi" + nul + "t/b.avi");
    QTest::newRow("sibling with a common prefix") << QStringList{"/v/ab/a.avi", "/v/a/b.avi"}
                                                  << QString("/v" + nul + "ab/a.avi" + nul + "a/b.avi");
}

void TestAddingRules::dialogAnswerBecomesSelectionList()
{
    QFETCH(QStringList, chosen);
    QFETCH(QString, selection);
    QCOMPARE(SelectionList::fromPaths(chosen), selection);
    QCOMPARE(SelectionList::toPaths(selection), chosen);
}

QTEST_GUILESS_MAIN(TestAddingRules)
#include "TestAddingRules.moc"
