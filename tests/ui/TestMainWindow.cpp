#include "AboutPanel.h"
#include "ChildProcesses.h"
#include "EncoderPath.h"
#include "FileAdder.h"
#include "PanelAnimator.h"
#include "StandInEncoder.h"
#include "TestMedia.h"
#include "Twips.h"
#include "WidgetDialogService.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    StepsFrame *steps() const { return m_window->steps(); }
    void click(const char *name) { m_fixture->click(name); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<WindowFixture>();
        m_window = m_fixture->open();
        QVERIFY(m_window);
    }

    void cleanup() { m_fixture.reset(); }

    void startsWithAnEmptyListAndParkedPanels()
    {
        FileGrid *grid = steps()->Grid;
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(grid->isColumnHidden(FileListModel::ID));
        QStringList captions;
        for (int column = FileListModel::CheckBox; column < FileListModel::ColumnCount; ++column)
            captions << grid->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(captions,
                 (QStringList{" ", "File Path", "Conversion Status", "Time Length", "File Size"}));
        // Screen readers are told the texts a sighted user reads.
        const auto spoken = [](QWidget *label) {
            return QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
        };
        QCOMPARE(spoken(m_window->about()->lblVer()), QString("1.0.0.5"));
        QVERIFY(steps()->lblFormat->text().startsWith("Category:"));
        QCOMPARE(spoken(steps()->lblFormat), steps()->lblFormat->text());
        QCOMPARE(MainWindow::versionText(2, 5, 0), QString("2.5.0.0"));
        QCOMPARE(m_window->frFormats()->y(), m_window->height());
        QCOMPARE(m_window->frAbout()->y(), m_window->height());
    }

    void dataFilesAreReadPresetsFirstAndFailuresDoNotStopTheStart()
    {
        WindowFixture broken;
        broken.dataFolder = broken.folder.filePath("data");
        QVERIFY(QDir().mkpath(broken.dataFolder));
        for (const char *name : {"presets.xml", "codecs.xml"}) {
            QFile file(broken.dataFolder + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<?xml version=\"1.0\"?>\r\n<entry>\r\n<label>cut\r\n");
        }
        MainWindow *window = broken.open();
        QVERIFY(window);
        const QStringList texts = broken.messages.texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts.at(0).startsWith("Error Occured while Loading Presets.\r\n"));
        QVERIFY(texts.at(1).startsWith("Error Occured while Loading Codecs.\r\n"));
        QCOMPARE(broken.messages.messages().at(0).icon, MessageIcon::None);
        QVERIFY(window->isVisible() && window->formats()->cmbCategory()->count() == 0);
    }

    // Panel slides: no second slide starts over a running one, and frMain waits for the park.
    void panelsSlideOneAtATime()
    {
        PanelAnimator *animator = m_window->animator();
        QWidget *main = m_window->frMain();
        click("cmdAbout");
        QVERIFY(animator->isSliding() && !main->isEnabled());
        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        QCOMPARE(animator->AnimFrame(), m_window->frAbout());
        QTRY_VERIFY_WITH_TIMEOUT(!animator->isSliding(), 5000);
        QCOMPARE(m_window->frAbout()->y(), 181);

        QTest::mouseClick(m_window->about()->cmdCloseHelp(), Qt::LeftButton);
        QVERIFY(!main->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(main->isEnabled(), 5000);
        QCOMPARE(animator->topOf(m_window->frAbout()), 8655.0f);

        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        click("cmdAbout");
        QCOMPARE(animator->AnimFrame(), m_window->frFormats());
        QTRY_VERIFY_WITH_TIMEOUT(m_window->frFormats()->y() == 181, 5000);
        QCOMPARE(m_window->frAbout()->y(), m_window->height());
    }

    void helpLinksAndFolderChoice()
    {
        click("MyButton1");
        const QString help = QCoreApplication::applicationDirPath() + "/Help.html";
        QCOMPARE(m_fixture->shell.opened, QStringList{help});
        QVERIFY(QFile::exists(help));
        emit m_window->about()->lblFFmpeg()->linkActivated(AboutPanel::EncoderHomePage);
        QCOMPARE(m_fixture->shell.opened.last(), QString("https://ffmpeg.org/"));

        // The folder options switch the path box and Browse, and keep the typed text.
        steps()->txtOutPath->setText("/srv/out");
        QTest::mouseClick(steps()->optSameFolder, Qt::LeftButton);
        QVERIFY(!steps()->txtOutPath->isEnabled() && !steps()->cmdBrowse->isEnabled());
        QTest::mouseClick(steps()->optOtherFolder, Qt::LeftButton);
        QVERIFY(steps()->txtOutPath->isEnabled() && steps()->cmdBrowse->isEnabled());
        QCOMPARE(steps()->txtOutPath->text(), QString("/srv/out"));

        m_fixture->dialogs.chosenFolder = "/";
        QTest::mouseClick(steps()->cmdBrowse, Qt::LeftButton);
        QCOMPARE(steps()->txtOutPath->text(), QString("/"));
    }

    // The real open-file dialog shows each filter's name once, the common files first.
    void fileDialogNamesItsFilters()
    {
        WidgetDialogService dialogs(m_window);
        QStringList shown;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            const auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
            for (int i = 0; types && i < types->count(); ++i)
                shown << types->itemText(i);
            dialog->reject();
        });
        poll.start(10);
        QVERIFY(dialogs.openFiles("Select", FileAdder::openFileFilters(), true).isEmpty());
        QCOMPARE(shown.size(), 6);
        QCOMPARE(shown.first(), QString("Common Video Files"));
        QCOMPARE(shown.last(), QString("All Files(*.*)"));
    }

    void gridTicksDropsAndPlays()
    {
        FileListModel *list = m_window->fileList();
        FileGrid *grid = steps()->Grid;
        const TestMedia &media = TestMedia::instance();
        QFile song(m_fixture->folder.filePath("song.mp3"));
        QVERIFY(song.open(QIODevice::WriteOnly) && song.write("ID3") == 3);
        song.close();
        // Dropped files are added in drop order; a refused one is passed over silently.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(media.clip("mkv")), QUrl::fromLocalFile(song.fileName()),
                      QUrl::fromLocalFile(media.clip("avi"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(grid->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(grid->viewport(), &drop);
        QTRY_VERIFY_WITH_TIMEOUT(!steps()->lblAddProgress->isVisible(), 60000);
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->record(0).FilePath, media.clip("mkv"));
        QCOMPARE(list->record(1).FilePath, media.clip("avi"));
        QCOMPARE(m_fixture->messages.count(), 0);

        const QPoint tick =
            grid->visualRect(grid->model()->index(1, FileListModel::CheckBox)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tick);
        QVERIFY(list->record(1).CheckBox != 0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tick);
        QCOMPARE(list->record(1).CheckBox, 0);
        for (int column = FileListModel::FilePath; column < FileListModel::ColumnCount; ++column)
            QVERIFY(!(grid->model()->flags(grid->model()->index(0, column)) & Qt::ItemIsEditable));

        m_fixture->doubleClickRow(1);
        QCOMPARE(m_fixture->shell.opened, QStringList{media.clip("avi")});
        steps()->cmdPlay->setEnabled(false);
        m_fixture->doubleClickRow(0);
        QCOMPARE(m_fixture->shell.opened.size(), 1);
    }

    // Many files through the dialog: the count shows under the grid, Cancel stops the add from
    // the keyboard, and a close mid-add ends it and closes at once.
    void addsInTheBackgroundUntilCancelledOrClosed()
    {
        QStringList clips;
        for (int i = 0; i < 80; ++i) {
            clips << m_fixture->folder.filePath(QString("clip%1.mkv").arg(i));
            QVERIFY(QFile::copy(TestMedia::instance().clip("mkv"), clips.last()));
        }
        FileListModel *list = m_window->fileList();
        QLabel *line = steps()->lblAddProgress;
        QPushButton *cancel = steps()->cmdCancelAdd;
        m_fixture->dialogs.chosenFiles = clips;
        click("cmdAddVideoFile");
        QVERIFY(line->isVisible() && cancel->isVisible());
        QCOMPARE(line->text(), QString("Adding 0 of 80\u2026"));
        QTRY_VERIFY_WITH_TIMEOUT(list->rowCount() > 0, 60000);
        QVERIFY(line->text().endsWith(" of 80\u2026"));
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Space);
        QVERIFY(!line->isVisible() && !cancel->isVisible());
        const int rows = list->rowCount();
        QVERIFY(rows < clips.size());
        QTest::qWait(300);
        QCOMPARE(list->rowCount(), rows);
        QCOMPARE(liveChildProcesses(), 0);

        QSignalSpy unloading(m_window, &MainWindow::unloading);
        m_fixture->dialogs.chosenFiles = clips.mid(rows);
        click("cmdAddVideoFile");
        QTRY_VERIFY_WITH_TIMEOUT(list->rowCount() > rows, 60000);
        m_window->close(); // as the window manager would
        QVERIFY(!m_window->isVisible());
        QCOMPARE(unloading.count(), 1);
        QCOMPARE(liveChildProcesses(), 0);
        const int closedWith = list->rowCount();
        QTest::qWait(300);
        QCOMPARE(list->rowCount(), closedWith);
        QVERIFY(closedWith < clips.size());
        QCOMPARE(m_fixture->messages.count(), 0);
    }

    void gridColumnsFitBesideTheScrollBar()
    {
        FileGrid *grid = steps()->Grid;
        QHeaderView *header = grid->horizontalHeader();
        QCOMPARE(header->length(), grid->viewport()->width());
        QVector<FileListRecord> rows(40);
        for (int row = 0; row < rows.size(); ++row)
            rows[row].FilePath = QString("/v/%1.avi").arg(row);
        QVERIFY(m_window->fileList()->rebuild(rows, nullptr));
        QTRY_VERIFY(grid->verticalScrollBar()->isVisible());
        QTRY_COMPARE(header->length(), grid->viewport()->width());
        QVERIFY(!grid->horizontalScrollBar()->isVisible());
        const QList<QPair<int, double>> widths = {{FileListModel::CheckBox, 500},
                                                  {FileListModel::Status, 2000},
                                                  {FileListModel::Duration, 1200},
                                                  {FileListModel::FileSize, 1200}};
        for (const auto &[column, twips] : widths)
            QCOMPARE(grid->columnWidth(column), Twips::toPixels(twips));
    }

    void formatTheEncoderLacksStartsNoBatch()
    {
        EncoderPath::setOverride(StandInEncoder::write(m_fixture->folder.path(), {"aac"}, {"mp4"}));
        m_window = m_fixture->open();
        EncoderPath::setOverride(QString());
        QTRY_VERIFY(!m_window->formats()->missingEncoder().isEmpty());
        click("cmdConvert");
        QCOMPARE(
            m_fixture->messages.texts(),
            QStringList{"The chosen output format cannot be made: the installed ffmpeg has no " +
                        m_window->formats()->missingEncoder() + ". Please choose another format."});
        QCOMPARE(steps()->cmdConvert->text(), QString("Convert All"));
    }

    void dragMinimizeAndClose()
    {
        const QPoint before = m_window->pos();
        QWidget *frame = m_window->frMain();
        // Offscreen there is no window manager to move the window, so the panel does it.
        QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(200, 10));
        QTest::mouseMove(frame, QPoint(230, 30));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(230, 30));
        QTRY_COMPARE(m_window->pos(), before + QPoint(30, 20));
        click("cmdMinimize");
        QTRY_VERIFY(m_window->isMinimized());

        QSignalSpy unloading(m_window, &MainWindow::unloading);
        click("cmdClose");
        QCOMPARE(unloading.count(), 1);
        QVERIFY(!m_window->isVisible() && QFile::exists(m_fixture->settingsFile()));
    }

    void everyControlIsNamedAndTabsFollowTheSteps()
    {
        for (QWidget *control : m_window->findChildren<QWidget *>()) {
            // Not the lists' own pop-ups, nor a spin box's inner field, which it speaks for.
            if (control->window() == m_window &&
                !qobject_cast<QAbstractSpinBox *>(control->parentWidget()) &&
                (qobject_cast<QAbstractButton *>(control) || qobject_cast<QLineEdit *>(control) ||
                 qobject_cast<QAbstractSpinBox *>(control) || qobject_cast<QComboBox *>(control) ||
                 qobject_cast<QAbstractItemView *>(control)))
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
        const QList<QWidget *> order = {
            steps()->cmdAddVideoFile, steps()->Grid,          steps()->cmdCancelAdd,
            steps()->cmdChangeFormat, steps()->optSameFolder, steps()->txtOutPath,
            steps()->spnSimultaneous, steps()->cmdConvert,    steps()->chkShutdown};
        QList<QWidget *> chain;
        QWidget *widget = order.first();
        for (int step = 0; step < 200; ++step, widget = widget->nextInFocusChain()) {
            if (order.contains(widget) && !chain.contains(widget))
                chain << widget;
        }
        QCOMPARE(chain, order);

        // Real Tab presses never reach a parked panel.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        steps()->chkShutdown->setFocus();
        for (int step = 0; step < 40; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus && !m_window->frFormats()->isAncestorOf(focus) &&
                    !m_window->frAbout()->isAncestorOf(focus));
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
