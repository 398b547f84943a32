#include "DataFileText.h"
#include "FormatPanel.h"
#include "MessageRecorder.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace DataFileText;

namespace {
QStringList items(const QComboBox *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

// Audio bitrate, channels, video bitrate and frame rate.
void fillCustomFields(FormatPanel &panel, const QStringList &texts)
{
    panel.txtCABirate()->setText(texts.at(0));
    panel.txtChannels()->setText(texts.at(1));
    panel.txtCVBitrate()->setText(texts.at(2));
    panel.txtFrameRate()->setText(texts.at(3));
}
} // namespace

class TestFormatPanel : public QObject
{
    Q_OBJECT
private slots:
    void selectionsRebuildTheDependentLists();
    void shippedFilesLoadFromTheProgramFolder();
    void presetsLoadFailureLeavesListsEmpty_data();
    void presetsLoadFailureLeavesListsEmpty();
    void codecsLoadFailureStopsAtTheEmptyList_data();
    void codecsLoadFailureStopsAtTheEmptyList();
    void customModeReadsTheControls();
    void modeButtonsBringTheirPanelToTop();
    void keyFilters_data();
    void keyFilters();
    void saveAndCloseChecksTheFields_data();
    void saveAndCloseChecksTheFields();
    void controlsAreNamedForSettingsAndScreenReaders();
    void tabOrderFollowsTheLayout();
};

void TestFormatPanel::selectionsRebuildTheDependentLists()
{
    QTemporaryDir dir;
    MessageRecorder messages;
    FormatPanel panel;
    panel.LoadPresets(writeFile(dir.path(), "presets.xml",
                                presetsText({presetEntry("L1", "-a", "mp4", "Video"),
                                             presetEntry("L1", "-b", "mkv", "Video"),
                                             presetEntry("L2", "-c", "avi", "Video"),
                                             presetEntry("L1", "-duplicate", "mp4", "Video"),
                                             presetEntry("L1", "-e", "mov", "Video"),
                                             presetEntry("A1", "-f", "mp3", "Audio"),
                                             presetEntry("L1", "-g", "mp4", "Audio")})));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(items(panel.cmbCategory()), (QStringList{"Video", "Audio"}));
    QCOMPARE(items(panel.cmbOutVCodec()), (QStringList{"L1", "L2"}));
    QCOMPARE(items(panel.cmbOutFormat()), (QStringList{"mp4", "mkv", "mov"}));
    QCOMPARE(panel.cmbOutFormat()->currentIndex(), 0);
    QVERIFY(panel.isPresetMode());
    QCOMPARE(panel.GetParamaters(), QStringLiteral("-a"));

    // Selections by code run the same chain, in the order stored choices are applied.
    panel.cmbCategory()->setCurrentIndex(1);
    QCOMPARE(items(panel.cmbOutVCodec()), (QStringList{"A1", "L1"}));
    QCOMPARE(items(panel.cmbOutFormat()), QStringList{"mp3"});
    panel.cmbOutVCodec()->setCurrentIndex(1);
    QCOMPARE(items(panel.cmbOutFormat()), QStringList{"mp4"});
    QCOMPARE(panel.GetParamaters(), QStringLiteral("-g"));
    QCOMPARE(panel.outputExtension(), QStringLiteral("mp4"));

    panel.cmbCategory()->setCurrentIndex(0);
    QCOMPARE(panel.cmbOutVCodec()->currentIndex(), 0);
    panel.cmbOutFormat()->setCurrentIndex(2);
    QCOMPARE(panel.GetParamaters(), QStringLiteral("-e"));

    QSignalSpy summary(&panel, &FormatPanel::formatSummaryChanged);
    panel.ShowFormatSummary();
    QCOMPARE(summary.at(0).at(0).toString(),
             QStringLiteral("Category:Video, Codec:\"L1\", Container:\"mov\""));
}

void TestFormatPanel::shippedFilesLoadFromTheProgramFolder()
{
    MessageRecorder messages;
    FormatPanel panel;
    panel.LoadPresets();
    panel.LoadCodecs();
    QVERIFY2(messages.count() == 0, qPrintable(messages.texts().join('\n')));
    QVERIFY(panel.cmbCategory()->count() >= 6);
    QVERIFY(!panel.GetParamaters().isEmpty());
    QVERIFY(panel.cmbCVCodec()->count() >= 2 && panel.cmbCACodec()->count() >= 2);
}

void TestFormatPanel::presetsLoadFailureLeavesListsEmpty_data()
{
    QTest::addColumn<QString>("content"); // none: no file at all
    QStringList unclosed = presetEntry("L1", "-a", "mp4", "Video");
    unclosed[2] = "<params>-a";
    QTest::newRow("params without closing tag")
        << presetsText({presetEntry("A1", "-f", "mp3", "Audio"), unclosed});
    QTest::newRow("no file") << QString();
}

void TestFormatPanel::presetsLoadFailureLeavesListsEmpty()
{
    QFETCH(QString, content);
    QTemporaryDir dir;
    MessageRecorder messages;
    FormatPanel panel;
    panel.LoadPresets(content.isNull() ? dir.filePath("presets.xml")
                                       : writeFile(dir.path(), "presets.xml", content));
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.texts().at(0).startsWith("Error Occured while Loading Presets.\r\n"));
    QCOMPARE(messages.messages().at(0).icon, MessageIcon::None);
    QCOMPARE(panel.cmbCategory()->count() + panel.cmbOutVCodec()->count(), 0);
    // Without any preset the options are empty, and asking for them shows nothing more.
    QCOMPARE(panel.GetParamaters(), QString());
    QCOMPARE(messages.count(), 1);
}

