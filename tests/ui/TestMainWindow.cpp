#include "engine/EncoderInventory.h"
#include "format/UserPresets.h"
#include "settings/CRegister.h"
#include "settings/OutputFolders.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/EncoderSearchPath.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/StandInEncoder.h"
#include "tests/ui/WindowFixture.h"
#include "ui/AboutPanel.h"
#include "ui/PanelAnimator.h"
#include "ui/SettingsPersistence.h"
#include "ui/Twips.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>

namespace {
// The stored choices by the names earlier versions wrote them under (and this one the number of
// files at once, what to do with existing results and the file date): a renamed one would
// silently lose its choice. The category comes before the label and extension lists it rebuilds.
const QStringList kStored = {
    "optOtherFolder",     "optSameFolder", "txtOutPath",       "optFormat",     "cmbCategory",
    "cmbOutVCodec",       "cmbOutFormat",  "cmbCustContainer", "cmbCACodec",    "cmbCASmapleRate",
    "cmbCVCodec",         "cmbCVSize",     "cmbCVAspect",      "txtCABirate",   "txtChannels",
    "txtCVBitrate",       "txtFrameRate",  "spnSimultaneous",  "cmbWhenExists", "chkKeepDate",
    "chkCopyWhenPossible"};

BuiltProgram::Ran cli(const QStringList &arguments)
{
    return BuiltProgram::run("reelforge-cli", arguments);
}

QStringList choices(MainWindow *window)
{
    QStringList all;
    for (const QString &name : kStored) {
        const auto *shown = window->findChild<QWidget *>(name == "optFormat" ? "optFormat1" : name);
        all << (shown ? shown->metaObject()->userProperty().read(shown).toString()
                      : "no control " + name);
    }
    return all;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    StepsFrame *steps() const { return m_window->steps(); }
    MainWindow *reopen() { return m_window = m_fixture->open(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<WindowFixture>();
        m_window = m_fixture->open();
        QVERIFY(m_window);
    }

    void cleanup() { m_fixture.reset(); }

    // The worked slide in twips over a window of the design height, 8655 twips (577 pixels): no
    // second slide starts over a running one, a close during the rise turns the panel round, and
    // frMain waits for the park.
    void panelsSlideOneAtATime()
    {
        PanelAnimator *animator = m_window->animator();
        QWidget *main = m_window->frMain();
        QWidget *about = m_window->frAbout();
        QWidget *formats = m_window->frFormats();
        QList<float> tops; // after each tick
        connect(animator->tmrAnimate(), &QTimer::timeout, this,
                [&] { tops << animator->topOf(animator->AnimFrame()); });
        m_fixture->click("cmdAbout");
        QVERIFY(animator->isSliding() && !main->isEnabled());
        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!animator->isSliding(), 5000);
        QList<float> expected;
        for (int tick = 1; tick <= 19; ++tick)
            expected << 8655.0f - 300 * tick;
        QCOMPARE(tops, expected << 2805 << 2730 << 2655 << 2580 << 2715);
        QVERIFY(about->y() == 181 && formats->y() == m_window->height());

        tops.clear();
        QTest::mouseClick(m_window->about()->cmdCloseHelp(), Qt::LeftButton);
        QVERIFY(!main->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(main->isEnabled(), 5000);
        expected.clear();
        for (float top = 2715 + 500; top <= 8715; top += 500)
            expected << top;
        QCOMPARE(tops, expected << 8655);
        QVERIFY(about->y() == m_window->height() && about->isHidden());

        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        m_fixture->click("cmdAbout");
        QTRY_VERIFY(tops.size() >= expected.size() + 3);
        const float turnedAt = animator->topOf(formats);
        QTest::mouseClick(m_window->formats()->cmdHide(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(main->isEnabled(), 5000);
        QVERIFY(tops.contains(turnedAt + 500) && tops.last() == 8655.0f);
        QVERIFY(formats->isHidden() && about->y() == m_window->height());
    }

    // Dropped files are added in drop order, a refused one passed over silently. Whatever comes
    // during that add waits behind it, in order: Add Video File and Add Folder (their dialogs
    // open at once), a second drop, and paths opened from outside (a second start, a file
    // manager), neighbouring files as one add, warned once. A tick toggles its box, a double
    // click plays, and the columns fit beside the scroll bar.
    void gridTakesDropsOpenedPathsAndManyRows()
    {
        const QTemporaryDir outside;
        const auto media = [&](const QString &name) { return outside.filePath(name); };
        QVERIFY(QDir().mkpath(media("other/Folder")) && QDir().mkpath(media("empty")));
        for (const char *name :
             {"a clip.mkv", "other/b.mp4", "other/Folder/c.avi", "x.mkv", "y.mp4"})
            QVERIFY(TestMedia::makeClip(media(name), 0.4));
        QVERIFY(writeFile(media("notes.txt"), "not a video\n"));
        FileGrid *grid = steps()->Grid;
        QVERIFY(m_fixture->drop({media("a clip.mkv"), media("notes.txt"), media("other/b.mp4")}));
        QVERIFY(m_window->adder()->isAdding());
        m_fixture->dialogs.chosenFiles = {media("x.mkv")};
        m_fixture->click("cmdAddVideoFile");
        m_fixture->dialogs.chosenFolder = media("other/Folder");
        m_fixture->click("cmdAddFolder");
        QVERIFY(m_fixture->drop({media("y.mp4")}));
        m_window->openPaths({media("notes.txt"), media("a clip.mkv"), media("empty")});
        QTRY_COMPARE_WITH_TIMEOUT(
            m_fixture->column(FileListModel::FilePath),
            (QStringList{media("a clip.mkv"), media("other/b.mp4"), media("x.mkv"),
                         media("other/Folder/c.avi"), media("y.mp4")}),
            60000);
        QTRY_VERIFY_WITH_TIMEOUT(
            !m_window->adder()->isAdding() && !steps()->lblAddProgress->isVisible(), 60000);
        QCOMPARE(m_fixture->messages.texts(),
                 (QStringList{"Some files are not supported or already exist and will not be added",
                              "Selected Folder is empty."}));

        const QPoint tick =
            grid->visualRect(grid->model()->index(1, FileListModel::CheckBox)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tick);
        QVERIFY(m_window->fileList()->record(1).CheckBox != 0);
        m_fixture->doubleClickRow(1);
        QCOMPARE(m_fixture->shell.opened, QStringList{media("other/b.mp4")});

        // Once rows outgrow the grid, File Path gives up the scroll bar's width.
        QVector<FileListRecord> rows(40);
        for (int row = 0; row < rows.size(); ++row)
            rows[row].FilePath = QString("/v/%1.avi").arg(row);
        QVERIFY(m_window->fileList()->rebuild(rows, nullptr));
        QTRY_VERIFY(grid->verticalScrollBar()->isVisible());
        QTRY_COMPARE(grid->horizontalHeader()->length(), grid->viewport()->width());
        QCOMPARE(grid->columnWidth(FileListModel::Status), Twips::toPixels(2000));
        QCOMPARE(grid->columnWidth(FileListModel::FileSize), Twips::toPixels(1200));
    }

    // Many files through the dialog: the count shows under the grid, and Cancel (by keyboard) or
    // a close mid-add ends it and drops the adds waiting behind it; the close also closes at once.
    void addsInTheBackgroundUntilCancelledOrClosed_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close") << true;
    }

    void addsInTheBackgroundUntilCancelledOrClosed()
    {
        QFETCH(bool, close);
        QStringList clips;
        for (int i = 0; i < 82; ++i) {
            clips << m_fixture->folder.filePath(QString("clip%1.mkv").arg(i));
            QVERIFY(QFile::copy(TestMedia::instance().clip("mkv"), clips.last()));
        }
        const QStringList waiting = {clips.takeLast(), clips.takeLast()};
        // The window's own questions to the encoder end first: the children counted later are
        // the add's.
        QTRY_VERIFY_WITH_TIMEOUT(liveChildProcesses() == 0, 30000);
        FileListModel *list = m_window->fileList();
        QSignalSpy unloading(m_window, &MainWindow::unloading);
        m_fixture->dialogs.chosenFiles = clips;
        m_fixture->click("cmdAddVideoFile");
        QCOMPARE(steps()->lblAddProgress->text(), QString("Adding 0 of 80\u2026"));
        QTRY_VERIFY_WITH_TIMEOUT(list->rowCount() > 0, 60000);
        m_fixture->dialogs.chosenFiles = {waiting.first()};
        m_fixture->click("cmdAddVideoFile");
        QVERIFY(m_fixture->drop({waiting.last()}));
        if (close)
            m_window->close(); // as the window manager would
        else
            QTest::keyClick(steps()->cmdCancelAdd, Qt::Key_Space);
        QVERIFY(m_window->isVisible() != close && unloading.count() == int(close));
        QVERIFY(!m_window->adder()->isAdding() && liveChildProcesses() == 0);
        QVERIFY(steps()->cmdCancelAdd->isHidden() || close);
        const int stoppedWith = list->rowCount();
        QTest::qWait(300);
        QVERIFY(list->rowCount() == stoppedWith && stoppedWith < clips.size());
        for (const QString &path : waiting)
            QCOMPARE(list->rowOfPath(path), -1);
    }

    // Against a stand-in that offers H.264, AAC and MP4 only, and against the real encoder.
    void unavailableFormatsAreGreyedAndStartNoBatch()
    {
        StandInEncoder::write(m_fixture->folder.path(), {"libx264", "aac"}, {"mp4"});
        FormatPanel *panel = nullptr;
        {
            const EncoderSearchPath standIn(m_fixture->folder.path());
            panel = reopen()->formats();
        }
        QTRY_VERIFY(m_window->findChild<EncoderInventory *>()->isReady());
        panel->cmbCategory()->setCurrentText("Web Video");
        const QString noAv1 = "Not available: the installed ffmpeg has no encoder \"libsvtav1\".";
        QCOMPARE(panel->cmbOutVCodec()->itemData(2, Qt::ToolTipRole).toString(), noAv1);
        QCOMPARE(panel->cmbOutVCodec()->itemData(2, Qt::AccessibleDescriptionRole).toString(),
                 noAv1);
        QVERIFY(panel->missingEncoder().startsWith("encoder \"libvpx-vp9\""));
        m_fixture->click("cmdConvert");
        // One message, naming what is missing.
        const QStringList told = m_fixture->messages.texts();
        QVERIFY(told.size() == 1 && told.first().contains(panel->missingEncoder()));
        QCOMPARE(steps()->cmdConvert->text(), QString("Convert All"));
        panel->cmbCategory()->setCurrentText("MP4 Video");
        QCOMPARE(panel->missingEncoder(), QString());
        // The user's pick of what cannot be made is refused at once, as the convert button
        // would, and the choice before it stays: a label (with its container), a container.
        panel->cmbCategory()->setCurrentText("Common Video");
        panel->cmbOutVCodec()->setCurrentText("H.264 / AAC");
        panel->cmbOutFormat()->setCurrentText("mp4");
        m_fixture->messages.clear();
        QTest::keyClick(panel->cmbOutVCodec(), Qt::Key_Down);
        QTest::keyClick(panel->cmbOutFormat(), Qt::Key_Up);
        QCOMPARE(m_fixture->messages.texts(),
                 (QStringList{FormatPanel::cannotBeMade("encoder \"mpeg4\""),
                              FormatPanel::cannotBeMade("container \"matroska\"")}));
        QCOMPARE(panel->cmbOutVCodec()->currentText() + " " + panel->cmbOutFormat()->currentText(),
                 QString("H.264 / AAC mp4"));
        // In the custom format the container and each codec are judged on their own.
        panel->optFormat(1)->setChecked(true);
        QCOMPARE(panel->cmbCVCodec()->itemData(7, Qt::ToolTipRole).toString(), noAv1);
        panel->cmbCVCodec()->setCurrentText("H.264 / AVC");
        panel->cmbCACodec()->setCurrentText("AAC");
        QCOMPARE(panel->missingEncoder(), QString("container \"avi\""));
        QComboBox *codecs = panel->cmbCVCodec();
        codecs->showPopup();
        const QModelIndex av1 = codecs->model()->index(7, 0);
        codecs->view()->scrollTo(av1);
        QTest::mouseClick(codecs->view()->viewport(), Qt::LeftButton, {},
                          codecs->view()->visualRect(av1).center());
        QCOMPARE(codecs->currentText(), QString("H.264 / AVC"));
        QCOMPARE(m_fixture->messages.count(), 3);
        panel->cmbCustContainer()->setCurrentText("MP4");
        QCOMPARE(panel->missingEncoder(), QString());

        // The real encoder makes every shipped format.
        panel = reopen()->formats();
        QTRY_VERIFY(m_window->findChild<EncoderInventory *>()->isReady());
        for (int category = 0; category < panel->cmbCategory()->count(); ++category) {
            panel->cmbCategory()->setCurrentIndex(category);
            for (QComboBox *list : panel->findChildren<QComboBox *>())
                for (int item = 0; item < list->count(); ++item)
                    QVERIFY2(list->itemData(item, Qt::ToolTipRole).toString().isEmpty(),
                             qPrintable(list->objectName()));
        }
    }

    // Screen readers are told what a sighted user reads; in the active window, parked panels
    // take no focus, and a batch end is not notified.
    void everyControlIsNamedAndTheActiveWindowKeepsToItself()
    {
        const auto spoken = [](QWidget *label) {
            return QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
        };
        QCOMPARE(spoken(m_window->about()->lblVer()), QString("1.0.0.5"));
        QCOMPARE(spoken(steps()->lblFormat), steps()->lblFormat->text());
        for (QWidget *control : m_window->findChildren<QWidget *>()) {
            // What takes focus, but not the lists' own pop-ups, nor a spin box's inner field,
            // which the spin box speaks for.
            if (control->focusPolicy() != Qt::NoFocus && control->window() == m_window &&
                !qobject_cast<QAbstractSpinBox *>(control->parentWidget()))
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
        // A batch end is notified only while another window is active.
        m_window->notifyBatchEnded(3, 0);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m_window->notifyBatchEnded(2, 1);
        QCOMPARE(m_fixture->notifier.shown,
                 QStringList{"Conversion finished: 2 files converted, 1 failed"});
    }

    // A custom format saved under a typed name is offered at once and after a restart, and
    // reelforge-cli lists it and converts with it; the same name again is refused. A damaged
    // file is told once and the shipped presets still serve.
    void savedPresetsServeTheWindowAndTheCli()
    {
        QTemporaryDir data;
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", dataHome); });
        const QString file = data.filePath("reelforge/presets.xml");
        const QString mine = UserPresets::category();
        FormatPanel *f = m_window->formats();
        const int shipped = f->cmbCategory()->count();

        QTest::mouseClick(f->optFormat(1), Qt::LeftButton);
        f->txtCVBitrate()->setText("400");
        m_fixture->dialogs.answers = {"Quick / AVI", "Quick / AVI"};
        QTest::mouseClick(f->cmdSavePreset(), Qt::LeftButton);
        QCOMPARE(f->cmbCategory()->itemText(shipped), mine);
        const QByteArray saved = fileBytes(file);
        QTest::mouseClick(f->cmdSavePreset(), Qt::LeftButton);
        QCOMPARE(m_fixture->messages.count(), 1);
        QVERIFY(m_fixture->messages.texts().at(0).contains("already holds"));
        QCOMPARE(fileBytes(file), saved);

        f = reopen()->formats();
        f->optFormat(0)->setChecked(true);
        f->cmbCategory()->setCurrentIndex(shipped);
        QCOMPARE(f->cmbCategory()->currentText(), mine);
        QCOMPARE(f->cmbOutVCodec()->currentText(), QString("Quick / AVI"));
        QCOMPARE(f->cmbOutFormat()->currentText(), QString("AVI"));
        QVERIFY(f->buildParameters().options.contains("-vcodec mpeg4 -b 400000"));
        QVERIFY(cli({"--list-presets"}).out.endsWith(mine + "\tQuick / AVI\tAVI\n"));

        // Another file by name, while the default one is damaged: one line, nothing else lost.
        const QString copy = data.filePath("copy.xml");
        QVERIFY(QFile::copy(file, copy));
        QVERIFY(QFile::resize(file, saved.size() / 2));
        const QString clip = data.filePath("clip.mkv");
        QVERIFY(TestMedia::makeClip(clip, 1));
        const QStringList preset = {"--category", mine, "--preset", "Quick / AVI"};
        const BuiltProgram::Ran converted =
            cli(preset + QStringList{"--presets", copy, "--output", data.filePath("out"), clip});
        QVERIFY2(converted.status == 0 && converted.err.isEmpty(), qPrintable(converted.err));
        QVERIFY(TestMedia::playable(data.filePath("out/clip.AVI")));
        const BuiltProgram::Ran listed = cli({"--list-presets"});
        QVERIFY(listed.status == 0 && listed.out.contains("MP4 Video\t") &&
                !listed.out.contains(mine));
        QCOMPARE(listed.err.count('\n'), 1);
        QVERIFY(listed.err.contains(file));

        m_fixture->messages.clear();
        f = reopen()->formats();
        QCOMPARE(m_fixture->messages.count(), 1);
        QVERIFY(m_fixture->messages.texts().at(0).contains(file));
        QCOMPARE(f->cmbCategory()->count(), shipped);
    }

    // The first start finds no file and shows the defaults; every choice survives a restart;
    // stored values that cannot be used are skipped; Restore Defaults forgets at once. A
    // damaged file is the store's concern.
    void choicesSurviveARestartUntilDefaultsAreRestored()
    {
        FormatPanel *f = m_window->formats();
        // A default of "1" selects the second item, or the first when there is one.
        const auto second = [](QComboBox *list) { return list->itemText(list->count() > 1); };
        QCOMPARE(choices(m_window),
                 (QStringList{"true", "false", OutputFolders::defaultFolder(), "false",
                              second(f->cmbCategory()), second(f->cmbOutVCodec()),
                              second(f->cmbOutFormat()), "AVI", second(f->cmbCACodec()),
                              "22.05 KHz", second(f->cmbCVCodec()), "[As Input]", "[As Input]",
                              "64", "2", "320", "25", "1"}
                  << "Make a new name"
                  << "true"
                  << "false"));
        const QStringList defaults = choices(m_window);
        QVERIFY(!QFile::exists(m_fixture->settingsFile()) && m_fixture->messages.count() == 0);

        steps()->optSameFolder->setChecked(true);
        steps()->txtOutPath->setText("/srv/media/out put");
        steps()->spnSimultaneous->setValue(steps()->spnSimultaneous->maximum());
        steps()->chkKeepDate->setChecked(false);
        f->optFormat(1)->setChecked(true);
        QStringList typed = {"128", "6", "2500", "29.97"};
        for (const QString &name : kStored) {
            if (auto *list = m_window->findChild<QComboBox *>(name))
                list->setCurrentIndex(list->count() - 1);
            else if (auto *field = f->findChild<QLineEdit *>(name))
                field->setText(typed.takeFirst());
            else if (auto *box = f->findChild<QCheckBox *>(name))
                box->setChecked(true);
        }
        const QStringList chosen = choices(m_window);
        QVERIFY(reopen());
        QCOMPARE(choices(m_window), chosen);
        QVERIFY(!steps()->cmdBrowse->isEnabled());
        const QSettings file(m_fixture->settingsFile(), QSettings::IniFormat);
        QCOMPARE(file.allKeys().size(), kStored.size());
        for (const QString &name : kStored)
            QVERIFY2(
                file.contains("HKEY_LOCAL_MACHINE/Software/Tarnwick Reelforge/Settings/" + name),
                qPrintable(name));

        m_window->close(); // writes its choices, which these then replace
        m_fixture->window.reset();
        const CRegister store(m_fixture->settingsFile());
        const QStringList unusable = {"optFormat=1", "cmbCategory=99", "cmbCVSize=7",
                                      "txtCABirate=abc", "txtOutPath="};
        for (const QString &value : unusable)
            QVERIFY(store.REGSaveSetting(CRegister::HKEY_LOCAL_MACHINE,
                                         SettingsPersistence::KeyPath, value.section('=', 0, 0),
                                         value.section('=', 1)));
        f = reopen()->formats();
        QVERIFY(f->optFormat(1)->isChecked() && f->cmbCategory()->currentIndex() == 0);
        QCOMPARE(steps()->txtOutPath->text(), OutputFolders::defaultFolder());
        // Restored unchanged; building the options refuses it later.
        QCOMPARE(f->txtCABirate()->text(), QString("abc"));

        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->frFormats()->y() == 181, 5000);
        QTest::mouseClick(f->cmdDefaults(), Qt::LeftButton);
        for (const QString &value : unusable)
            QCOMPARE(store.REGGetSetting(CRegister::HKEY_LOCAL_MACHINE,
                                         SettingsPersistence::KeyPath, value.section('=', 0, 0),
                                         "gone"),
                     QString("gone"));
        QCOMPARE(choices(m_window), defaults);
        // Enabled in itself; the main frame around it waits for the panel.
        QVERIFY(steps()->txtOutPath->isEnabledTo(m_window->frMain()));
        QVERIFY(m_window->frFormats()->y() == 181 && !m_window->frMain()->isEnabled());
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
