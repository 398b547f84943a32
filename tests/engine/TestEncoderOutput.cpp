#include "EncoderOutput.h"

#include <QFile>
#include <QTest>

class TestEncoderOutput : public QObject
{
    Q_OBJECT

private slots:
    // From one chunk: the time, its length-unknown status number and percent (halves to even).
    void progressOfAChunk_data()
    {
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("seconds"); // -1: no usable time
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("percent");
        QTest::newRow("older seconds") << "q=2 TIME=12.34 x" << 100.0 << 12.34 << "12.34" << 12;
        QTest::newRow("h:m:s") << "time=01:01:02.50 x\r" << 3662.0 << 3662.5 << "3662.50" << 100;
        QTest::newRow("beyond the length") << "time=210.00 x" << 200.0 << 210.0 << "210.00" << 105;
        QTest::newRow("half a second is none") << "time=0.50 x" << 1.0 << 0.5 << "0.50" << 0;
        QTest::newRow("percent half down") << "time=1.00 x" << 8.0 << 1.0 << "1.00" << 12;
        QTest::newRow("percent half up") << "time=00:00:03 x" << 8.0 << 3.0 << "3" << 38;
        QTest::newRow("the first") << "time=1.00 a\rtime=2.00 b" << 1.0 << 1.0 << "1.00" << 100;
        QTest::newRow("not available") << "time=N/A bitrate=" << 1.0 << -1.0 << "" << 0;
        QTest::newRow("negative") << "time=-00:00:00.47 bitrate=" << 1.0 << -1.0 << "" << 0;
        QTest::newRow("cut by the read") << "size= 256kB time=00:00:0" << 1.0 << -1.0 << "" << 0;
    }

    void progressOfAChunk()
    {
        QFETCH(QString, chunk);
        QFETCH(double, length);
        QFETCH(double, seconds);
        QFETCH(QString, shown);
        QFETCH(int, percent);
        const QString time = EncoderOutput::progressTime(chunk).value_or(QStringLiteral("none"));
        QCOMPARE(EncoderOutput::seconds(time).value_or(-1.0), seconds);
        QCOMPARE(EncoderOutput::secondsText(time), shown);
        if (seconds >= 0)
            QCOMPARE(int(EncoderOutput::percent(seconds, length)), percent);
    }

    // Rows naming a recorded output use that file; each is read with LF and CR LF line ends.
    void errorDetailQuotesTheErrorAlone_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("kept");    // must be in the detail
        QTest::addColumn<QString>("dropped"); // must not
        const auto row = [](const char *name, const char *output, const char *kept,
                            const char *dropped) {
            QTest::newRow(name) << output << kept << dropped;
        };
        row("unreadable", "ffmpeg51_invalid_data", "Invalid data", "built with");
        row("one stream", "ffmpeg51_unknown_encoder_one_stream", "foo", "Video");
        row("not opened", "ffmpeg51_encoder_open_failed", "rate 1234", "-> #0:1");
        row("older codec", "old_codec_open_failed", "opening codec", "-> #0.1");
        row("older unknown codec", "old_unknown_codec", "Unknown codec", "Audio");
        row("older unknown format", "old_unknown_format", "Unknown", "built on");
        row("two mapping lines at most", "Stream mapping:\n  #1\n  #2\n  #3\nfailed\n", "#3", "#2");
        row("no landmark", "something went wrong\n", "", "wrong");
    }

    void errorDetailQuotesTheErrorAlone()
    {
        QFETCH(QString, output);
        QFETCH(QString, kept);
        QFETCH(QString, dropped);
        QFile file(QStringLiteral(REELFORGE_TEST_DATA "/encoder-output/") + output + ".txt");
        if (file.open(QIODevice::ReadOnly))
            output = QString::fromUtf8(file.readAll()).replace("\r\n", "\n");
        for (const QString &text : {output, QString(output).replace('\n', QLatin1String("\r\n"))}) {
            const QString detail = EncoderOutput::errorDetail(text);
            QVERIFY2(detail.contains(kept) && !detail.contains(dropped), qPrintable(detail));
        }
    }
};

QTEST_GUILESS_MAIN(TestEncoderOutput)
#include "TestEncoderOutput.moc"
