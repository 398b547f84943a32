#include "ConversionQueue.h"
#include "FileListModel.h"
#include "TestMedia.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The queue with no widget at all, as a command-line front end drives it.
class TestConversionQueue : public QObject
{
    Q_OBJECT

private slots:
    void runsWithoutWidgets()
    {
        QVERIFY(!qobject_cast<QCoreApplication *>(QCoreApplication::instance())
                     ->inherits("QGuiApplication"));
        QTemporaryDir dir;
        FileListModel list;
        for (const char *container : {"mp4", "mkv", "avi"}) {
            FileListRecord record;
            record.FilePath = TestMedia::instance().clip(container);
            record.durationMs = 1000;
            QVERIFY(list.append(record, nullptr));
        }
        ConversionQueue queue(list);
        QSignalSpy failures(&queue, &ConversionQueue::rowFailed);
        QSignalSpy finished(&queue, &ConversionQueue::batchFinished);
        // As the first row starts, the last one is taken away and a file is appended: the
        // batch converts exactly the rows that are there, and writes each status to its row.
        bool changed = false;
        connect(&list, &QAbstractItemModel::dataChanged, this, [&] {
            if (changed || !list.record(0).status.isRunning())
                return;
            changed = true;
            QVector<FileListRecord> rows = list.records();
            rows.removeLast();
            QVERIFY(list.rebuild(rows, nullptr));
            FileListRecord late;
            late.FilePath = TestMedia::instance().clip("mov");
            late.durationMs = 1000;
            QVERIFY(list.append(late, nullptr));
        });
        queue.start({"-vcodec mpeg4 -acodec mp2", "avi", false, dir.path(), QString()}, false, 2);
        QVERIFY(queue.IsConverting());
        QVERIFY(finished.wait(120000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(failures.count(), 0);
        for (int row = 0; row < list.rowCount(); ++row)
            QCOMPARE(list.record(row).status.state(), RowStatus::State::Complete);
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(queue.progress().filesDone(), 3);
        // All inputs are named clip: two at once never pick the same output name.
        for (const char *name : {"clip.avi", "clip_Converted.avi", "clip_Converted_0.avi"})
            QVERIFY2(QFileInfo(dir.filePath(name)).size() > 0, qPrintable(name));
        QVERIFY(!QFileInfo::exists(dir.filePath("clip_Converted_1.avi")));
    }
};

QTEST_GUILESS_MAIN(TestConversionQueue)
#include "TestConversionQueue.moc"