void TestFormatPanel::codecsLoadFailureStopsAtTheEmptyList_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("video");
    QTest::addColumn<QStringList>("audio");
    QTest::addColumn<int>("videoIndex");
    QTest::newRow("no audio codec") << codecsText({codecEntry("mpeg4", "MPEG-4", "video codec"),
                                                   codecEntry("h263", "H.263", "video codec")})
                                    << QStringList{"MPEG-4", "H.263"} << QStringList() << 0;
    QTest::newRow("no video codec") << codecsText({codecEntry("aac", "AAC", "audio codec")})
                                    << QStringList() << QStringList{"AAC"} << -1;
}

void TestFormatPanel::codecsLoadFailureStopsAtTheEmptyList()
{
    QFETCH(QString, content);
    QFETCH(QStringList, video);
    QFETCH(QStringList, audio);
    QFETCH(int, videoIndex);
    QTemporaryDir dir;
    MessageRecorder messages;
    FormatPanel panel;
    panel.LoadCodecs(writeFile(dir.path(), "codecs.xml", content));
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.texts().at(0).startsWith("Error Occured while Loading Codecs.\r\n"));
    QCOMPARE(messages.messages().at(0).icon, MessageIcon::None);
    QCOMPARE(items(panel.cmbCVCodec()), video);
    QCOMPARE(items(panel.cmbCACodec()), audio);
    QCOMPARE(panel.cmbCVCodec()->currentIndex(), videoIndex);
    QCOMPARE(panel.cmbCACodec()->currentIndex(), -1);
}

void TestFormatPanel::customModeReadsTheControls()
{
    QTemporaryDir dir;
    MessageRecorder messages;
    FormatPanel panel;
    panel.optFormat(1)->setChecked(true);
    QVERIFY(!panel.isPresetMode());
    panel.cmbCASmapleRate()->setCurrentIndex(4);
    fillCustomFields(panel, {"64", "2", "320", "25"});
    // Without a codecs file neither codec is named.
    QCOMPARE(panel.GetParamaters(), QStringLiteral("-ar 22050 -ab 64000 -ac 2 -b 320000 -r 25"));

    panel.LoadCodecs(writeFile(dir.path(), "codecs.xml",
                               codecsText({codecEntry("copy", "Copy", "general"),
                                           codecEntry(" mpeg4 ", "MPEG-4", "video codec"),
                                           codecEntry("libmp3lame", "MP3", "audio codec")})));
    panel.cmbCVCodec()->setCurrentIndex(1);
    panel.cmbCACodec()->setCurrentIndex(1);
    panel.cmbCVSize()->setCurrentText("vga(640x480)");
    panel.cmbCVAspect()->setCurrentText("16:9");
    panel.cmbCASmapleRate()->setCurrentText("44.1 KHz");
    fillCustomFields(panel, {"0064", "1", "800", "29.97"});
    QCOMPARE(panel.GetParamaters(),
             QStringLiteral("-ar 44100 -ab 64000 -acodec libmp3lame -ac 1 -vcodec mpeg4 -b 800000 "
                            "-s vga -aspect 16:9 -r 29.97"));
    QCOMPARE(messages.count(), 0);

    panel.cmbCustContainer()->setCurrentText("yuv");
    QCOMPARE(panel.outputExtension(), QStringLiteral("yuv"));
    QSignalSpy summary(&panel, &FormatPanel::formatSummaryChanged);
    panel.ShowFormatSummary();
    QCOMPARE(summary.at(0).at(0).toString(),
             QStringLiteral("Container:yuv, Video Codec:\"MPEG-4\", Audio Codec:\"MP3\""));

    fillCustomFields(panel, {"64", "2", "", "25"});
    QCOMPARE(panel.GetParamaters(), QString());
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.texts().at(0).startsWith("Error occured while getting paramters\r\n"));
    QVERIFY(messages.texts().at(0).contains("video bitrate"));
    QCOMPARE(messages.messages().at(0).icon, MessageIcon::Critical);
}

