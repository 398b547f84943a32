#include "CVideoConv.h"
#include "ConversionQueue.h"
#include "FileGrid.h"
#include "FileListModel.h"
#include "FileListStatus.h"
#include "FormatPanel.h"
#include "StepsFrame.h"
#include "TestMedia.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <unistd.h>

namespace {
const QColor kGreen(113, 177, 98);
const QColor kRed(220, 10, 10);

bool isNumber(const QString &text)
{
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

// Whether the encoder reads the file through to its end without an error.
bool playable(const QString &path)
{
    QProcess encoder;
    encoder.start(TestMedia::encoder(), {"-v", "error", "-nostdin", "-i", path, "-f", "null", "-"});
    return encoder.waitForFinished(60000) && encoder.exitStatus() == QProcess::NormalExit &&
           encoder.exitCode() == 0;
}

// Children of this process that are still alive (the encoder, if it outlived its row).
int liveChildren()
{
    int count = 0;
    const QStringList entries = QDir("/proc").entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toInt() == ::getpid() && fields.at(0) != "Z")
            ++count;
    }
    return count;
}
} // namespace

class TestBatch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    QList<QPair<int, QString>> m_statuses; // every Status written, with its row
    std::function<void(int, const QString &)> m_onStatus;

    StepsFrame *steps() const { return m_window->steps(); }
    FileListModel *list() const { return m_window->fileList(); }
    QString work(const QString &name) const { return m_fixture->folder.filePath(name); }

    QStringList copyClips(const QStringList &names)
    {
        QStringList paths;
        const QStringList containers = {"avi", "mp4", "mkv"};
        for (int i = 0; i < names.size(); ++i) {
            QFile::copy(TestMedia::instance().clip(containers.at(i % 3)), work(names.at(i)));
            paths << work(names.at(i));
        }
        return paths;
    }

    void addThroughTheDialog(const QStringList &paths)
    {
        m_fixture->dialogs.chosenFiles = paths;
        QTest::mouseClick(steps()->cmdAddVideoFile, Qt::LeftButton);
    }

    // Runs f once, from the event loop, the first time row shows a percentage.
    void whenRowShowsProgress(int row, std::function<void()> action)
    {
        auto done = std::make_shared<bool>(false);
        m_onStatus = [row, action, done](int changed, const QString &status) {
            if (*done || changed != row || !isNumber(status) || status.toInt() < 0)
                return;
            *done = true;
            QTimer::singleShot(0, action);
        };
    }

    // Large output frames make the encoder take seconds, not milliseconds, per long clip.
    void slowDown()
    {
        QComboBox *size = m_window->formats()->cmbCVSize();
        size->setCurrentIndex(size->findText("hd1080(1920x1080)"));
        QVERIFY(size->currentIndex() > 0);
    }

    QStringList finalStatuses() const
    {
        QStringList all;
        for (int row = 0; row < list()->rowCount(); ++row)
            all << list()->record(row).Status;
        return all;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<WindowFixture>();
        m_window = m_fixture->open();
        QVERIFY(m_window);
        m_statuses.clear();
        m_onStatus = nullptr;
        connect(list(), &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &from, const QModelIndex &to) {
                    if (from.column() > FileListModel::Status || to.column() < FileListModel::Status)
                        return;
                    const QString status = list()->record(from.row()).Status;
                    m_statuses.append({from.row(), status});
                    if (m_onStatus)
                        m_onStatus(from.row(), status);
                });
        // A small custom format: MPEG-4 video and MP3 sound in AVI.
        m_window->formats()->optFormat(1)->setChecked(true);
        steps()->optSameFolder->setChecked(true);
    }

    void cleanup()
    {
        m_onStatus = nullptr;
        m_fixture.reset();
    }

    void emptyListIsReported()
    {
        QTest::mouseClick(steps()->cmdConvert, Qt::LeftButton);
        QCOMPARE(m_fixture->messages.texts(),
                 QStringList{"The list is empty, Please add Video files from step 1"});
        QCOMPARE(m_fixture->messages.messages().first().icon, MessageIcon::Information);
    }

    void convertAllConvertsEveryRowInOrderBesideItsInput()
    {
        const QStringList inputs = copyClips({"one.avi", "two.mp4", "three.mkv"});
        // An output of the same name already exists: it is never overwritten.
        QFile::copy(inputs.at(1), work("two.AVI"));
        addThroughTheDialog(inputs);
        QCOMPARE(finalStatuses(), QStringList(3, FileListStatus::WaitingConversion));

        steps()->chkShutdown->setChecked(false);
        QTest::mouseClick(steps()->cmdConvert, Qt::LeftButton);

        QCOMPARE(finalStatuses(), QStringList(3, FileListStatus::Complete));
        for (int row = 0; row < 3; ++row)
            QCOMPARE(list()->textColor(row, FileListModel::Status), kGreen);
        QList<int> started;
        bool sawPercentages = false;
        for (const auto &[row, status] : m_statuses) {
            if (status == FileListStatus::Starting)
                started << row;
            sawPercentages |= isNumber(status);
        }
        QCOMPARE(started, (QList<int>{0, 1, 2}));
        QVERIFY(sawPercentages);
        for (const QString &output : {work("one.AVI"), work("two_Converted.AVI"), work("three.AVI")})
            QVERIFY2(playable(output), qPrintable(output));
        QCOMPARE(m_fixture->messages.count(), 0);
        QCOMPARE(steps()->cmdConvert->text(), QString("Convert All"));
        QVERIFY(steps()->cmdAddVideoFile->isEnabled());
        QVERIFY(m_fixture->shutdown.requests.isEmpty());

        // Job events after the batch touch no row.
        emit m_window->queue()->currentJob()->Progress(42);
        emit m_window->queue()->currentJob()->CurrentStatus("Starting...");
        QCOMPARE(finalStatuses(), QStringList(3, FileListStatus::Complete));
    }

    void outputsGoToTheChosenFolder()
    {
        addThroughTheDialog(copyClips({"clip.avi"}));
        steps()->optOtherFolder->setChecked(true);
        steps()->txtOutPath->setText(work("results") + "/");
        QTest::mouseClick(steps()->cmdConvert, Qt::LeftButton);
        QCOMPARE(finalStatuses(), QStringList{FileListStatus::Complete});
        QVERIFY(playable(work("results/clip.AVI")));
    }

    void convertSelectedTakesOnlyTickedWaitingRows()
    {
        addThroughTheDialog(copyClips({"a.avi", "b.mp4", "c.mkv"}));
        steps()->chkShutdown->setChecked(true);
        // Nothing ticked: nothing happens, nothing is said, and the machine stays on.
        QTest::mouseClick(steps()->cmdConvertSelected, Qt::LeftButton);
        QCOMPARE(finalStatuses(), QStringList(3, FileListStatus::WaitingConversion));
        QCOMPARE(m_fixture->messages.count(), 0);
        QVERIFY(m_fixture->shutdown.requests.isEmpty());
        QCOMPARE(steps()->cmdConvertSelected->text(), QString("Convert Selected"));
        QVERIFY(steps()->cmdConvert->isEnabled());
        QVERIFY(steps()->cmdConvertSelected->isEnabled());

        list()->setCheckBox(1, -1);
        QTest::mouseClick(steps()->cmdConvertSelected, Qt::LeftButton);
        QCOMPARE(finalStatuses(), (QStringList{FileListStatus::WaitingConversion,
                                               FileListStatus::Complete,
                                               FileListStatus::WaitingConversion}));
        QCOMPARE(m_fixture->shutdown.requests, QList<ShutdownAction>{ShutdownAction::PowerOff});
    }

    void finishedRowsArePassedOverAndCancelledOnesConvertedAgain()
    {
        addThroughTheDialog(copyClips({"a.avi", "b.mp4", "c.mkv", "d.avi"}));
        list()->setStatus(0, FileListStatus::Complete);
        list()->setStatus(1, FileListStatus::Error);
        list()->setStatus(2, FileListStatus::UnkownFormat);
        list()->setStatus(3, FileListStatus::Cancelled);
        QTest::mouseClick(steps()->cmdConvert, Qt::LeftButton);
        QCOMPARE(finalStatuses(), (QStringList{FileListStatus::Complete, FileListStatus::Error,
                                               FileListStatus::UnkownFormat,
                                               FileListStatus::Complete}));
        QVERIFY(!QFile::exists(work("a.AVI")));
        QVERIFY(!QFile::exists(work("c.AVI")));
        QVERIFY(QFile::exists(work("d.AVI")));
    }

    void stopDuringTheSecondRow()
    {
        // A short first row, then rows long enough that the stop lands while the encoder runs.
        QStringList inputs = copyClips({"s1.avi"});
        for (const QString &name : {"s2.mkv", "s3.mkv"}) {
            QVERIFY(TestMedia::makeClip(work(name), 30.0, true, "320x240"));
            inputs << work(name);
        }
        slowDown();
        addThroughTheDialog(inputs);
        steps()->chkShutdown->setChecked(true);
        QPushButton *convert = steps()->cmdConvert;
        bool controlsBackAtStop = false;
        whenRowShowsProgress(1, [&] {
            QVERIFY(!steps()->cmdRemove->isEnabled());
            QVERIFY(!steps()->cmdConvertSelected->isEnabled());
            QCOMPARE(convert->text(), QString("Stop"));
            QTest::mouseClick(convert, Qt::LeftButton);
            controlsBackAtStop = convert->text() == QLatin1String("Convert All") &&
                                 steps()->cmdRemove->isEnabled();
        });
        QTest::mouseClick(convert, Qt::LeftButton);

        QVERIFY(controlsBackAtStop);
        QCOMPARE(finalStatuses(), (QStringList{FileListStatus::Complete, FileListStatus::Cancelled,
                                               FileListStatus::WaitingConversion}));
        QCOMPARE(list()->textColor(1, FileListModel::Status), kRed);
        QCOMPARE(convert->text(), QString("Convert All"));
        QVERIFY(steps()->cmdConvertSelected->isEnabled());
        QVERIFY(steps()->cmdChangeFormat->isEnabled());
        QCOMPARE(m_fixture->messages.count(), 0);
        // The stopped batch had started a row, so the machine is asked to power off, once.
        QCOMPARE(m_fixture->shutdown.requests, QList<ShutdownAction>{ShutdownAction::PowerOff});
        QCOMPARE(liveChildren(), 0);

        // The next batch takes the cancelled row again.
        m_onStatus = nullptr;
        steps()->chkShutdown->setChecked(false);
        m_window->formats()->cmbCVSize()->setCurrentIndex(0);
        QTest::mouseClick(convert, Qt::LeftButton);
        QCOMPARE(finalStatuses(), QStringList(3, FileListStatus::Complete));
    }

    void closeButtonRefusesDuringABatch()
    {
        QStringList inputs = copyClips({"a.avi"});
        QVERIFY(TestMedia::makeClip(work("long.mkv"), 20.0, true, "320x240"));
        inputs << work("long.mkv");
        addThroughTheDialog(inputs);
        bool visibleAfterClose = false;
        int opened = -1;
        whenRowShowsProgress(1, [&] {
            QTest::mouseClick(m_window->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
            visibleAfterClose = m_window->isVisible();
            // Play is off during a batch, so a double click opens nothing.
            FileGrid *grid = steps()->Grid;
            const QPoint cell =
                grid->visualRect(grid->model()->index(0, FileListModel::FilePath)).center();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
            opened = m_fixture->shell.opened.size();
        });
        QTest::mouseClick(steps()->cmdConvert, Qt::LeftButton);
        QVERIFY(visibleAfterClose);
        QCOMPARE(opened, 0);
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Please Stop Conversion first."});
        QCOMPARE(m_fixture->messages.messages().first().icon, MessageIcon::Exclamation);
        QCOMPARE(finalStatuses(), QStringList(2, FileListStatus::Complete));
        QVERIFY(m_window->isVisible());
    }

    void closingByAnotherRouteStopsTheBatchAndSaves()
    {
        QVERIFY(TestMedia::makeClip(work("long.mkv"), 30.0, true, "320x240"));
        addThroughTheDialog({work("long.mkv")});
        slowDown();
        m_window->formats()->txtFrameRate()->setText("24");
        QSignalSpy unloading(m_window, &MainWindow::unloading);
        int childrenWhileRunning = 0;
        whenRowShowsProgress(0, [&] {
            childrenWhileRunning = liveChildren();
            m_window->close(); // as the window manager or the session would
        });
        QTest::mouseClick(steps()->cmdConvert, Qt::LeftButton);
        QCOMPARE(childrenWhileRunning, 1);
        QTRY_COMPARE(unloading.count(), 1);
        QTRY_VERIFY(!m_window->isVisible());
        QCOMPARE(finalStatuses(), QStringList{FileListStatus::Cancelled});
        QCOMPARE(liveChildren(), 0);
        QVERIFY(m_fixture->shutdown.requests.isEmpty());
        QFile settings(m_fixture->settingsFile());
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().contains("txtFrameRate=24"));
    }

    void rowsThatCannotBeConvertedEndInError()
    {
        const QStringList inputs = copyClips({"fine.avi"});
        FileListRecord unknownLength;
        unknownLength.FilePath = inputs.first();
        unknownLength.Status = FileListStatus::WaitingConversion;
        unknownLength.Duration = FileListStatus::Error; // no ":" in it: length unknown
        unknownLength.FileSize = "1 KB";
        QVERIFY(list()->append(unknownLength, nullptr));
        FileListRecord unreadable = unknownLength;
        QFile::copy(TestMedia::instance().randomBytes(), work("noise.avi"));
        unreadable.FilePath = work("noise.avi");
        unreadable.Duration = "00:00:01";
        QVERIFY(list()->append(unreadable, nullptr));

        QTest::mouseClick(steps()->cmdConvert, Qt::LeftButton);
        QCOMPARE(finalStatuses(), (QStringList{FileListStatus::Complete, FileListStatus::Error}));
        bool sawSeconds = false;
        for (const auto &[row, status] : m_statuses)
            sawSeconds |= row == 0 && status.endsWith(" Seconds Converted");
        QVERIFY(sawSeconds);
        QCOMPARE(m_fixture->messages.count(), 1);
        const QString message = m_fixture->messages.texts().first();
        QVERIFY2(message.startsWith("Error converting file: noise.avi\r\n"), qPrintable(message));
        QVERIFY2(message.contains("Invalid data found when processing input"),
                 qPrintable(message));
        QCOMPARE(list()->textColor(1, FileListModel::Status), kRed);
    }

    void uncreatableOutputFolderEndsInError()
    {
        addThroughTheDialog(copyClips({"a.avi"}));
        steps()->optOtherFolder->setChecked(true);
        steps()->txtOutPath->setText(work("missing/parent/out"));
        QTest::mouseClick(steps()->cmdConvert, Qt::LeftButton);
        QCOMPARE(finalStatuses(), QStringList{FileListStatus::Error});
        QVERIFY(!m_fixture->messages.texts().isEmpty());
        QCOMPARE(m_fixture->messages.texts().first(),
                 QString("Output Folder is not exist and can not be created."));
        QVERIFY(!QDir(work("missing")).exists());
    }
};

QTEST_MAIN(TestBatch)
#include "TestBatch.moc"
