#include "filelist/FileListModel.h"
#include "settings/OutputFolders.h"
#include "tests/settings/NameEvents.h"
#include "tests/testsupport/FolderFiles.h"
#include "ui/FormatPanel.h"
#include "ui/SettingsPersistence.h"
#include "ui/StepsFrame.h"

#include <QCheckBox>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The window's remembered choices over real panels and a real settings file.
class TestSettingsPersistence : public QObject
{
    Q_OBJECT

private slots:
    // A start reads the file once and writes nothing; a close replaces it once, under the names
    // earlier versions wrote, and not at all when nothing changed. The repair of a damaged file
    // in that one write is test_cregister's.
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
        const QByteArray saved = fileBytes(file);
        QStringList names;
        const QRegularExpression stored("^Software\\\\Tarnwick%20Reelforge\\\\Settings\\\\(\\w+)=",
                                        QRegularExpression::MultilineOption);
        for (const auto &match : stored.globalMatch(QString::fromUtf8(saved)))
            names << match.captured(1);
        QCOMPARE(names, (QStringList{"chkCopyWhenPossible", "chkKeepDate",    "cmbCACodec",
                                     "cmbCASmapleRate",     "cmbCVAspect",    "cmbCVCodec",
                                     "cmbCVSize",           "cmbCategory",    "cmbCustContainer",
                                     "cmbOutFormat",        "cmbOutVCodec",   "cmbWhenExists",
                                     "optFormat",           "optOtherFolder", "optSameFolder",
                                     "spnSimultaneous",     "txtCABirate",    "txtCVBitrate",
                                     "txtChannels",         "txtFrameRate",   "txtOutPath"}));
        QVERIFY(saved.startsWith("[HKEY_LOCAL_MACHINE]\n"));
        events.take(); // this test's own read

        settings.LoadSettings();
        QCOMPARE(events.take(), (QMap<QString, int>{{"opened:settings.ini", 1}}));
        settings.SaveSettings();
        QCOMPARE(events.take().value("placed:settings.ini"), 0);
        steps.chkKeepDate->setChecked(false);
        settings.SaveSettings();
        QCOMPARE(events.take().value("placed:settings.ini"), 1);
        QCOMPARE(fileBytes(file),
                 QByteArray(saved).replace("chkKeepDate=True", "chkKeepDate=False"));
    }
};

QTEST_MAIN(TestSettingsPersistence)
#include "TestSettingsPersistence.moc"