void TestFormatPanel::modeButtonsBringTheirPanelToTop()
{
    FormatPanel panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy summary(&panel, &FormatPanel::formatSummaryChanged);
    QVERIFY(panel.frFormat(0)->isVisible() && !panel.frFormat(1)->isVisible());
    QCOMPARE(panel.frFormat(0)->geometry(), panel.frFormat(1)->geometry());

    QTest::mouseClick(panel.optFormat(1), Qt::LeftButton);
    QVERIFY(!panel.isPresetMode());
    QVERIFY(panel.frFormat(1)->isVisible() && !panel.frFormat(0)->isVisible());

    panel.optFormat(0)->setChecked(true);
    QVERIFY(panel.frFormat(0)->isVisible() && !panel.frFormat(1)->isVisible());
    QCOMPARE(summary.count(), 0);
}

void TestFormatPanel::keyFilters_data()
{
    // In the typed text, \b is Backspace, \x7f Delete, \x01 Home, \x02 select all,
    // \x16 Ctrl+V.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("fifth digit swallowed") << "txtCABirate"
                                           << ""
                                           << "12800"
                                           << "1280";
    QTest::newRow("Backspace on a full field") << "txtCABirate"
                                               << ""
                                               << "1280\b5"
                                               << "1285";
    QTest::newRow("only digits") << "txtCVBitrate"
                                 << ""
                                 << "a1-2.b3 +4"
                                 << "1234";
    QTest::newRow("full field, all selected") << "txtCVBitrate"
                                              << "1280"
                                              << "\x02"
                                                 "5"
                                              << "1280";
    QTest::newRow("selected field with room") << "txtCVBitrate"
                                              << "12"
                                              << "\x02"
                                                 "5"
                                              << "5";
    QTest::newRow("Delete is not filtered") << "txtCABirate"
                                            << "1280"
                                            << "\x01\x7f"
                                            << "280";
    QTest::newRow("no 0 channels") << "txtChannels"
                                   << ""
                                   << "0"
                                   << "";
    QTest::newRow("one channel digit") << "txtChannels"
                                       << ""
                                       << "34"
                                       << "3";
    QTest::newRow("channels after Backspace") << "txtChannels"
                                              << ""
                                              << "3\b7"
                                              << "7";
    QTest::newRow("paste swallowed") << "txtChannels"
                                     << ""
                                     << "\x16"
                                     << "";
    QTest::newRow("decimal frame rate") << "txtFrameRate"
                                        << ""
                                        << "29.97"
                                        << "29.97";
    QTest::newRow("no 0 or second point after a point") << "txtFrameRate"
                                                        << ""
                                                        << "25.0.5"
                                                        << "25.5";
    QTest::newRow("0 before any point") << "txtFrameRate"
                                        << ""
                                        << "10"
                                        << "10";
    QTest::newRow("0 in front of a point") << "txtFrameRate"
                                           << "25.5"
                                           << "\x01"
                                              "0"
                                           << "25.5";
    QTest::newRow("nine characters") << "txtFrameRate"
                                     << ""
                                     << "1234567891"
                                     << "123456789";
}

void TestFormatPanel::keyFilters()
{
    QFETCH(QString, field);
    QFETCH(QString, start);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    FormatPanel panel;
    panel.optFormat(1)->setChecked(true);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QGuiApplication::clipboard()->setText("77");
    auto *edit = panel.findChild<QLineEdit *>(field);
    edit->setText(start);
    edit->setFocus();
    for (const QChar ch : typed) {
        switch (ch.unicode()) {
        case '\b':
            QTest::keyClick(edit, Qt::Key_Backspace);
            break;
        case 0x7f:
            QTest::keyClick(edit, Qt::Key_Delete);
            break;
        case 0x01:
            QTest::keyClick(edit, Qt::Key_Home);
            break;
        case 0x02:
            edit->selectAll();
            break;
        case 0x16:
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            break;
        default:
            QTest::keyClick(edit, ch.toLatin1());
        }
    }
    QCOMPARE(edit->text(), result);
}

