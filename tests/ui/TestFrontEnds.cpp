#include "batch/ConversionQueue.h"
#include "cli/CliRun.h"
#include "cli/JsonReport.h"
#include "tests/ui/WindowFixture.h"

#include <QBuffer>
#include <QFileInfo>

namespace {
// What a batch tells through the queue's typed signals: rows by input name, progress collapsed.
class EventRecorder : public QObject
{
public:
    // stop: called at the first progress of the row that started as the stopAt-th.
    EventRecorder(const ConversionQueue &queue, int stopAt, std::function<void()> stop)
    {
        connect(&queue, &ConversionQueue::rowStarted, this, [this](quint64 key) {
            m_started << key;
            m_events[key] << "started";
        });
        connect(&queue, &ConversionQueue::rowProgress, this,
                [this, stopAt, stop](quint64 key, qint64 mediaMs, int percent) {
                    // Every file here has a known length.
                    const QString event =
                        mediaMs >= 0 && percent >= 0 ? "progress" : "bad progress";
                    if (m_events[key].last() == event)
                        return;
                    m_events[key] << event;
                    if (m_started.indexOf(key) == stopAt - 1)
                        stop();
                });
        connect(&queue, &ConversionQueue::rowEnded, this,
                [this](quint64 key, const RowEnding &ending) {
                    const char *kinds[] = {"Complete", "Failed", "Cancelled", "UnknownFormat"};
                    m_names.insert(key, QFileInfo(ending.input).fileName());
                    m_events[key] << QString("ended %1%2")
                                         .arg(kinds[int(ending.kind)],
                                              ending.reason.isEmpty() ? "" : " with a reason");
                });
        // A notice for the whole batch is told as a row of its own.
        connect(&queue, &ConversionQueue::batchNotice, this, [this](const BatchNotice &notice) {
            m_started << 0;
            m_events[0] << notice.reason;
        });
    }

    // Each row's events in the order they came, the rows in the order they started.
    QStringList events() const
    {
        QStringList told;
        for (const quint64 row : m_started)
            told << m_names.value(row, "?") + ": " + m_events.value(row).join(", ");
        return told;
    }

private:
    QHash<quint64, QStringList> m_events;
    QHash<quint64, QString> m_names; // known once a row ends
    QList<quint64> m_started;
};
} // namespace

// The window and the command line run the same batch with the real encoder, and the queue
// tells both the same rows, kinds and outcomes in the same order: a file that completes, one
// the encoder fails on (too wide for MPEG-4), one that passed the add and then became
// unreadable, and one stopped at its first progress. The window colours each row's end.
class TestFrontEnds : public QObject
{
    Q_OBJECT

private slots:
    void windowAndCommandLineTellTheSameEvents()
    {
        WindowFixture fixture;
        MainWindow *window = fixture.open();
        QVERIFY(window);
        window->formats()->optFormat(1)->setChecked(true); // MPEG-4 and MP3 in AVI
        const QString in = fixture.folder.filePath("in/");
        QVERIFY(QDir().mkpath(in));
        QVERIFY(QFile::copy(TestMedia::instance().clip("mkv"), in + "ok.mkv") &&
                TestMedia::makeClip(in + "wide.mkv", 1, true, "8200x16", 5) &&
                QFile::copy(TestMedia::instance().clip("mkv"), in + "unreadable.mkv") &&
                TestMedia::makeClip(in + "long.mkv", 30, true, "320x240") &&
                QFile::copy(TestMedia::instance().randomBytes(), in + "refused.avi"));
        const QStringList batch = {in + "ok.mkv", in + "wide.mkv", in + "unreadable.mkv",
                                   in + "long.mkv"};
        fixture.dialogs.chosenFiles = batch + QStringList{in + "refused.avi"};
        fixture.click("cmdAddVideoFile");
        QTRY_VERIFY_WITH_TIMEOUT(!window->adder()->isAdding(), 60000);
        fixture.messages.clear(); // the refused file's warning
        QVERIFY(QFile::remove(in + "unreadable.mkv") &&
                QFile::copy(TestMedia::instance().randomBytes(), in + "unreadable.mkv"));

        window->steps()->optOtherFolder->setChecked(true);
        window->steps()->txtOutPath->setText(fixture.folder.filePath("window"));
        EventRecorder shown(*window->queue(), 4, [&fixture] {
            fixture.click("cmdConvert"); // Stop
        });
        QSignalSpy windowDone(window->queue(), &ConversionQueue::batchFinished);
        fixture.click("cmdConvert");
        QVERIFY(windowDone.wait(120000));
        QCOMPARE(fixture.messages.count(), 2); // why each failed row failed

        BatchChoices choices;
        choices.parameters = window->formats()->buildParameters().options;
        choices.extension = window->formats()->outputExtension();
        choices.outputFolder = fixture.folder.filePath("cli");
        QBuffer json;
        json.open(QIODevice::WriteOnly);
        JsonReport report(json);
        CliRun cli(choices, 1, report);
        EventRecorder told(cli.queue(), 4, [&cli] { cli.stop(); });
        QSignalSpy cliDone(&cli, &CliRun::finished);
        cli.start(batch);
        QVERIFY(cliDone.wait(120000));
        QCOMPARE(cliDone.first().first().toInt(), CliRun::StatusStopped);

        const QStringList expected = {"ok.mkv: started, progress, ended Complete",
                                      "wide.mkv: started, ended Failed with a reason",
                                      "unreadable.mkv: started, ended UnknownFormat with a reason",
                                      "long.mkv: started, progress, ended Cancelled"};
        QCOMPARE(shown.events(), expected);
        QCOMPARE(told.events(), expected);

        // The Status texts, and the colours the grid gives each row's end on the Status cell and
        // a refused file on its Status and Duration.
        QCOMPARE(fixture.column(FileListModel::Status),
                 (QStringList{"Complete", "Error", "Error", "Cancelled", "Unkown Format"}));
        QAbstractItemModel *grid = window->steps()->Grid->model();
        QStringList colours; // green, red or none
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (const int column : {FileListModel::Status, FileListModel::Duration})
                colours << grid->index(row, column).data(Qt::ForegroundRole).toString();
        }
        const QString green = "#71b162", red = "#dc0a0a";
        QCOMPARE(colours, (QStringList{green, "", red, "", red, "", red, "", red, red}));
    }
};

QTEST_MAIN(TestFrontEnds)
#include "TestFrontEnds.moc"
