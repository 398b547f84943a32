#include "CVideoConv.h"
#include "ConversionQueue.h"
#include "FileListStatus.h"
#include "TestMedia.h"
#include "WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <unistd.h>

namespace {
const QColor kGreen(113, 177, 98);
const QColor kRed(220, 10, 10);
namespace S = FileListStatus;

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
    return encoder.waitForFinished(60000) && encoder.exitCode() == 0;
}

// Living children of this process (an encoder that outlived its row).
int liveChildren()
{
    QProcess pgrep;
    pgrep.start("pgrep", {"-P", QString::number(::getpid()), "-r", "R,S,D,T"});
    pgrep.waitForFinished();
    return pgrep.readAllStandardOutput().count('\n');
}
} // namespace

// The batch runs inside the click, so actions mid-batch are scheduled from status changes.
class TestBatch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    QList<QPair<int, QString>> m_statuses; // every Status written, with its row
    QList<QPair<int, std::function<void()>>> m_pending;

    StepsFrame *steps() const { return m_window->steps(); }
    FileListModel *list() const { return m_window->fileList(); }
    QString work(const QString &name) const { return m_fixture->folder.filePath(name); }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Copies one-second clips under the given names and adds them, with extra paths, by dialog.
    void addClips(const QStringList &names, const QStringList &extra = {})
    {
        QStringList paths;
        for (const QString &name : names) {
            QFile::copy(TestMedia::instance().clip(QFileInfo(name).suffix()), work(name));
            paths << work(name);
        }
        m_fixture->dialogs.chosenFiles = paths + extra;
        click(steps()->cmdAddVideoFile);
    }

    // A long clip made at hd1080 output, so that a stop lands while it is encoded.
    QString longClip(const QString &name)
    {
        const bool made = TestMedia::makeClip(work(name), 30.0, true, "320x240");
        QComboBox *size = m_window->formats()->cmbCVSize();
        size->setCurrentIndex(size->findText("hd1080(1920x1080)"));
        return made ? work(name) : QString();
    }

    // Runs action from the event loop at the next percentage the row shows.
    void atProgress(int row, std::function<void()> action) { m_pending.append({row, action}); }

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
        m_pending.clear();
        connect(list(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from) {
            const QString status = list()->record(from.row()).Status;
            m_statuses.append({from.row(), status});
            if (!m_pending.isEmpty() && m_pending.first().first == from.row() && isNumber(status) &&
                status.toInt() >= 0)
                QTimer::singleShot(0, m_pending.takeFirst().second);
        });
        // A small custom format (MPEG-4 and MP3 in AVI) beside the inputs.
        m_window->formats()->optFormat(1)->setChecked(true);
        steps()->optSameFolder->setChecked(true);
    }

    void cleanup()
    {
        m_pending.clear();
        m_fixture.reset();
    }

    void convertsWaitingAndTickedRowsFirstToLast()
    {
        click(steps()->cmdConvert);
        QCOMPARE(m_fixture->messages.texts(),
                 QStringList{"The list is empty, Please add Video files from step 1"});
        m_fixture->messages.clear();

        QFile::copy(TestMedia::instance().clip("mp4"), work("b.AVI")); // never overwritten
        addClips({"a.avi", "b.mp4", "c.mkv", "d.avi", "e.mp4", "f.mkv"});
        const QStringList before = {
            S::Cancelled, S::WaitingConversion, S::WaitingConversion, S::Complete,
            S::Error,     S::UnkownFormat};
        for (int row = 0; row < before.size(); ++row)
            list()->setStatus(row, before.at(row));
        steps()->chkShutdown->setChecked(true);
        // Nothing ticked: nothing happens, nothing is said, and the machine stays on.
        click(steps()->cmdConvertSelected);
        QCOMPARE(finalStatuses(), before);
        QVERIFY(m_fixture->shutdown.requests.isEmpty());
        QCOMPARE(steps()->cmdConvertSelected->text(), QString("Convert Selected"));
        QVERIFY(steps()->cmdConvert->isEnabled() && steps()->cmdConvertSelected->isEnabled());

        // Of the ticked rows (-1 counts) only those still to be converted are taken.
        for (int row = 2; row < before.size(); ++row)
            list()->setCheckBox(row, row == 2 ? -1 : 1);
        click(steps()->cmdConvertSelected);
        QStringList converted = before;
        converted[2] = S::Complete;
        QCOMPARE(finalStatuses(), converted);
        QCOMPARE(m_fixture->shutdown.requests, QList<ShutdownAction>{ShutdownAction::PowerOff});

        steps()->chkShutdown->setChecked(false);
        m_statuses.clear();
        click(steps()->cmdConvert); // the cancelled row is converted again
        QCOMPARE(finalStatuses().mid(0, 3), QStringList(3, S::Complete));
        QCOMPARE(finalStatuses().mid(3), before.mid(3));
        QList<int> started;
        int percentages = 0;
        for (const auto &[row, status] : m_statuses) {
            if (status == S::Starting)
                started << row;
            percentages += isNumber(status);
        }
        QCOMPARE(started, (QList<int>{0, 1}));
        QVERIFY(percentages >= 2);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(list()->textColor(row, FileListModel::Status), kGreen);
        for (const QString &output : {work("a.AVI"), work("b_Converted.AVI"), work("c.AVI")})
            QVERIFY2(playable(output), qPrintable(output));
        QCOMPARE(m_fixture->messages.count(), 0);
        QCOMPARE(steps()->cmdConvert->text(), QString("Convert All"));

        // Job events after the batch touch no row.
        emit m_window->queue()->currentJob()->Progress(42);
        emit m_window->queue()->currentJob()->CurrentStatus("Starting...");
        QCOMPARE(finalStatuses().mid(0, 3), QStringList(3, S::Complete));
    }

    // Stop mid-row; then, in a second batch, Close is refused and a close from outside stops it.
    void stopAndCloseDuringABatch()
    {
        addClips({"s1.avi"}, {longClip("s2.mkv"), longClip("s3.mkv")});
        steps()->chkShutdown->setChecked(true);
        m_window->formats()->txtFrameRate()->setText("24");
        QPushButton *convertAll = steps()->cmdConvert;
        bool stopShown = false, restoredAtOnce = false;
        atProgress(1, [&] {
            stopShown = convertAll->text() == "Stop" && !steps()->cmdRemove->isEnabled() &&
                        !steps()->cmdConvertSelected->isEnabled();
            click(convertAll);
            restoredAtOnce = convertAll->text() == "Convert All" && steps()->cmdRemove->isEnabled();
            // The stopped batch is still unwinding: a new one must not start on top of it.
            click(convertAll);
        });
        click(convertAll);

        QVERIFY(stopShown && restoredAtOnce);
        QCOMPARE(finalStatuses(), (QStringList{S::Complete, S::Cancelled, S::WaitingConversion}));
        QCOMPARE(list()->textColor(1, FileListModel::Status), kRed);
        QVERIFY(steps()->cmdConvertSelected->isEnabled() && steps()->cmdChangeFormat->isEnabled());
        QCOMPARE(m_fixture->messages.count(), 0);
        // A row had started, so the stopped batch still powers off, once.
        QCOMPARE(m_fixture->shutdown.requests, QList<ShutdownAction>{ShutdownAction::PowerOff});
        QCOMPARE(liveChildren(), 0);

        steps()->chkShutdown->setChecked(false);
        QSignalSpy unloading(m_window, &MainWindow::unloading);
        bool visibleAfterClose = false;
        int opened = -1, children = 0;
        atProgress(1, [&] {
            m_fixture->click("cmdClose");
            visibleAfterClose = m_window->isVisible();
            // Play is off during a batch, so a double click opens nothing.
            m_fixture->doubleClickRow(1);
            opened = m_fixture->shell.opened.size();
            atProgress(1, [&] { // the encode went on after the refusal
                children = liveChildren();
                m_window->close(); // as the window manager or the session would
            });
        });
        click(convertAll);
        QVERIFY(visibleAfterClose);
        QCOMPARE(opened, 0);
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Please Stop Conversion first."});
        QCOMPARE(children, 1);
        QTRY_COMPARE(unloading.count(), 1);
        QTRY_VERIFY(!m_window->isVisible());
        QCOMPARE(finalStatuses(), (QStringList{S::Complete, S::Cancelled, S::WaitingConversion}));
        QCOMPARE(liveChildren(), 0);
        QFile settings(m_fixture->settingsFile());
        QVERIFY(settings.open(QIODevice::ReadOnly) &&
                settings.readAll().contains("txtFrameRate=24"));
    }

    void chosenFolderUnknownLengthsAndFailures()
    {
        addClips({"fine.avi"});
        QFile::copy(TestMedia::instance().randomBytes(), work("noise.avi"));
        FileListRecord record = list()->record(0);
        record.Duration = S::Error; // no ":" in it: the length is unknown
        QVERIFY(list()->rebuild({record}, nullptr));
        record.FilePath = work("noise.avi");
        QVERIFY(list()->append(record, nullptr));
        record.FilePath = work("fine copy.avi");
        record.Duration = "01:02"; // a length that cannot be read fails the row at once
        QVERIFY(list()->append(record, nullptr));
        steps()->optOtherFolder->setChecked(true);
        steps()->txtOutPath->setText(work("results") + "/");
        click(steps()->cmdConvert);

        QCOMPARE(finalStatuses(), (QStringList{S::Complete, S::Error, S::Error}));
        QVERIFY(playable(work("results/fine.AVI")));
        QVERIFY(std::any_of(m_statuses.begin(), m_statuses.end(), [](const auto &change) {
            return change.first == 0 && change.second.endsWith(" Seconds Converted");
        }));
        const QStringList messages = m_fixture->messages.texts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().startsWith("Error converting file: noise.avi\r\n") &&
                     messages.first().contains("Invalid data found when processing input"),
                 qPrintable(messages.first()));
        QCOMPARE(list()->textColor(1, FileListModel::Status), kRed);

        // An output folder that cannot be made: the message, and the row ends "Error".
        m_fixture->messages.clear();
        list()->setStatus(0, S::WaitingConversion);
        steps()->txtOutPath->setText(work("missing/parent/out"));
        click(steps()->cmdConvert);
        QCOMPARE(list()->record(0).Status, S::Error);
        QCOMPARE(m_fixture->messages.texts().value(0),
                 QString("Output Folder is not exist and can not be created."));
    }
};

QTEST_MAIN(TestBatch)
#include "TestBatch.moc"
