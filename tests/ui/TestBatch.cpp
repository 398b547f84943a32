#include "batch/ConversionQueue.h"
#include "filelist/FileListStatus.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/ui/WindowFixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTableView>
#include <QToolTip>

#include <functional>

namespace {
namespace S = FileListStatus;
// A row's state; as a moment of a batch, the first row as it starts, mid-row, or complete
// before the next.
using State = RowStatus::State;
} // namespace

class TestBatch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    QList<QPair<int, QString>> m_statuses; // every Status written, with its row
    std::function<void(int row, const RowStatus &status)> m_onStatus;

    StepsFrame *steps() const { return m_window->steps(); }
    FileListModel *list() const { return m_window->fileList(); }
    QString work(const QString &name) const { return m_fixture->folder.filePath(name); }

    // Clicks a convert button and waits for the batch to end.
    bool convert(QPushButton *button)
    {
        QSignalSpy finished(m_window->queue(), &ConversionQueue::batchFinished);
        QTest::mouseClick(button, Qt::LeftButton);
        return !finished.isEmpty() || finished.wait(300000);
    }

    // Copies one-second clips under the given names and adds them by dialog.
    void addClips(const QStringList &names)
    {
        QStringList paths;
        for (const QString &name : names) {
            QDir().mkpath(QFileInfo(work(name)).path());
            QFile::copy(TestMedia::instance().clip(QFileInfo(name).suffix()), work(name));
            paths << work(name);
        }
        m_fixture->dialogs.chosenFiles = paths;
        m_fixture->click("cmdAddVideoFile");
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->adder()->isAdding(), 60000);
    }

    QStringList statuses() const { return m_fixture->column(FileListModel::Status); }

    // Three rows, and action run once inside the status change of the first row that marks
    // the moment. Mid-row needs a row long enough, at large pictures (which show progress a few
    // times), for a stop to land in it: it is made first, and the copy of a short clip leaves it
    // alone.
    void at(State moment, std::function<void()> action)
    {
        if (moment == State::Percent) {
            QVERIFY(TestMedia::makeClip(work("a.mkv"), 30.0, true, "320x240"));
            m_window->formats()->cmbCVSize()->setCurrentText("hd1080(1920x1080)");
        }
        addClips({"a.mkv", "b.mp4", "c.mkv"});
        m_onStatus = [this, moment, action](int row, const RowStatus &status) {
            if (row != 0 || status.state() != moment)
                return;
            const std::function<void()> once = action; // clearing the handler frees action
            m_onStatus = nullptr;
            once();
        };
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<WindowFixture>();
        m_window = m_fixture->open();
        QVERIFY(m_window);
        m_statuses.clear();
        connect(list(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from) {
            const RowStatus status = list()->record(from.row()).status;
            m_statuses.append({from.row(), status.text()});
            if (m_onStatus)
                m_onStatus(from.row(), status);
        });
        // A small custom format (MPEG-4 and MP3 in AVI) beside the inputs.
        m_window->formats()->optFormat(1)->setChecked(true);
        steps()->optSameFolder->setChecked(true);
    }

    void cleanup()
    {
        m_onStatus = nullptr;
        m_fixture.reset();
        QTRY_COMPARE(liveChildProcesses(), 0);
    }

    // Over a row, before converting, the tip says what the chosen format does with each stream.
    void rowTipTellsEachStreamsFate()
    {
        addClips({"a.mkv"});
        FormatPanel *f = m_window->formats();
        f->optFormat(0)->setChecked(true);
        const auto tipFor = [&](const QString &category, const QString &label,
                                const QString &extension) {
            f->cmbCategory()->setCurrentText(category);
            f->cmbOutVCodec()->setCurrentText(label);
            f->cmbOutFormat()->setCurrentText(extension);
            QTableView *grid = steps()->Grid;
            const QPoint at = grid->visualRect(grid->model()->index(0, 2)).center();
            QHelpEvent event(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(grid->viewport(), &event);
            return QToolTip::text();
        };
        QString tip = tipFor("Copy without re-encoding", "Every stream copied", "mkv");
        QVERIFY2(tip.startsWith("video 1 (") && tip.contains("): copy\naudio 1 ("),
                 qPrintable(tip));
        tip = tipFor("Web Video", "VP9 / Opus", "webm");
        QVERIFY2(tip.contains("): encode to VP9\naudio 1 (") && tip.endsWith("encode to Opus"),
                 qPrintable(tip));
        // Asked to copy what fits, it tells why a stream does not.
        f->chkCopyWhenPossible()->setChecked(true);
        tip = tipFor("Web Video", "VP9 / Opus", "webm");
        QVERIFY2(tip.contains("encode to VP9 (it is H.264, not VP9)"), qPrintable(tip));
    }

    void convertsWaitingAndTickedRowsFirstToLast()
    {
        m_fixture->click("cmdConvert");
        QCOMPARE(m_fixture->messages.texts(),
                 QStringList{"The list is empty, Please add Video files from step 1"});
        m_fixture->messages.clear();

        QFile::copy(TestMedia::instance().clip("mp4"), work("b.AVI")); // never overwritten
        addClips({"a.avi", "b.mp4", "c.mkv", "d.avi", "e.mp4", "f.mkv"});
        const QList<State> before = {
            State::Cancelled, State::WaitingConversion, State::WaitingConversion, State::Complete,
            State::Error,     State::UnknownWhenAdded};
        // Of the ticked rows (-1 counts) only those still to be converted are taken.
        for (int row = 0; row < before.size(); ++row) {
            list()->setStatus(row, before.at(row));
            list()->setCheckBox(row, row < 2 ? 0 : row == 2 ? -1 : 1);
        }
        QStringList converted = statuses();
        converted[2] = S::Complete;
        steps()->chkShutdown->setChecked(true);
        QVERIFY(convert(steps()->cmdConvertSelected));
        QCOMPARE(statuses(), converted);
        QCOMPARE(m_fixture->shutdown.requests, QList<ShutdownAction>{ShutdownAction::PowerOff});

        m_statuses.clear();
        QVERIFY(convert(steps()->cmdConvert)); // the cancelled row is converted again
        converted[0] = converted[1] = S::Complete;
        QCOMPARE(statuses(), converted);
        QCOMPARE(m_statuses.first(), (QPair<int, QString>{0, S::Starting}));
        for (const QString &output : {work("a.AVI"), work("b_Converted.AVI"), work("c.AVI")})
            QVERIFY2(TestMedia::playable(output), qPrintable(output));
        QCOMPARE(m_fixture->messages.count(), 0);

        // Each row's log, by Ctrl+L, to read and copy.
        m_fixture->doubleClickRow(1);
        QTest::keyClick(steps()->Grid, Qt::Key_L, Qt::ControlModifier);
        auto *log = m_window->findChild<QPlainTextEdit *>("txtLog");
        QVERIFY(log && log->isVisible() && log->toPlainText().contains(work("b_Converted.AVI")));
        QTest::mouseClick(m_window->findChild<QPushButton *>("cmdCopyLog"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), log->toPlainText());
    }

    // Stop as a row starts, mid-row or between rows: the batch ends there, the controls come
    // back only then, and removing rows afterwards cannot mark a row it never converted.
    void stopTakesEffectWhenever_data()
    {
        QTest::addColumn<State>("moment");
        QTest::addColumn<QString>("first");  // how the first row ends
        QTest::addColumn<QString>("second"); // the next one starts as the first one's check runs
        QTest::newRow("before the encoder starts")
            << State::Starting << S::Cancelled << S::WaitingConversion;
        QTest::newRow("mid-row") << State::Percent << S::Cancelled << S::WaitingConversion;
        QTest::newRow("as a row completes") << State::Complete << S::Complete << S::Cancelled;
    }

    void stopTakesEffectWhenever()
    {
        QFETCH(State, moment);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QPushButton *convertAll = steps()->cmdConvert;
        bool stillStopping = false, awake = false;
        at(moment, [&] {
            awake = m_fixture->sleepInhibitor.held;
            QTest::mouseClick(convertAll, Qt::LeftButton);
            stillStopping = convertAll->text() == "Stop" &&
                            convertAll->accessibleName() == "Stop" &&
                            !steps()->cmdRemove->isEnabled();
        });
        QVERIFY(convert(convertAll));
        // An encoder runs at each moment: the controls wait for it to be gone.
        QVERIFY(stillStopping);
        // The machine was kept awake for the batch, and may sleep again after the stop.
        QVERIFY(awake && !m_fixture->sleepInhibitor.held && m_fixture->sleepInhibitor.holds == 1);
        QCOMPARE(statuses(), (QStringList{first, second, S::WaitingConversion}));
        QVERIFY(convertAll->text() == "Convert All" && steps()->cmdConvertSelected->isEnabled() &&
                convertAll->accessibleName() == "Convert All"); // Remove works again below
        QTRY_COMPARE(liveChildProcesses(), 0); // the encoder inventory may still be answering

        list()->setCheckBox(0, 1);
        m_fixture->click("cmdRemove");
        QCOMPARE(statuses(), (QStringList{second, S::WaitingConversion}));
        QVERIFY(!QFile::exists(work("b.AVI")) && !QFile::exists(work("c.AVI")));
        if (first == S::Complete)
            QVERIFY(TestMedia::playable(work("a.AVI")));
        QCOMPARE(m_fixture->messages.count(), 0);
    }

    // Closed by the window manager at any moment of a batch, the window closes every time.
    void closeAlwaysCloses_data() { stopTakesEffectWhenever_data(); }

    void closeAlwaysCloses()
    {
        QFETCH(State, moment);
        steps()->chkShutdown->setChecked(true);
        bool refused = false;
        at(moment, [&] {
            // The Close button refuses while converting; a double click plays nothing.
            m_fixture->click("cmdClose");
            m_fixture->doubleClickRow(1);
            refused = m_window->isVisible();
            m_window->close(); // as the window manager or the session would
        });
        m_fixture->click("cmdConvert");
        QTRY_VERIFY(!m_window->isVisible());
        QVERIFY(refused);
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Please Stop Conversion first."});
        QVERIFY(m_fixture->shell.opened.isEmpty());
        QTRY_COMPARE(liveChildProcesses(), 0);
        QVERIFY(m_fixture->shutdown.requests.isEmpty()); // a close never powers off
        QVERIFY(!m_fixture->sleepInhibitor.held && m_fixture->sleepInhibitor.holds == 1);
    }

    // Options that cannot be made (a bitrate pasted past the key rules): the first row fails
    // without a conversion with the encoder's defaults, and the batch stops there.
    void unusableOptionsStopTheBatchAtItsFirstRow()
    {
        addClips({"a.avi", "b.mp4"});
        steps()->optOtherFolder->setChecked(true);
        steps()->txtOutPath->setText(work("custom"));
        m_window->formats()->txtCABirate()->setText("64abc");
        QVERIFY(convert(steps()->cmdConvert));
        QCOMPARE(statuses(), (QStringList{S::Error, S::WaitingConversion}));
        QVERIFY(m_fixture->messages.texts().value(0).startsWith(
            "Error converting file: a.avi\r\nError occured while getting paramters"));
        QCOMPARE(filesIn(work("custom")), QStringList());
    }

    // With two slots and one row running, a file dropped on the grid takes the free slot at
    // once rather than when the running row ends (two minutes of pictures at 1080p, 50 a second).
    void droppedFileFillsAFreeSlotAtOnce()
    {
        QVERIFY(TestMedia::makeClip(work("long.mkv"), 120.0, true, "160x120", 5));
        QVERIFY(QFile::copy(work("long.mkv"), work("dropped.mkv")));
        addClips({"long.mkv"}); // kept: a copy never overwrites
        steps()->spnSimultaneous->setValue(2);
        m_window->formats()->cmbCVSize()->setCurrentText("hd1080(1920x1080)");
        m_window->formats()->txtFrameRate()->setText("50");
        QTRY_COMPARE(liveChildProcesses(), 0); // the encoder inventory has answered
        m_fixture->click("cmdConvert");
        QTRY_COMPARE(liveChildProcesses(), 1);
        // The line under the grid and the title tell the progress.
        QTRY_VERIFY(!steps()->lblOverall->text().isEmpty());
        const QString overall = steps()->lblOverall->text() + " | " + m_window->windowTitle();
        QVERIFY2(overall.startsWith("0 of 1 files · ") && overall.endsWith("% · Reelforge"),
                 qPrintable(overall));

        QVERIFY(m_fixture->drop({work("dropped.mkv")}));
        QTRY_VERIFY(!m_window->adder()->isAdding()); // its reading of the file is over
        QTRY_COMPARE_WITH_TIMEOUT(liveChildProcesses(), 2, 5000);
        QVERIFY(convert(steps()->cmdConvert)); // Stop
        QCOMPARE(statuses(), (QStringList{S::Cancelled, S::Cancelled}));
    }
};

QTEST_MAIN(TestBatch)
#include "TestBatch.moc"
