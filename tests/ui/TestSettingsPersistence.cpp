#include "CRegister.h"
#include "FormatPanel.h"
#include "FramePanel.h"
#include "SettingsPersistence.h"
#include "StepsFrame.h"
#include "WindowFixture.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const quint32 kRoot = CRegister::HKEY_LOCAL_MACHINE;

// The index a default of "1" selects: the second item, or the first when there is one.
int secondOrFirst(const QComboBox *list)
{
    return list->count() > 1 ? 1 : 0;
}

QList<QComboBox *> allLists(FormatPanel *formats)
{
    return {formats->cmbCategory(),      formats->cmbOutVCodec(), formats->cmbOutFormat(),
            formats->cmbCustContainer(), formats->cmbCACodec(),   formats->cmbCASmapleRate(),
            formats->cmbCVCodec(),       formats->cmbCVSize(),    formats->cmbCVAspect()};
}
} // namespace

class TestSettingsPersistence : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_fixture;

    MainWindow *reopen()
    {
        if (m_fixture->window)
            m_fixture->close();
        return m_fixture->open();
    }

    void store(const QString &name, const QString &value)
    {
        QVERIFY(CRegister(m_fixture->settingsFile())
                    .REGSaveSetting(kRoot, SettingsPersistence::KeyPath, name, value));
    }

    void verifyDefaults(MainWindow *window)
    {
        StepsFrame *steps = window->steps();
        FormatPanel *formats = window->formats();
        QVERIFY(steps->optOtherFolder->isChecked());
        // Enabled in itself; the main frame around it may be waiting for a panel.
        QVERIFY(steps->txtOutPath->isEnabledTo(window->frMain()));
        QVERIFY(steps->cmdBrowse->isEnabledTo(window->frMain()));
        QCOMPARE(steps->txtOutPath->text(), SettingsPersistence::defaultOutputFolder());
        QVERIFY(formats->optFormat(0)->isChecked());
        for (QComboBox *list : {formats->cmbCategory(), formats->cmbOutVCodec(),
                                formats->cmbOutFormat(), formats->cmbCACodec(),
                                formats->cmbCVCodec()})
            QCOMPARE(list->currentIndex(), secondOrFirst(list));
        QCOMPARE(formats->cmbCustContainer()->currentText(), QString("AVI"));
        QCOMPARE(formats->cmbCASmapleRate()->currentText(), QString("22.05 KHz"));
        QCOMPARE(formats->cmbCVSize()->currentText(), QString("[As Input]"));
        QCOMPARE(formats->cmbCVAspect()->currentText(), QString("[As Input]"));
        QCOMPARE(formats->txtCABirate()->text(), QString("64"));
        QCOMPARE(formats->txtChannels()->text(), QString("2"));
        QCOMPARE(formats->txtCVBitrate()->text(), QString("320"));
        QCOMPARE(formats->txtFrameRate()->text(), QString("25"));
    }

