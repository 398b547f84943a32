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
} // namespace

class TestEncoderOutput : public QObject
{
    Q_OBJECT

private slots:
    void timeTexts_data()
    {
        QTest::addColumn<QString>("timeText");
        QTest::addColumn<double>("seconds"); // -1: no usable time
        QTest::addColumn<QString>("shown");
        QTest::newRow("older seconds") << "12.34" << 12.34 << "12.34";
        QTest::newRow("hours minutes seconds") << "01:01:02.50" << 3662.5 << "3662.50";
        QTest::newRow("no fraction") << "00:00:05" << 5.0 << "5";
        QTest::newRow("not available") << "N/A" << -1.0 << "";
        QTest::newRow("negative") << "-00:00:00.47" << -1.0 << "";
        QTest::newRow("nothing written yet") << "-577014:32:22.77" << -1.0 << "";
        QTest::newRow("two parts") << "12:34" << -1.0 << "";
    }

    void timeTexts()
    {
        QFETCH(QString, timeText);
        QFETCH(double, seconds);
        QFETCH(QString, shown);
        QCOMPARE(EncoderOutput::seconds(timeText).value_or(-1.0), seconds);
        QCOMPARE(EncoderOutput::secondsText(timeText), shown);
    }

    void progressTimeInAChunk_data()
    {
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<QString>("time"); // null: none
        QTest::newRow("today") << "frame=   50 q=2.0 time=00:00:02.03 bitrate= 321.5kbits/s\r"
                               << "00:00:02.03";
        QTest::newRow("older, any letter case") << "size= 310kB TIME=5.00 bitrate=" << "5.00";
        QTest::newRow("only the first counts") << "time=1.00 a\rtime=2.00 b" << "1.00";
        QTest::newRow("cut by the read") << "size= 256kB time=00:00:0" << QString();
        QTest::newRow("no time") << "Stream mapping:\n" << QString();
    }

    void progressTimeInAChunk()
    {
        QFETCH(QString, chunk);
        QFETCH(QString, time);
        QCOMPARE(EncoderOutput::progressTime(chunk).value_or(QString()), time);
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
        QTest::newRow("percent half down") << 1.0 << 8.0 << 12;
        QTest::newRow("percent half up") << 3.0 << 8.0 << 38;
    }

    void percentRoundsHalvesToEven()
    {
        QFETCH(double, seconds);
        QFETCH(double, length);
        QFETCH(int, percent);
        QCOMPARE(int(EncoderOutput::percent(seconds, length)), percent);
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
    }

    void errorDetailQuotesTheEncodersError()
    {
        QFETCH(QString, file);
        QFETCH(QString, errorLine);
        QString output = recorded(file);
        QVERIFY(EncoderOutput::errorDetail(output).contains(errorLine));
        // The same output with the other line end.
        if (output.contains(QLatin1String("\r\n")))
            output.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        else
            output.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        QVERIFY(EncoderOutput::errorDetail(output).contains(errorLine));
    }

    void errorDetailKeepsTheLandmarkRules_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("detail");
        QTest::newRow("after the stream mapping")
            << recorded("old_codec_open_failed.txt")
            << "\nError while opening codec for output stream #0.1 - maybe incorrect parameters "
               "such as bit_rate, rate, width or height\r\n";
        QTest::newRow("after the input description")
            << recorded("old_unknown_codec.txt") << "\nUnknown codec 'foo'\r\n";
        QTest::newRow("after the banner")
            << recorded("old_unknown_format.txt") << "\nC:\\Videos\\random.avi: Unknown format\r\n";
        QTest::newRow("at most two mapping lines skipped")
            << "Stream mapping:\r\n  #0.0 -> #0.0\r\n  #0.1 -> #0.1\r\n  #0.2 -> #0.2\r\nfailed\r\n"
            << "\n  #0.2 -> #0.2\r\nfailed\r\n";
        QTest::newRow("landmark on the last line") << "x\r\nInput #0, avi" << "x\r\nInput #0, avi";
        QTest::newRow("no landmark") << "something went wrong\r\n" << "";
        QTest::newRow("blanks only") << "  \r\n \t" << "";
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
