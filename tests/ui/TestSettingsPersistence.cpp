#include "CRegister.h"
#include "OutputFolders.h"
#include "PresetsFile.h"
#include "SettingsPersistence.h"
#include "WindowFixture.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QSettings>

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

class TestSettingsPersistence : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;

    MainWindow *reopen() { return m_fixture->open(); }

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
    void init() { m_fixture = std::make_unique<WindowFixture>(); }
    void cleanup() { m_fixture.reset(); }

    // A damaged file is the store's concern; here the first start finds no file at all.
    void startsWithDefaultsAndWritesLater()
    {
        MainWindow *window = reopen();
        QVERIFY(window);
        verifyDefaults(window);
        QVERIFY(!QFile::exists(m_fixture->settingsFile()));
        QCOMPARE(m_fixture->messages.count(), 0);
        window->formats()->txtFrameRate()->setText("50");
        QCOMPARE(reopen()->formats()->txtFrameRate()->text(), QString("50"));
    }

    void everyChoiceSurvivesARestart()
    {
        MainWindow *window = reopen();
        window->steps()->optSameFolder->setChecked(true);
        window->steps()->txtOutPath->setText("/srv/media/out put");
        window->formats()->optFormat(1)->setChecked(true);
        for (QComboBox *list : allLists(window->formats()))
            list->setCurrentIndex(list->count() - 1);
        const QStringList typed = {"128", "6", "2500", "29.97"};
        for (int field = 0; field < typed.size(); ++field)
            allFields(window->formats()).at(field)->setText(typed.at(field));
        const QStringList chosen = choices(window);
        QCOMPARE(chosen.mid(13), typed);

        window = reopen();
        QCOMPARE(choices(window), chosen);
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
        QVERIFY(!window->steps()->txtOutPath->isEnabled() &&
                !window->steps()->cmdBrowse->isEnabled());
        QVERIFY(window->steps()->lblFormat->text().startsWith("Container:"));
    }

    void storedValuesThatCannotBeUsedAreSkipped()
    {
        const CRegister store(m_fixture->settingsFile());
        const QList<QPair<QString, QString>> stored = {
            {"optFormat", "1"}, {"cmbCategory", "99"}, {"txtCABirate", "abc"}, {"txtOutPath", ""}};
        for (const auto &[name, value] : stored)
            QVERIFY(store.REGSaveSetting(kRoot, SettingsPersistence::KeyPath, name, value));
        MainWindow *window = reopen();
        FormatPanel *formats = window->formats();
        QVERIFY(formats->optFormat(1)->isChecked());
        const QObjectList stack = formats->frFormat(0)->parent()->children();
        QVERIFY(stack.indexOf(formats->frFormat(1)) > stack.indexOf(formats->frFormat(0)));
        QCOMPARE(formats->cmbCategory()->currentIndex(), 0);
        QCOMPARE(window->steps()->txtOutPath->text(), OutputFolders::defaultFolder());
        // Restored unchanged; building the options refuses it later.
        QCOMPARE(formats->txtCABirate()->text(), QString("abc"));
        QCOMPARE(m_fixture->messages.count(), 0);
    }

    void restoreDefaultsForgetsAtOnceAndKeepsThePanelOpen()
    {
        MainWindow *window = reopen();
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

QTEST_MAIN(TestSettingsPersistence)
#include "TestSettingsPersistence.moc"
