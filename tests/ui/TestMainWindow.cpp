#include "AboutPanel.h"
#include "CRegister.h"
#include "ChildProcesses.h"
#include "EncoderPath.h"
#include "FileAdder.h"
#include "OutputFolders.h"
#include "PanelAnimator.h"
#include "PresetsFile.h"
#include "SettingsPersistence.h"
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
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>

namespace {
const quint32 kRoot = CRegister::HKEY_LOCAL_MACHINE;

QList<QComboBox *> allLists(FormatPanel *formats)
{
    // The category comes first: it rebuilds the label and extension lists.
    return {formats->cmbCategory(),      formats->cmbOutVCodec(), formats->cmbOutFormat(),
            formats->cmbCustContainer(), formats->cmbCACodec(),   formats->cmbCASmapleRate(),
            formats->cmbCVCodec(),       formats->cmbCVSize(),    formats->cmbCVAspect()};
}

QList<QLineEdit *> allFields(FormatPanel *formats)
{
    return {formats->txtCABirate(), formats->txtChannels(), formats->txtCVBitrate(),
            formats->txtFrameRate()};
}

// The seventeen stored choices as the window shows them.
QStringList choices(MainWindow *window)
{
    QStringList all = {QString::number(window->steps()->optSameFolder->isChecked()),
                       QString::number(window->steps()->optOtherFolder->isChecked()),
                       window->steps()->txtOutPath->text(),
                       QString::number(window->formats()->optFormat(1)->isChecked())};
    for (QComboBox *list : allLists(window->formats()))
        all << list->currentText();
    for (QLineEdit *field : allFields(window->formats()))
        all << field->text();
    return all;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    QTemporaryDir m_media; // clips handed in from outside
    StepsFrame *steps() const { return m_window->steps(); }
    void click(const char *name) { m_fixture->click(name); }
    QString media(const QString &name) const { return m_media.filePath(name); }
    MainWindow *reopen() { return m_window = m_fixture->open(); }

    QStringList listedPaths() const
    {
        QStringList paths;
        for (const FileListRecord &record : m_window->fileList()->records())
            paths << record.FilePath;
        return paths;
    }

    void verifyDefaults(MainWindow *window)
    {
        FormatPanel *f = window->formats();
        // A default of "1" selects the second item, or the first when there is one.
        const auto second = [](QComboBox *list) { return list->itemText(list->count() > 1); };
        QCOMPARE(
            choices(window),
            (QStringList{"0", "1", OutputFolders::defaultFolder(), "0", second(f->cmbCategory()),
                         second(f->cmbOutVCodec()), second(f->cmbOutFormat()), "AVI",
                         second(f->cmbCACodec()), "22.05 KHz", second(f->cmbCVCodec()),
                         "[As Input]", "[As Input]", "64", "2", "320", "25"}));
        // The command line picks the same preset without a window.
        const PresetChoice first =
            PresetsFile::load(PresetsFile::defaultPath()).table.firstStartChoice();
        QCOMPARE((QStringList{f->cmbCategory()->currentText(), f->cmbOutVCodec()->currentText(),
                              f->cmbOutFormat()->currentText()}),
                 (QStringList{first.category, first.label, first.extension}));
        // Enabled in itself; the main frame around it may be waiting for a panel.
        QVERIFY(window->steps()->txtOutPath->isEnabledTo(window->frMain()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_media.path()).mkpath("other/Folder") &&
                QDir(m_media.path()).mkpath("empty"));
        for (const char *name : {"a clip.mkv", "other/b.mp4", "other/Folder/c.avi"})
            QVERIFY(TestMedia::makeClip(media(name), 0.4));
        QFile notes(media("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a video\n") > 0);
    }

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
        QVERIFY(grid->isColumnHidden(FileListModel::ID));
        QCOMPARE(grid->model()->headerData(FileListModel::Status, Qt::Horizontal).toString(),
                 QString("Conversion Status"));
        // Screen readers are told the texts a sighted user reads.
        const auto spoken = [](QWidget *label) {
            return QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
        };
        QCOMPARE(spoken(m_window->about()->lblVer()), QString("1.0.0.5"));
        QVERIFY(spoken(steps()->lblFormat).startsWith("Category:"));
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
        QVERIFY(window && window->formats()->cmbCategory()->count() == 0);
        const QStringList texts = broken.messages.texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts.at(0).startsWith("Error Occured while Loading Presets.\r\n"));
        QVERIFY(texts.at(1).startsWith("Error Occured while Loading Codecs.\r\n"));
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
        QCOMPARE(shown.last(), QString("All Files(*.*)"));
    }

    void gridTicksDropsAndPlays()
    {
        FileListModel *list = m_window->fileList();
        FileGrid *grid = steps()->Grid;
        // Dropped files are added in drop order; a refused one is passed over silently.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(media("a clip.mkv")),
                      QUrl::fromLocalFile(media("notes.txt")),
                      QUrl::fromLocalFile(media("other/b.mp4"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(grid->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(grid->viewport(), &drop);
        QTRY_VERIFY_WITH_TIMEOUT(!steps()->lblAddProgress->isVisible(), 60000);
        QCOMPARE(listedPaths(), (QStringList{media("a clip.mkv"), media("other/b.mp4")}));
        QCOMPARE(m_fixture->messages.count(), 0);

        const QPoint tick =
            grid->visualRect(grid->model()->index(1, FileListModel::CheckBox)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tick);
        QVERIFY(list->record(1).CheckBox != 0);

        m_fixture->doubleClickRow(1);
        QCOMPARE(m_fixture->shell.opened, QStringList{media("other/b.mp4")});
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
        QCOMPARE(line->text(), QString("Adding 0 of 80\u2026"));
        QTRY_VERIFY_WITH_TIMEOUT(list->rowCount() > 0, 60000);
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Space);
        QVERIFY(!line->isVisible() && !cancel->isVisible());
        const int rows = list->rowCount();
        QTest::qWait(300);
        QVERIFY(list->rowCount() == rows && rows < clips.size());
        QCOMPARE(liveChildProcesses(), 0);

        QSignalSpy unloading(m_window, &MainWindow::unloading);
        m_fixture->dialogs.chosenFiles = clips.mid(rows);
        click("cmdAddVideoFile");
        QTRY_VERIFY_WITH_TIMEOUT(list->rowCount() > rows, 60000);
        m_window->close(); // as the window manager would
        QVERIFY(!m_window->isVisible() && unloading.count() == 1);
        QCOMPARE(liveChildProcesses(), 0);
        const int closedWith = list->rowCount();
        QTest::qWait(300);
        QVERIFY(list->rowCount() == closedWith && closedWith < clips.size());
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
        QCOMPARE(grid->columnWidth(FileListModel::Status), Twips::toPixels(2000));
        QCOMPARE(grid->columnWidth(FileListModel::FileSize), Twips::toPixels(1200));
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

    void everyControlIsNamedAndTabSkipsParkedPanels()
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

    // Paths opened from outside (a second start, a file manager) are added in order.
    void openedPathsAreAdded_data()
    {
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("folder between files")
            << QStringList{"other/b.mp4", "other/Folder", "a clip.mkv"}
            << QStringList{"other/b.mp4", "other/Folder/c.avi", "a clip.mkv"} << QStringList{};
        QTest::newRow("refused file warned once")
            << QStringList{"notes.txt", "a clip.mkv", "a clip.mkv"} << QStringList{"a clip.mkv"}
            << QStringList{"Some files are not supported or already exist and will not be added"};
        QTest::newRow("empty folder")
            << QStringList{"empty", "other/b.mp4"} << QStringList{"other/b.mp4"}
            << QStringList{"Selected Folder is empty."};
    }
    void openedPathsAreAdded()
    {
        QFETCH(QStringList, opened);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, messages);
        for (QStringList *paths : {&opened, &listed}) {
            for (QString &path : *paths)
                path = media(path);
        }
        m_window->openPaths(opened);
        QTRY_COMPARE(listedPaths(), listed);
        QTRY_VERIFY(!m_window->adder()->isAdding());
        QCOMPARE(m_fixture->messages.texts(), messages);
    }

    // Paths that arrive while an add of the Add button waits on its probes come after it.
    void pathsArrivingDuringAnAddWait()
    {
        m_fixture->dialogs.chosenFiles = {media("a clip.mkv")};
        click("cmdAddVideoFile");
        QVERIFY(m_window->adder()->isAdding());
        m_window->openPaths({media("other/Folder"), media("other/b.mp4")});
        QTRY_COMPARE(listedPaths(), (QStringList{media("a clip.mkv"), media("other/Folder/c.avi"),
                                                 media("other/b.mp4")}));
        QCOMPARE(m_fixture->messages.count(), 0);
    }

    void batchEndIsNotifiedOnlyWhenTheWindowIsInactive()
    {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        m_window->notifyBatchEnded(3, 0);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m_window->notifyBatchEnded(2, 1);
        QCOMPARE(m_fixture->notifier.shown,
                 QStringList{"Conversion finished: 2 files converted, 1 failed"});
    }

    // A damaged file is the store's concern; here the first start finds no file at all.
    void startsWithDefaultsAndWritesLater()
    {
        MainWindow *window = m_window;
        verifyDefaults(window);
        QVERIFY(!QFile::exists(m_fixture->settingsFile()) && m_fixture->messages.count() == 0);
        window->formats()->txtFrameRate()->setText("50");
        QCOMPARE(reopen()->formats()->txtFrameRate()->text(), QString("50"));
    }

    void everyChoiceSurvivesARestart()
    {
        MainWindow *window = m_window;
        window->steps()->optSameFolder->setChecked(true);
        window->steps()->txtOutPath->setText("/srv/media/out put");
        window->formats()->optFormat(1)->setChecked(true);
        for (QComboBox *list : allLists(window->formats()))
            list->setCurrentIndex(list->count() - 1);
        const QStringList typed = {"128", "6", "2500", "29.97"};
        for (int field = 0; field < typed.size(); ++field)
            allFields(window->formats()).at(field)->setText(typed.at(field));
        const QStringList chosen = choices(window);

        window = reopen();
        QCOMPARE(choices(window), chosen);
        QVERIFY(!window->steps()->cmdBrowse->isEnabled());
        // Earlier versions wrote these names (and this one the number of files at once); a
        // renamed one would silently lose its choice.
        QStringList stored = QSettings(m_fixture->settingsFile(), QSettings::IniFormat).allKeys();
        QStringList pinned;
        for (const char *name :
             {"optOtherFolder", "optSameFolder", "txtOutPath", "optFormat", "cmbCategory",
              "cmbOutVCodec", "cmbOutFormat", "cmbCustContainer", "cmbCACodec", "cmbCASmapleRate",
              "cmbCVCodec", "cmbCVSize", "cmbCVAspect", "txtCABirate", "txtChannels",
              "txtCVBitrate", "txtFrameRate", "spnSimultaneous"})
            pinned << QStringLiteral("HKEY_LOCAL_MACHINE/Software/Tarnwick Reelforge/Settings/") +
                          name;
        stored.sort();
        pinned.sort();
        QCOMPARE(stored, pinned);
    }

    void storedValuesThatCannotBeUsedAreSkipped()
    {
        m_window->close(); // writes its choices, which these then replace
        m_fixture->window.reset();
        const CRegister store(m_fixture->settingsFile());
        const QList<QPair<QString, QString>> stored = {
            {"optFormat", "1"}, {"cmbCategory", "99"}, {"txtCABirate", "abc"}, {"txtOutPath", ""}};
        for (const auto &[name, value] : stored)
            QVERIFY(store.REGSaveSetting(kRoot, SettingsPersistence::KeyPath, name, value));
        MainWindow *window = reopen();
        FormatPanel *formats = window->formats();
        QVERIFY(formats->optFormat(1)->isChecked() && formats->cmbCategory()->currentIndex() == 0);
        QCOMPARE(window->steps()->txtOutPath->text(), OutputFolders::defaultFolder());
        // Restored unchanged; building the options refuses it later.
        QCOMPARE(formats->txtCABirate()->text(), QString("abc"));
    }

    void restoreDefaultsForgetsAtOnceAndKeepsThePanelOpen()
    {
        MainWindow *window = m_window;
        window->steps()->optSameFolder->setChecked(true);
        window->formats()->txtChannels()->setText("1");
        window->formats()->cmbCVSize()->setCurrentIndex(7);
        window = reopen();
        QCOMPARE(window->formats()->txtChannels()->text(), QString("1"));

        QTest::mouseClick(window->steps()->cmdChangeFormat, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(window->frFormats()->y() == 181, 5000);
        QTest::mouseClick(window->formats()->cmdDefaults(), Qt::LeftButton);
        const CRegister stored(m_fixture->settingsFile());
        for (const char *name : {"optSameFolder", "txtChannels", "cmbCVSize", "txtOutPath"})
            QCOMPARE(stored.REGGetSetting(kRoot, SettingsPersistence::KeyPath, name, "gone"),
                     QString("gone"));
        verifyDefaults(window);
        QCOMPARE(window->frFormats()->y(), 181);
        QVERIFY(!window->frMain()->isEnabled());
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
