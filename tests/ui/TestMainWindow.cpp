#include "AboutPanel.h"
#include "FileGrid.h"
#include "FileListModel.h"
#include "FileListStatus.h"
#include "FormatPanel.h"
#include "FramePanel.h"
#include "PanelAnimator.h"
#include "StepsFrame.h"
#include "TestMedia.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QUrl>

namespace {
FileListRecord waitingRow(const QString &path)
{
    FileListRecord record;
    record.FilePath = path;
    record.Status = FileListStatus::WaitingConversion;
    record.Duration = QStringLiteral("00:00:01");
    record.FileSize = QStringLiteral("10 KB");
    return record;
}

QPoint cellCentre(FileGrid *grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row, column)).center();
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    StepsFrame *steps() const { return m_window->steps(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<WindowFixture>();
        m_window = m_fixture->open();
        QVERIFY(m_window);
    }

    void cleanup()
    {
        m_fixture.reset();
        m_window = nullptr;
    }

    void startsWithAnEmptyListAndParkedPanels()
    {
        FileGrid *grid = steps()->Grid;
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(grid->isColumnHidden(FileListModel::ID));
        QStringList captions;
        for (int column = FileListModel::CheckBox; column < FileListModel::ColumnCount; ++column)
            captions << grid->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(captions, (QStringList{" ", "File Path", "Conversion Status", "Time Length",
                                        "File Size"}));
        QCOMPARE(grid->columnWidth(FileListModel::FilePath), 347);

        QCOMPARE(m_window->about()->lblVer()->text(), QString("1.0.0.5"));
        QCOMPARE(MainWindow::versionText(2, 5, 0), QString("2.5.0.0"));
        QCOMPARE(MainWindow::versionText(1, 2, 7), QString("1.2.0.7"));

        // Both panels wait just below the visible area, and the window is the main frame's size.
        QCOMPARE(m_window->size(), m_window->frMain()->size());
        QCOMPARE(m_window->frFormats()->y(), m_window->height());
        QCOMPARE(m_window->frAbout()->y(), m_window->height());
        QCOMPARE(m_window->frFormats()->x(), m_window->frAbout()->x());
        QVERIFY(m_window->frMain()->isEnabled());

        // The data files were read and the saved (here: default) choices applied.
        QVERIFY(m_window->formats()->cmbCategory()->count() > 1);
        QVERIFY(m_window->formats()->cmbCVCodec()->count() > 1);
        QVERIFY(steps()->lblFormat->text().startsWith("Category:"));
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
        QCOMPARE(window->formats()->cmbCategory()->count(), 0);
        QVERIFY(window->isVisible());
    }

    void formatPanelSlidesUpAndAwayWhileTheMainFrameWaits()
    {
        PanelAnimator *animator = m_window->animator();
        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        QVERIFY(animator->isSliding());
        QVERIFY(!m_window->frMain()->isEnabled());
        // "!" does nothing while a slide runs.
        QTest::mouseClick(m_window->findChild<QPushButton *>("cmdAbout"), Qt::LeftButton);
        QCOMPARE(animator->AnimFrame(), m_window->frFormats());
        QTRY_VERIFY_WITH_TIMEOUT(!animator->isSliding(), 5000);
        QCOMPARE(animator->topOf(m_window->frFormats()), 2715.0f);
        QCOMPARE(m_window->frFormats()->y(), 181);
        QVERIFY(!m_window->frMain()->isEnabled());

        // frMain comes back only once the panel has parked again.
        bool parkedWhenEnabled = false;
        QSignalSpy parked(animator, &PanelAnimator::parked);
        connect(animator, &PanelAnimator::parked, this, [&] {
            parkedWhenEnabled = animator->topOf(m_window->frFormats()) == 8655.0f;
        });
        QTest::mouseClick(m_window->formats()->cmdHide(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(parked.count() == 1, 5000);
        QVERIFY(parkedWhenEnabled);
        QVERIFY(m_window->frMain()->isEnabled());
        QCOMPARE(m_window->frFormats()->y(), m_window->height());

        // About's Close turns the panel round even while it is still rising.
        QTest::mouseClick(m_window->findChild<QPushButton *>("cmdAbout"), Qt::LeftButton);
        QTRY_VERIFY(animator->topOf(m_window->frAbout()) < 8000.0f);
        QTest::mouseClick(m_window->about()->cmdCloseHelp(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(parked.count() == 2, 5000);
        QCOMPARE(m_window->frAbout()->y(), m_window->height());
        QVERIFY(m_window->frMain()->isEnabled());
    }

    void helpLinksAndFolderChoice()
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>("MyButton1"), Qt::LeftButton);
        const QString help = QCoreApplication::applicationDirPath() + "/Help.html";
        QCOMPARE(m_fixture->shell.opened, QStringList{help});
        QVERIFY(QFile::exists(help));
        emit m_window->about()->lblFFmpeg()->linkActivated(AboutPanel::EncoderHomePage);
        QCOMPARE(m_fixture->shell.opened.last(), QString("https://ffmpeg.org/"));
        QVERIFY(AboutPanel::MakerWebSite.contains(".example"));

        // The folder options switch the path box and Browse, and keep the typed text.
        steps()->txtOutPath->setText("/srv/out");
        QTest::mouseClick(steps()->optSameFolder, Qt::LeftButton);
        QVERIFY(!steps()->txtOutPath->isEnabled());
        QVERIFY(!steps()->cmdBrowse->isEnabled());
        QTest::mouseClick(steps()->optOtherFolder, Qt::LeftButton);
        QVERIFY(steps()->txtOutPath->isEnabled());
        QCOMPARE(steps()->txtOutPath->text(), QString("/srv/out"));

        m_fixture->dialogs.chosenFolder = "/";
        QTest::mouseClick(steps()->cmdBrowse, Qt::LeftButton);
        QCOMPARE(steps()->txtOutPath->text(), QString("/"));
        QCOMPARE(m_fixture->dialogs.askedTitle, QString("Select folder to add"));
        QVERIFY(m_fixture->dialogs.askedNewStyle);
        m_fixture->dialogs.chosenFolder.clear();
        QTest::mouseClick(steps()->cmdBrowse, Qt::LeftButton);
        QCOMPARE(steps()->txtOutPath->text(), QString("/"));
    }

    void gridTicksDropsAndPlays()
    {
        FileListModel *list = m_window->fileList();
        FileGrid *grid = steps()->Grid;
        QVERIFY(list->append(waitingRow("/videos/a.avi"), nullptr));
        QVERIFY(list->append(waitingRow("/videos/b.avi"), nullptr));

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          cellCentre(grid, 1, FileListModel::CheckBox));
        QVERIFY(list->record(1).CheckBox != 0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          cellCentre(grid, 1, FileListModel::CheckBox));
        QCOMPARE(list->record(1).CheckBox, 0);
        for (int column = FileListModel::FilePath; column < FileListModel::ColumnCount; ++column)
            QVERIFY(!(grid->model()->flags(grid->model()->index(0, column)) & Qt::ItemIsEditable));

        // A double click opens the row's file, but only while Play is enabled.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          cellCentre(grid, 1, FileListModel::FilePath));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                           cellCentre(grid, 1, FileListModel::FilePath));
        QCOMPARE(m_fixture->shell.opened, QStringList{"/videos/b.avi"});
        steps()->cmdPlay->setEnabled(false);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          cellCentre(grid, 0, FileListModel::FilePath));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                           cellCentre(grid, 0, FileListModel::FilePath));
        QCOMPARE(m_fixture->shell.opened.size(), 1);
        steps()->cmdPlay->setEnabled(true);

        // Select All and Remove reach the list.
        QTest::mouseClick(steps()->chkSelectAll, Qt::LeftButton);
        QCOMPARE(list->record(0).CheckBox, 1);
        QTest::mouseClick(steps()->cmdRemove, Qt::LeftButton);
        QCOMPARE(list->rowCount(), 0);
        QVERIFY(!steps()->chkSelectAll->isChecked());

        // Dropped files are added in drop order; a refused one is passed over silently.
        const TestMedia &media = TestMedia::instance();
        QFile song(m_fixture->folder.filePath("song.mp3"));
        QVERIFY(song.open(QIODevice::WriteOnly));
        song.write("ID3");
        song.close();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(media.clip("mkv")),
                      QUrl::fromLocalFile(song.fileName()),
                      QUrl::fromLocalFile(media.clip("avi"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(grid->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(grid->viewport(), &drop);
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->record(0).FilePath, media.clip("mkv"));
        QCOMPARE(list->record(1).FilePath, media.clip("avi"));
        QCOMPARE(m_fixture->messages.count(), 0);
    }

    void closeRunsTheUnloadHandlerOnce()
    {
        QSignalSpy unloading(m_window, &MainWindow::unloading);
        QTest::mouseClick(m_window->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
        QCOMPARE(unloading.count(), 1);
        QVERIFY(!m_window->isVisible());
        QVERIFY(QFile::exists(m_fixture->settingsFile()));
    }

    void minimizeAndDrag()
    {
        const QPoint before = m_window->pos();
        QWidget *frame = m_window->frMain();
        // Offscreen there is no window manager to move the window, so the panel does it.
        QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(200, 10));
        QTest::mouseMove(frame, QPoint(230, 30));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(230, 30));
        QTRY_COMPARE(m_window->pos(), before + QPoint(30, 20));

        QTest::mouseClick(m_window->findChild<QPushButton *>("cmdMinimize"), Qt::LeftButton);
        QTRY_VERIFY(m_window->isMinimized());
    }

    void everyControlIsNamedAndTabsFollowTheSteps()
    {
        const auto controls = m_window->findChildren<QWidget *>();
        for (QWidget *control : controls) {
            if (control->window() != m_window) // the lists' own pop-ups
                continue;
            if (qobject_cast<QAbstractButton *>(control) || qobject_cast<QLineEdit *>(control) ||
                qobject_cast<QComboBox *>(control) || qobject_cast<QAbstractItemView *>(control))
                QVERIFY2(!control->accessibleName().isEmpty(),
                         qPrintable(control->objectName() + " " + control->metaObject()->className() + " in " + control->parentWidget()->objectName()));
        }
        QCOMPARE(steps()->Grid->accessibleName(), QString("File list"));

        const QList<QWidget *> order = {steps()->cmdAddVideoFile, steps()->Grid,
                                        steps()->cmdChangeFormat, steps()->optSameFolder,
                                        steps()->txtOutPath, steps()->cmdConvert,
                                        steps()->chkShutdown};
        QList<int> positions;
        QWidget *widget = steps()->cmdAddVideoFile;
        for (int step = 0; step < 200 && positions.size() < order.size(); ++step) {
            if (order.contains(widget) && !positions.contains(order.indexOf(widget)))
                positions << order.indexOf(widget);
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(positions, (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
