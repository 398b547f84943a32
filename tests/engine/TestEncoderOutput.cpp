#include "EncoderOutput.h"

#include <QFile>
#include <QTest>

namespace {
QString recorded(const QString &name)
{
    QFile file(QStringLiteral(REELFORGE_TEST_DATA "/encoder-output/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing recorded output %s", qPrintable(name));
    return QString::fromUtf8(file.readAll());
}

// The same text with the other line end: CR LF becomes LF, a lone LF becomes CR LF.
QString withOtherLineEnds(const QString &text)
{
    if (text.contains(QLatin1String("\r\n"))) {
        QString lf = text;
        return lf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }
    QString crlf = text;
    return crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}
} // namespace

class TestEncoderOutput : public QObject
{
    Q_OBJECT

private slots:
    void timeTexts_data()
    {
        QTest::addColumn<QString>("timeText");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("shown");
        QTest::newRow("older seconds") << "12.34" << true << 12.34 << "12.34";
        QTest::newRow("whole older seconds") << "7" << true << 7.0 << "7";
        QTest::newRow("hours minutes seconds") << "00:01:02.50" << true << 62.5 << "62.50";
        QTest::newRow("an hour") << "01:00:00.00" << true << 3600.0 << "3600.00";
        QTest::newRow("no fraction") << "00:00:05" << true << 5.0 << "5";
        QTest::newRow("three decimals") << "00:00:01.125" << true << 1.125 << "1.125";
        QTest::newRow("not available") << "N/A" << false << 0.0 << "";
        QTest::newRow("negative") << "-00:00:00.47" << false << 0.0 << "";
        QTest::newRow("nothing written yet") << "-577014:32:22.77" << false << 0.0 << "";
        QTest::newRow("negative seconds") << "-0.47" << false << 0.0 << "";
        QTest::newRow("empty") << "" << false << 0.0 << "";
        QTest::newRow("two parts") << "12:34" << false << 0.0 << "";
        QTest::newRow("empty part") << "00::05" << false << 0.0 << "";
        QTest::newRow("two dots") << "1.2.3" << false << 0.0 << "";
    }

    void timeTexts()
    {
        QFETCH(QString, timeText);
        QFETCH(bool, usable);
        QFETCH(double, seconds);
        QFETCH(QString, shown);
        const std::optional<double> parsed = EncoderOutput::seconds(timeText);
        QCOMPARE(parsed.has_value(), usable);
        if (usable)
            QCOMPARE(*parsed, seconds);
        QCOMPARE(EncoderOutput::secondsText(timeText), shown);
    }

    void progressTimeInAChunk_data()
    {
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<QString>("time"); // null: no time in the chunk
        QTest::newRow("today") << "frame=   50 fps=0.0 q=2.0 Lsize=      80kB "
                                  "time=00:00:02.03 bitrate= 321.5kbits/s speed=53.3x    \r"
                               << "00:00:02.03";
        QTest::newRow("older") << "frame=  125 fps=  0 q=2.0 size=     310kB time=5.00 bitrate="
                               << "5.00";
        QTest::newRow("letter case ignored") << "TIME=7.5 x" << "7.5";
        QTest::newRow("only the first counts") << "time=1.00 a\rtime=2.00 b" << "1.00";
        QTest::newRow("cut by the read") << "size= 256kB time=00:00:0" << QString();
        QTest::newRow("first cut, second whole") << "time=1.00\rtime=2.00 b" << "1.00\rtime=2.00";
        QTest::newRow("not available") << "time=N/A bitrate=N/A" << "N/A";
        QTest::newRow("no time") << "Stream mapping:\n" << QString();
    }

    void progressTimeInAChunk()
    {
        QFETCH(QString, chunk);
        QFETCH(QString, time);
        const std::optional<QString> found = EncoderOutput::progressTime(chunk);
        QCOMPARE(found.has_value(), !time.isNull());
        if (found)
            QCOMPARE(*found, time);
    }

    void percentRoundsHalvesToEven_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("length");
        QTest::addColumn<int>("percent");
        QTest::newRow("quarter") << 50.0 << 200.0 << 25;
        QTest::newRow("beyond the length") << 210.0 << 200.0 << 105;
        QTest::newRow("seconds rounded first") << 12.34 << 100.0 << 12;
        QTest::newRow("half a second is none") << 0.5 << 1.0 << 0;
        QTest::newRow("one and a half is two") << 1.5 << 2.0 << 100;
        QTest::newRow("percent half down") << 1.0 << 8.0 << 12;
        QTest::newRow("percent half up") << 3.0 << 8.0 << 38;
        QTest::newRow("fractional length") << 10.03 << 10.03 << 100;
    }