void TestFormatPanel::saveAndCloseChecksTheFields_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("fields"); // audio bitrate, channels, video bitrate, frame rate
    QTest::addColumn<QString>("message");
    QTest::newRow("all filled") << 1 << QStringList{"64", "2", "320", "25"} << "";
    QTest::newRow("a blank is not empty") << 1 << QStringList{" ", "2", "320", "25"} << "";
    QTest::newRow("channels first") << 1 << QStringList{"", "", "", ""}
                                    << "Channels Field in the custom Format can not be empty.";
    QTest::newRow("frame rate") << 1 << QStringList{"", "2", "", ""}
                                << "Frame Rate Field in the custom Format can not be empty.";
    QTest::newRow("audio bitrate") << 1 << QStringList{"", "2", "", "25"}
                                   << "Audio Bitrate Field in the custom Format can not be empty.";
    QTest::newRow("video bitrate, presets mode")
        << 0 << QStringList{"64", "2", "", "25"}
        << "Video Bitrate Field in the custom Format can not be empty.";
}

void TestFormatPanel::saveAndCloseChecksTheFields()
{
    QFETCH(int, mode);
    QFETCH(QStringList, fields);
    QFETCH(QString, message);
    MessageRecorder messages;
    FormatPanel panel;
    panel.optFormat(mode)->setChecked(true);
    fillCustomFields(panel, fields);
    QStringList events;
    connect(&panel, &FormatPanel::closeRequested, this, [&] { events << "close"; });
    connect(&panel, &FormatPanel::restoreDefaultsRequested, this, [&] { events << "defaults"; });
    connect(&panel, &FormatPanel::formatSummaryChanged, this,
            [&](const QString &caption) { events << caption; });

    QTest::mouseClick(panel.cmdHide(), Qt::LeftButton);
    if (message.isEmpty()) {
        QCOMPARE(messages.count(), 0);
        QCOMPARE(events,
                 (QStringList{"close", "Container:WMV, Video Codec:\"\", Audio Codec:\"\""}));
    } else {
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().at(0).icon, MessageIcon::Exclamation);
        QVERIFY(events.isEmpty());
    }
    // Restore Defaults only asks; the settings do the rest.
    events.clear();
    QTest::mouseClick(panel.cmdDefaults(), Qt::LeftButton);
    QCOMPARE(events, QStringList{"defaults"});
}

void TestFormatPanel::controlsAreNamedForSettingsAndScreenReaders()
{
    FormatPanel panel;
    const QStringList names = {"optFormat0",   "optFormat1",       "cmbCategory",  "cmbOutVCodec",
                               "cmbOutFormat", "cmbCustContainer", "cmbCVCodec",   "txtCVBitrate",
                               "cmbCVSize",    "cmbCVAspect",      "txtFrameRate", "cmbCACodec",
                               "txtCABirate",  "cmbCASmapleRate",  "txtChannels",  "cmdHide",
                               "cmdDefaults"};
    for (const QString &name : names) {
        auto *control = panel.findChild<QWidget *>(name);
        QVERIFY2(control && !control->accessibleName().isEmpty(), qPrintable(name));
        if (auto *list = qobject_cast<QComboBox *>(control))
            QVERIFY2(!list->isEditable(), qPrintable(name));
    }
    QVERIFY(panel.findChild<QFrame *>("frFormat0") && panel.findChild<QFrame *>("frFormat1"));
    QCOMPARE(panel.cmdHide()->text(), QStringLiteral("Save && Close"));
    QCOMPARE(panel.cmdHide()->accessibleName(), QStringLiteral("Save & Close"));
    QCOMPARE(panel.cmbCASmapleRate()->accessibleName(), QStringLiteral("Sampling Rate:"));
    // The stored first-start indexes rely on these positions.
    QCOMPARE(panel.cmbCustContainer()->itemText(2), QStringLiteral("AVI"));
    QCOMPARE(panel.cmbCASmapleRate()->itemText(4), QStringLiteral("22.05 KHz"));
    QCOMPARE(panel.cmbCVSize()->count(), 29);
    QCOMPARE(panel.cmbCVSize()->itemText(27), QStringLiteral("hd720(1280x720) "));
}

void TestFormatPanel::tabOrderFollowsTheLayout()
{
    FormatPanel panel;
    panel.optFormat(1)->setChecked(true);
    panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    const QList<QWidget *> expected = {
        panel.cmbCVCodec(),   panel.txtCVBitrate(), panel.cmbCVSize(),   panel.cmbCVAspect(),
        panel.txtFrameRate(), panel.cmbCACodec(),   panel.txtCABirate(), panel.cmbCASmapleRate(),
        panel.txtChannels(),  panel.cmdDefaults(),  panel.cmdHide()};
    panel.cmbCustContainer()->setFocus();
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

QTEST_MAIN(TestFormatPanel)
#include "TestFormatPanel.moc"
