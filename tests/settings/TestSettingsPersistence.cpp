#include "filelist/FileListModel.h"
#include "settings/OutputFolders.h"
#include "tests/settings/NameEvents.h"
#include "tests/testsupport/FolderFiles.h"
#include "ui/FormatPanel.h"
#include "ui/SettingsPersistence.h"
#include "ui/StepsFrame.h"

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The window's remembered choices over real panels and a real settings file.
class TestSettingsPersistence : public QObject
{
    Q_OBJECT

private slots:
    // A start reads the file once and writes nothing; a close replaces it once, in the layout
    // earlier versions wrote, and not at all when nothing changed. A damaged file is repaired
    // by the next close, in that same one write.
    void aStartReadsOnceAndACloseWritesOnce()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath("settings.ini");
        FileListModel list;
        StepsFrame steps(&list);
        FormatPanel formats;
        formats.LoadPresets();
        formats.LoadCodecs();
        SettingsPersistence settings(steps, formats, file);
        NameEvents events(folder.path());
        settings.LoadSettings();
        QVERIFY(events.take().isEmpty() && !QFile::exists(file));

        settings.SaveSettings();
        QCOMPARE(events.take().value("placed:settings.ini"), 1);
        const QStringList defaults = {"chkCopyWhenPossible=False",
                                      "chkKeepDate=True",
                                      "cmbCACodec=1",
                                      "cmbCASmapleRate=4",
                                      "cmbCVAspect=0",
                                      "cmbCVCodec=1",
                                      "cmbCVSize=0",
                                      "cmbCategory=1",
                                      "cmbCustContainer=2",
                                      "cmbOutFormat=1",
                                      "cmbOutVCodec=1",
                                      "cmbWhenExists=0",
                                      "optFormat=0",
                                      "optOtherFolder=True",
                                      "optSameFolder=False",
                                      "spnSimultaneous=1",
                                      "txtCABirate=64",
                                      "txtCVBitrate=320",
                                      "txtChannels=2",
                                      "txtFrameRate=25",
                                      "txtOutPath=" + OutputFolders::defaultFolder()};
        QByteArray layout = "[HKEY_LOCAL_MACHINE]\n";
        for (const QString &choice : defaults)
            layout += "Software\\Tarnwick%20Reelforge\\Settings\\" + choice.toUtf8() + '\n';
        QCOMPARE(fileBytes(file), layout);
        events.take();

        settings.LoadSettings();
        QCOMPARE(events.take(), (QMap<QString, int>{{"opened:settings.ini", 1}}));
        settings.SaveSettings();
        QCOMPARE(events.take().value("placed:settings.ini"), 0);

        QFile damage(file);
        QVERIFY(damage.open(QIODevice::Append) && damage.write("x=\"y\n") == 5);
        damage.close();
        events.take();
        settings.LoadSettings();
        QCOMPARE(events.take(), (QMap<QString, int>{{"opened:settings.ini", 1}}));
        steps.chkKeepDate->setChecked(false);
        settings.SaveSettings();
        const QMap<QString, int> seen = events.take();
        QCOMPARE(seen.value("placed:settings.ini") + seen.value("placed:settings.ini.damaged"), 2);
        QCOMPARE(fileBytes(file),
                 QByteArray(layout).replace("chkKeepDate=True", "chkKeepDate=False"));
    }
};

QTEST_MAIN(TestSettingsPersistence)
#include "TestSettingsPersistence.moc"
