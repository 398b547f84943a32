// The list journal across real ends of the program: a window killed mid-batch with an encoder
// running offers its list back at the next start, and a normal close starts empty; a damaged
// journal is refused alone, and a journal whose copy still runs is never offered.
#include "filelist/FileListModel.h"
#include "filelist/ListJournal.h"
#include "tests/app/JournalRows.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <tuple>

namespace {
QString shown(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

QStringList described(const QVector<FileListRecord> &rows)
{
    QStringList lines;
    for (const FileListRecord &row : rows)
        lines << QString("%1|%2|%3|%4|%5|")
                         .arg(row.Status(), row.FilePath, row.Duration, row.FileSize, row.output) +
                     QString::number(row.durationMs) + '|' + QString::number(row.CheckBox);
    return lines;
}
} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_state;

private slots:
    void init()
    {
        // A state folder of each test's own, for this program and the runs it starts.
        m_state = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_state->path()));
    }

    void killedRunComesBackAndNormalCloseStartsEmpty()
    {
        QTemporaryDir media;
        const QString odd = media.filePath("odd\nname\t\x01 é.avi");
        const QString longClip = media.filePath("long.avi");
        QVERIFY(TestMedia::makeClip(odd, 0.5));
        QVERIFY(TestMedia::makeClip(longClip, 60, true, "320x240"));
        const QString outFolder = media.filePath("out");

        BuiltProgram killed("journal_window", {"yes", outFolder, odd, longClip});
        QTRY_VERIFY_WITH_TIMEOUT(killed.said("ended Complete " + shown(odd)), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(killed.said("running " + shown(longClip)), 20000);
        // Killed once the journal holds the finished row, while the encoder still runs.
        const auto journaled = [&] {
            const FileListRecord row = journalRows(ListJournal::defaultFolder()).value(0);
            return row.Status() == "Complete" && row.FilePath == odd &&
                   row.output.startsWith(outFolder);
        };
        QTRY_VERIFY_WITH_TIMEOUT(journaled(), 10000);
        killed.process.kill();
        QVERIFY(killed.process.waitForFinished(10000));

        BuiltProgram restored("journal_window", {"yes"});
        QVERIFY(restored.ends());
        const QStringList lines = restored.lines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), "asked");
        const QStringList complete = lines.at(1).split(' ');
        QCOMPARE(complete.mid(0, 3), (QStringList{"row", "Complete", shown(odd)}));
        const QString output =
            QString::fromUtf8(QByteArray::fromPercentEncoding(complete.value(3).toLatin1()));
        QVERIFY2(output.startsWith(outFolder + '/') && QFile::exists(output), qPrintable(output));
        QCOMPARE(lines.at(2), "row " + shown("Waiting Conversion") + ' ' + shown(longClip) + ' ');

        // That run closed normally: the next one starts empty, asking nothing.
        BuiltProgram after("journal_window", {"yes"});
        QVERIFY(after.ends());
        QCOMPARE(after.lines(), QStringList());
    }

    void damagedJournalsAreRefusedAloneAndLiveOnesNeverOffered_data()
    {
        QTest::addColumn<QByteArray>("damage"); // how the second journal's bytes are spoilt
        QTest::newRow("cut short") << QByteArray("cut");
        QTest::newRow("a byte changed") << QByteArray("flip");
        QTest::newRow("no journal") << QByteArray("text");
        QTest::newRow("empty") << QByteArray("empty");
    }

    void damagedJournalsAreRefusedAloneAndLiveOnesNeverOffered()
    {
        QFETCH(QByteArray, damage);
        QTemporaryDir folder;
        const QString journals = folder.filePath("journal");
        FileListModel deadList;
        FileListRecord row;
        std::tie(row.FilePath, row.Duration, row.FileSize, row.durationMs, row.CheckBox,
                 row.output) = std::tuple(QStringLiteral("/videos/a\nb") + QChar(0) + "c.mkv",
                                          "00:01:02", "12 MB", 62000, 1, "/out/a.mp4");
        row.status = RowStatus::State::Complete;
        QVERIFY(deadList.append(row, nullptr));
        std::tie(row.status, row.output, row.CheckBox) = std::tuple(RowStatus::percent(40), "", 0);
        QVERIFY(deadList.append(row, nullptr));
        // A copy that still runs keeps its journal to itself.
        FileListModel liveList;
        QVERIFY(liveList.append(row, nullptr));
        ListJournal live(liveList, journals, 0);
        QTRY_COMPARE(journalRows(journals).size(), 1);
        const QDir dir(journals);
        const QStringList liveFiles = dir.entryList({"*.list"});
        {
            // A copy that dies without closing: its journal stays, its lock goes.
            ListJournal dead(deadList, journals, 0);
            QTRY_COMPARE(journalRows(journals).size(), 3);
        }
        QVector<FileListRecord> expected = deadList.records();
        expected[1].status = RowStatus::State::WaitingConversion;

        // A second dead journal, spoilt, which sorts after the good one.
        QStringList deadFiles = dir.entryList({"*.list"});
        deadFiles.removeOne(liveFiles.value(0));
        const QString stem = dir.filePath(deadFiles.value(0).chopped(5));
        QVERIFY(deadFiles.size() == 1);
        QByteArray bytes = fileBytes(stem + ".list");
        const QString spoilt = stem + "zz";
        QVERIFY(QFile::copy(stem + ".lock", spoilt + ".lock"));
        if (damage == "cut")
            bytes.chop(1);
        else if (damage == "flip")
            bytes[bytes.size() / 2] = char(bytes.at(bytes.size() / 2) ^ 0x20);
        else if (damage == "text")
            bytes = "a.mkv\nb.mkv\n";
        else
            bytes.clear();
        QVERIFY(writeFile(spoilt + ".list", bytes));

        FileListModel next;
        {
            ListJournal starting(next, journals, 0);
            QCOMPARE(described(starting.leftOver()), described(expected));
            QVERIFY(!QFile::exists(spoilt + ".list") && !QFile::exists(spoilt + ".lock"));
            starting.dropLeftOver();
            starting.close();
        }
        QCOMPARE(journalRows(journals).size(), 1); // the live copy's
        ListJournal later(next, journals, 0);
        QVERIFY(later.leftOver().isEmpty());
    }
};

QTEST_MAIN(TestJournal)
#include "TestJournal.moc"