private slots:
    void init() { m_fixture = std::make_unique<WindowFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void firstStartShowsTheDefaults()
    {
        MainWindow *window = reopen();
        QVERIFY(window);
        verifyDefaults(window);
        QVERIFY(!QFile::exists(m_fixture->settingsFile()));
        QCOMPARE(m_fixture->messages.count(), 0);
    }

    void everyChoiceSurvivesARestart()
    {
        MainWindow *window = reopen();
        StepsFrame *steps = window->steps();
        FormatPanel *formats = window->formats();
        steps->optSameFolder->setChecked(true);
        steps->txtOutPath->setText("/srv/media/out put");
        formats->optFormat(1)->setChecked(true);
        // The category comes first: it rebuilds the label and extension lists.
        formats->cmbCategory()->setCurrentIndex(formats->cmbCategory()->count() - 1);
        formats->cmbOutVCodec()->setCurrentIndex(formats->cmbOutVCodec()->count() - 1);
        formats->cmbOutFormat()->setCurrentIndex(formats->cmbOutFormat()->count() - 1);
        QList<int> chosen;
        for (QComboBox *list : allLists(formats)) {
            if (list != formats->cmbCategory() && list != formats->cmbOutVCodec() &&
                list != formats->cmbOutFormat())
                list->setCurrentIndex(list->count() - 1);
            chosen << list->currentIndex();
        }
        formats->txtCABirate()->setText("128");
        formats->txtChannels()->setText("6");
        formats->txtCVBitrate()->setText("2500");
        formats->txtFrameRate()->setText("29.97");

        window = reopen();
        steps = window->steps();
        formats = window->formats();
        QVERIFY(steps->optSameFolder->isChecked());
        QVERIFY(!steps->optOtherFolder->isChecked());
        QVERIFY(!steps->txtOutPath->isEnabled());
        QVERIFY(!steps->cmdBrowse->isEnabled());
        QCOMPARE(steps->txtOutPath->text(), QString("/srv/media/out put"));
        QVERIFY(formats->optFormat(1)->isChecked());
        QList<int> restored;
        for (QComboBox *list : allLists(formats))
            restored << list->currentIndex();
        QCOMPARE(restored, chosen);
        QCOMPARE(formats->txtCABirate()->text(), QString("128"));
        QCOMPARE(formats->txtChannels()->text(), QString("6"));
        QCOMPARE(formats->txtCVBitrate()->text(), QString("2500"));
        QCOMPARE(formats->txtFrameRate()->text(), QString("29.97"));
        QVERIFY(steps->lblFormat->text().startsWith("Container:"));
    }

    void storedValuesThatCannotBeUsedAreSkipped()
    {
        store("optFormat", "1");
        store("cmbCategory", "99");
        store("cmbCASmapleRate", "-3");
        store("cmbCVSize", "two");
        store("txtCABirate", "abc");
        store("optSameFolder", "perhaps");
        store("txtOutPath", "");
        MainWindow *window = reopen();
        FormatPanel *formats = window->formats();
        QVERIFY(formats->optFormat(1)->isChecked());
        const QObjectList stack = formats->frFormat(0)->parent()->children();
        QVERIFY(stack.indexOf(formats->frFormat(1)) > stack.indexOf(formats->frFormat(0)));
        QCOMPARE(formats->cmbCategory()->currentIndex(), 0);
        QCOMPARE(formats->cmbCASmapleRate()->currentText(), QString("8 KHz"));
        QCOMPARE(formats->cmbCVSize()->currentIndex(), 0);
        QVERIFY(window->steps()->optOtherFolder->isChecked());
        QCOMPARE(window->steps()->txtOutPath->text(), SettingsPersistence::defaultOutputFolder());
        // Restored unchanged, then refused when the options are built.
        QCOMPARE(formats->txtCABirate()->text(), QString("abc"));
        QCOMPARE(m_fixture->messages.count(), 0);
        QCOMPARE(formats->GetParamaters(), QString());
        QCOMPARE(m_fixture->messages.count(), 1);
        QVERIFY(m_fixture->messages.texts().first().startsWith(
            "Error occured while getting paramters\r\n"));
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

    void damagedSettingsFilesStartWithDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        // The store's own tests cover the shapes; here one garbage file goes through a start.
        QTest::newRow("binary") << QByteArray("\x7f" "ELF\x02\x01\x01\x00\xff\xfe[]=\x00\x01", 16);
    }

    void damagedSettingsFilesStartWithDefaults()
    {
        QFETCH(QByteArray, content);
        QFile file(m_fixture->settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        MainWindow *window = reopen();
        QVERIFY(window);
        verifyDefaults(window);
        // The next close stores the choices again.
        window->formats()->txtFrameRate()->setText("50");
        window = reopen();
        QCOMPARE(window->formats()->txtFrameRate()->text(), QString("50"));
    }
};

QTEST_MAIN(TestSettingsPersistence)
#include "TestSettingsPersistence.moc"
