#include "engine/EncoderInventory.h"
#include "format/UserPresets.h"
#include "settings/CRegister.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/EncoderSearchPath.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/StandInEncoder.h"
#include "tests/ui/WindowFixture.h"
#include "ui/AboutPanel.h"
#include "ui/PanelAnimator.h"
#include "ui/SettingsPersistence.h"

#include <QScopeGuard>

namespace {
// What reelforge-cli prints, standard error last.
QString cli(const QStringList &arguments)
{
    const BuiltProgram::Ran ran = BuiltProgram::run("reelforge-cli", arguments);
    return ran.out + ran.err;
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

    // No second slide starts over a running one, a close during the rise turns the panel round,
    // and frMain waits for the park.
    void panelsSlideOneAtATime()
    {
        PanelAnimator *animator = m_window->animator();
        QWidget *main = m_window->frMain();
        QWidget *about = m_window->frAbout();
        QWidget *formats = m_window->frFormats();
        int ticks = 0;
        connect(animator->tmrAnimate(), &QTimer::timeout, this, [&] { ++ticks; });
        m_fixture->click("cmdAbout");
        QVERIFY(animator->isSliding() && !main->isEnabled());
        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!animator->isSliding(), 5000);
        QVERIFY(about->y() < m_window->height() && formats->y() == m_window->height());

        QTest::mouseClick(m_window->about()->cmdCloseHelp(), Qt::LeftButton);
        QVERIFY(!main->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(main->isEnabled(), 5000);
        QVERIFY(about->y() == m_window->height() && about->isHidden());

        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        m_fixture->click("cmdAbout");
        const int started = ticks;
        QTRY_VERIFY(ticks >= started + 3);
        QVERIFY(animator->isSliding()); // still rising
        QTest::mouseClick(m_window->formats()->cmdHide(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(main->isEnabled(), 5000);
        QVERIFY(formats->isHidden() && about->y() == m_window->height());
    }

    // Dropped files are added in drop order, a refused one passed over silently. Whatever comes
    // during that add waits behind it, in order: Add Video File and Add Folder (their dialogs
    // open at once) and a second drop. A tick toggles its box, a double click plays.
    void gridTakesDropsAndAddsInOrder()
    {
        const QTemporaryDir outside;
        const auto media = [&](const QString &name) { return outside.filePath(name); };
        QVERIFY(QDir().mkpath(media("other/Folder")));
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
        QTRY_COMPARE_WITH_TIMEOUT(
            m_fixture->column(FileListModel::FilePath),
            (QStringList{media("a clip.mkv"), media("other/b.mp4"), media("x.mkv"),
                         media("other/Folder/c.avi"), media("y.mp4")}),
            60000);
        QTRY_VERIFY_WITH_TIMEOUT(
            !m_window->adder()->isAdding() && !steps()->lblAddProgress->isVisible(), 60000);
        QCOMPARE(m_fixture->messages.texts(), QStringList());

        const QPoint tick =
            grid->visualRect(grid->model()->index(1, FileListModel::CheckBox)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tick);
        QVERIFY(m_window->fileList()->record(1).CheckBox != 0);
        m_fixture->doubleClickRow(1);
        QCOMPARE(m_fixture->shell.opened, QStringList{media("other/b.mp4")});
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

    // Against a stand-in that offers H.264, AAC and MP4 only.
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
        panel->cmbCustContainer()->setCurrentText("MP4");
        QCOMPARE(panel->missingEncoder(), QString());
    }

    // Every control that takes focus has a name for screen readers; a batch end is notified only
    // while another window is active.
    void everyControlIsNamedAndTheActiveWindowKeepsToItself()
    {
        for (QWidget *control : m_window->findChildren<QWidget *>()) {
            // What takes focus, but not the lists' own pop-ups, nor a spin box's inner field,
            // which the spin box speaks for.
            if (control->focusPolicy() != Qt::NoFocus && control->window() == m_window &&
                !qobject_cast<QAbstractSpinBox *>(control->parentWidget()))
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
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

    // A custom format saved under a typed name is offered at once and after a restart, and
    // reelforge-cli lists it, from the default file or one named.
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
        m_fixture->dialogs.answers = {"Quick / AVI"};
        QTest::mouseClick(f->cmdSavePreset(), Qt::LeftButton);
        QCOMPARE(f->cmbCategory()->itemText(shipped), mine);

        f = reopen()->formats();
        f->optFormat(0)->setChecked(true);
        f->cmbCategory()->setCurrentIndex(shipped);
        QCOMPARE(f->cmbCategory()->currentText(), mine);
        QVERIFY(f->buildParameters().options.contains("-vcodec mpeg4 -b 400000"));
        QVERIFY(cli({"--list-presets"}).endsWith(mine + "\tQuick / AVI\tAVI\n"));

        // Another file by name, the default one gone.
        const QString moved = data.filePath("moved.xml");
        QVERIFY(QFile::rename(file, moved));
        const QString named = cli({"--presets", moved, "--list-presets"});
        QVERIFY2(named.endsWith(mine + "\tQuick / AVI\tAVI\n"), qPrintable(named));
    }

    // The first start finds no file; every choice survives a restart, an index beyond its list
    // (a category since removed) is skipped; Restore Defaults forgets at once.
    void choicesSurviveARestartUntilDefaultsAreRestored()
    {
        const QString file = m_fixture->settingsFile();
        QVERIFY(!QFile::exists(file) && m_fixture->messages.count() == 0);
        QVERIFY(reopen()); // the close writes the defaults
        const QByteArray defaults = fileBytes(file);

        FormatPanel *f = m_window->formats();
        steps()->optSameFolder->setChecked(true);
        steps()->txtOutPath->setText("/srv/media/out put");
        steps()->spnSimultaneous->setValue(steps()->spnSimultaneous->maximum());
        steps()->chkKeepDate->setChecked(false);
        f->optFormat(1)->setChecked(true);
        f->chkCopyWhenPossible()->setChecked(true);
        f->txtCABirate()->setText("128");
        f->txtChannels()->setText("6");
        // Twice: a category rebuilds the label and extension lists after it.
        for (int pass = 0; pass < 2; ++pass)
            for (QComboBox *list : m_window->findChildren<QComboBox *>())
                list->setCurrentIndex(list->count() - 1);
        QVERIFY(reopen());
        const QByteArray chosen = fileBytes(file);
        QVERIFY(chosen != defaults && !steps()->cmdBrowse->isEnabled());
        QVERIFY(reopen()); // each choice was shown again, so the close writes it unchanged
        QCOMPARE(fileBytes(file), chosen);

        m_window->close();
        m_fixture->window.reset();
        QVERIFY(CRegister(file).REGSaveSetting(CRegister::HKEY_LOCAL_MACHINE,
                                               SettingsPersistence::KeyPath, "cmbCategory", "99"));
        f = reopen()->formats();
        QVERIFY(f->optFormat(1)->isChecked() && f->cmbCategory()->currentIndex() == 0);

        QTest::mouseClick(steps()->cmdChangeFormat, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->animator()->isSliding(), 5000);
        QTest::mouseClick(f->cmdDefaults(), Qt::LeftButton);
        QVERIFY(!fileBytes(file).contains("cmbCategory"));
        // Enabled in itself; the main frame around it waits for the panel.
        QVERIFY(steps()->txtOutPath->isEnabledTo(m_window->frMain()));
        QVERIFY(m_window->frFormats()->isVisible() && !m_window->frMain()->isEnabled());
        QVERIFY(reopen());
        QCOMPARE(fileBytes(file), defaults);
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