    void percentRoundsHalvesToEven()
    {
        QFETCH(double, seconds);
        QFETCH(double, length);
        QFETCH(int, percent);
        QCOMPARE(int(EncoderOutput::percent(seconds, length)), percent);
    }

    void unreadableInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("unknown");
        QTest::newRow("today") << "random.avi: Invalid data found when processing input\n" << true;
        QTest::newRow("older") << "C:\\v\\random.avi: Unknown format\r\n" << true;
        QTest::newRow("letter case ignored") << "unknown FORMAT" << true;
        QTest::newRow("other error") << "Unknown encoder 'foo'\n" << false;
        QTest::newRow("empty") << "" << false;
    }

    void unreadableInput()
    {
        QFETCH(QString, text);
        QFETCH(bool, unknown);
        QCOMPARE(EncoderOutput::isUnknownFormat(text), unknown);
    }

    void errorDetailQuotesTheEncodersError_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("errorLine");
        QTest::newRow("unreadable input") << "ffmpeg51_invalid_data.txt"
                                          << "random.avi: Invalid data found when processing input";
        QTest::newRow("unknown encoder") << "ffmpeg51_unknown_encoder.txt" << "Unknown encoder 'foo'";
        QTest::newRow("unknown encoder, one stream")
            << "ffmpeg51_unknown_encoder_one_stream.txt" << "Unknown encoder 'foo'";
        QTest::newRow("missing output folder") << "ffmpeg51_missing_folder.txt"
                                               << "missing/out5.avi: No such file or directory";
        QTest::newRow("encoder would not open") << "ffmpeg51_encoder_open_failed.txt"
                                                << "Specified sample rate 1234 is not supported";
        QTest::newRow("older unknown format") << "old_unknown_format.txt" << "Unknown format";
        QTest::newRow("older unknown codec") << "old_unknown_codec.txt" << "Unknown codec 'foo'";
        QTest::newRow("older codec would not open")
            << "old_codec_open_failed.txt" << "Error while opening codec for output stream #0.1";
    }

    void errorDetailQuotesTheEncodersError()
    {
        QFETCH(QString, file);
        QFETCH(QString, errorLine);
        const QString output = recorded(file);
        QVERIFY2(EncoderOutput::errorDetail(output).contains(errorLine),
                 qPrintable(EncoderOutput::errorDetail(output)));
        QVERIFY(EncoderOutput::errorDetail(withOtherLineEnds(output)).contains(errorLine));
    }

    void errorDetailKeepsTheLandmarkRules_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("detail");
        const QString codecError = QStringLiteral(
            "Error while opening codec for output stream #0.1 - maybe incorrect parameters such "
            "as bit_rate, rate, width or height\r\n");
        QTest::newRow("after the stream mapping")
            << recorded("old_codec_open_failed.txt") << QLatin1Char('\n') + codecError;
        QTest::newRow("after the input description")
            << recorded("old_unknown_codec.txt") << "\nUnknown codec 'foo'\r\n";
        QTest::newRow("after the banner")
            << recorded("old_unknown_format.txt") << "\nC:\\Videos\\random.avi: Unknown format\r\n";
        QTest::newRow("mapping line count is fixed")
            << "Stream mapping:\r\n  Stream #0.0 -> #0.0\r\n  Stream #0.1 -> #0.1\r\n"
               "  Stream #0.2 -> #0.2\r\nfailed\r\n"
            << "\n  Stream #0.2 -> #0.2\r\nfailed\r\n";
        QTest::newRow("landmark on the last line") << "x\r\nInput #0, avi" << "x\r\nInput #0, avi";
        QTest::newRow("no landmark") << "something went wrong\r\n" << "";
        QTest::newRow("blanks only") << "  \r\n \t" << "";
        QTest::newRow("empty") << "" << "";
    }

    void errorDetailKeepsTheLandmarkRules()
    {
        QFETCH(QString, output);
        QFETCH(QString, detail);
        QCOMPARE(EncoderOutput::errorDetail(output), detail);
    }
};

QTEST_GUILESS_MAIN(TestEncoderOutput)
#include "TestEncoderOutput.moc"
