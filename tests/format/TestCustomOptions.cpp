#include "CodecsFile.h"
#include "CustomOptions.h"
#include "DataFileText.h"

#include <QTest>

using namespace DataFileText;

namespace {
CodecTable codecs()
{
    return CodecsFile::read(codecsText({codecEntry(" libx264 ", "H.264", "video codec"),
                                        codecEntry("copy", "Copy", "general"),
                                        codecEntry("aac", "AAC", "audio codec")}))
        .table;
}

// The worked example's choices: two codec descriptions that resolve to no name.
CustomFormat example()
{
    return {"22.05 KHz", "64",         "Unknown audio", "2", "Unknown video",
            "320",       "[As Input]", "[As Input]",    "25"};
}
} // namespace

Q_DECLARE_METATYPE(CustomFormat)

class TestCustomOptions : public QObject
{
    Q_OBJECT
private slots:
    void buildsOptions_data();
    void buildsOptions();
    void sampleRates_data();
    void sampleRates();
    void badBitrateFails_data();
    void badBitrateFails();
};

void TestCustomOptions::buildsOptions_data()
{
    QTest::addColumn<CustomFormat>("format");
    QTest::addColumn<QString>("options");
    QTest::newRow("worked example") << example() << "-ar 22050 -ab 64000 -ac 2 -b 320000 -r 25";

    CustomFormat named = example();
    named.audioCodec = "AAC";
    named.videoCodec = "H.264";
    QTest::newRow("codec names, trimmed")
        << named << "-ar 22050 -ab 64000 -acodec aac -ac 2 -vcodec libx264 -b 320000 -r 25";
    CustomFormat general = example();
    general.audioCodec = general.videoCodec = "Copy";
    QTest::newRow("general codec in both lists")
        << general << "-ar 22050 -ab 64000 -acodec copy -ac 2 -vcodec copy -b 320000 -r 25";

    CustomFormat shaped = example();
    shaped.size = "vga(640x480)";
    shaped.aspect = "16:9";
    QTest::newRow("size and aspect")
        << shaped << "-ar 22050 -ab 64000 -ac 2 -b 320000 -s vga -aspect 16:9 -r 25";
    shaped.size = "qsxga(2560x2048) ";
    shaped.aspect = "1.3333";
    QTest::newRow("size item with trailing blank")
        << shaped << "-ar 22050 -ab 64000 -ac 2 -b 320000 -s qsxga -aspect 1.3333 -r 25";

    CustomFormat typed = example();
    typed.audioBitrate = "0064";
    typed.videoBitrate = "2147483";
    typed.frameRate = "29.97";
    typed.channels = "6";
    QTest::newRow("leading zeros, largest bitrate, decimal frame rate")
        << typed << "-ar 22050 -ab 64000 -ac 6 -b 2147483000 -r 29.97";
}

void TestCustomOptions::buildsOptions()
{
    QFETCH(CustomFormat, format);
    QFETCH(QString, options);
    const CustomOptions::Result result = CustomOptions::build(format, codecs());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.options, options);
}

void TestCustomOptions::sampleRates_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("hertz");
    QTest::newRow("8") << "8 KHz"
                       << "8000";
    QTest::newRow("11.025") << "11.025 KHz"
                            << "11025";
    QTest::newRow("12") << "12 KHz"
                        << "12000";
    QTest::newRow("16") << "16 KHz"
                        << "16000";
    QTest::newRow("22.05") << "22.05 KHz"
                           << "22050";
    QTest::newRow("24") << "24 KHz"
                        << "24000";
    QTest::newRow("32") << "32 KHz"
                        << "32000";
    QTest::newRow("44.1") << "44.1 KHz"
                          << "44100";
    QTest::newRow("48") << "48 KHz"
                        << "48000";
    QTest::newRow("nothing selected") << ""
                                      << "0";
}

void TestCustomOptions::sampleRates()
{
    QFETCH(QString, item);
    QFETCH(QString, hertz);
    CustomFormat format = example();
    format.sampleRate = item;
    const CustomOptions::Result result = CustomOptions::build(format, codecs());
    QVERIFY(result.options.startsWith(QStringLiteral("-ar %1 -ab ").arg(hertz)));
}

void TestCustomOptions::badBitrateFails_data()
{
    QTest::addColumn<QString>("audio");
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("empty audio bitrate") << ""
                                         << "320"
                                         << "audio bitrate";
    QTest::newRow("letters in audio bitrate") << "abc"
                                              << "320"
                                              << "audio bitrate";
    QTest::newRow("empty video bitrate") << "64"
                                         << ""
                                         << "video bitrate";
    QTest::newRow("video bitrate one past 32 bits") << "64"
                                                    << "2147484"
                                                    << "video bitrate";
    QTest::newRow("huge audio bitrate") << "99999999999999999999"
                                        << "320"
                                        << "audio bitrate";
    QTest::newRow("decimal video bitrate") << "64"
                                           << "3.5"
                                           << "video bitrate";
    QTest::newRow("audio checked first") << "x"
                                         << "y"
                                         << "audio bitrate";
}

void TestCustomOptions::badBitrateFails()
{
    QFETCH(QString, audio);
    QFETCH(QString, video);
    QFETCH(QString, mentions);
    CustomFormat format = example();
    format.audioBitrate = audio;
    format.videoBitrate = video;
    const CustomOptions::Result result = CustomOptions::build(format, codecs());
    QVERIFY(!result.ok());
    QCOMPARE(result.options, QString());
    QVERIFY2(result.error.contains(mentions), qPrintable(result.error));
    QVERIFY(
        result.message().startsWith(QStringLiteral("Error occured while getting paramters\r\n")));
}

QTEST_GUILESS_MAIN(TestCustomOptions)
#include "TestCustomOptions.moc"
