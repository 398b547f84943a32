#include "CVideoConv.h"
#include "EncoderPath.h"
#include "JobEvents.h"
#include "MessageRecorder.h"
#include "TestChild.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The job against a stand-in encoder that replays recorded console output, older encoders'
// texts included, write by write as a real encoder prints it.
class TestEncoderTexts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Writes a stand-in encoder that records its arguments and replays the recorded output,
    // one progress report per write, then exits with the code.
    QString replayingEncoder(const QString &recordedFile, int exitCode)
    {
        QFile file(QStringLiteral(REELFORGE_TEST_DATA "/encoder-output/") + recordedFile);
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        const QByteArray output = file.readAll();
        QString body = QStringLiteral("printf '%s\\0' \"$@\" > '%1'\n").arg(m_dir.filePath("args"));
        qsizetype start = 0;
        for (int part = 0; start < output.size(); ++part) {
            qsizetype end = output.indexOf("frame=", start + 1);
            if (end < 0)
                end = output.size();
            const QString partFile = m_dir.filePath(QStringLiteral("part%1").arg(part));
            QFile piece(partFile);
            piece.open(QIODevice::WriteOnly);
            piece.write(output.mid(start, end - start));
            body += QStringLiteral("cat '%1'\nsleep 0.03\n").arg(partFile);
            start = end;
        }
        body += QStringLiteral("exit %1\n").arg(exitCode);
        return TestChild::writeScript(m_dir.path(), QStringLiteral("encoder"), body);
    }

    QStringList receivedArguments() const
    {
        QFile file(m_dir.filePath("args"));
        file.open(QIODevice::ReadOnly);
        QStringList arguments = QString::fromUtf8(file.readAll()).split(QChar(0));
        arguments.removeLast();
        return arguments;
    }

private slots:
    void cleanup() { EncoderPath::setOverride(QString()); }

    void outputIsUnderstood_data()
    {
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<float>("length");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("errorLine"); // empty: no message expected

        QTest::newRow("older progress in seconds")
            << "old_success.txt" << 0 << 20.0f
            << QStringList{"Starting...", "progress 25", "progress 50", "progress 100"} << "";
        QTest::newRow("older progress, length unknown")
            << "old_success.txt" << 0 << 0.0f
            << QStringList{"Starting...", "5.00 Seconds Converted", "10.00 Seconds Converted",
                           "20.00 Seconds Converted"}
            << "";
        QTest::newRow("today's progress in hours, minutes and seconds")
            << "ffmpeg51_success.txt" << 0 << 10.0f
            << QStringList{"Starting...", "progress 0",  "progress 0",  "progress 10",
                           "progress 20", "progress 40", "progress 50", "progress 60",
                           "progress 70", "progress 80", "progress 100", "progress 100"}
            << "";
        QTest::newRow("older unknown format")
            << "old_unknown_format.txt" << 1 << 20.0f
            << QStringList{"Starting...", "Unknown format", "progress -1", "Error"}
            << "C:\\Videos\\random.avi: Unknown format";
        QTest::newRow("marker printed, then the encoder failed")
            << "ffmpeg51_encoder_open_failed.txt" << 1 << 2.0f
            << QStringList{"Starting...", "Error"} << "Specified sample rate 1234 is not supported";
        QTest::newRow("older marker, then a failing exit")
            << "old_success.txt" << 1 << 20.0f
            << QStringList{"Starting...", "progress 25", "progress 50", "progress 100", "Error"}
            << "video:1083kB";
    }

    void outputIsUnderstood()
    {
        QFETCH(QString, recorded);
        QFETCH(int, exitCode);
        QFETCH(float, length);
        QFETCH(QStringList, events);
        QFETCH(QString, errorLine);
        const QString encoder = replayingEncoder(recorded, exitCode);
        QVERIFY(!encoder.isEmpty());
        EncoderPath::setOverride(encoder);
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents seen(job);
        job.setInputFile(QStringLiteral("/videos/in.avi"));
        job.setOutputFile(QStringLiteral("/videos/out.flv"));
        job.setParametrs(QStringLiteral("-f flv -y"));
        job.setFileTimeLength(length);

        job.StartConversion();

        QCOMPARE(seen.all, events);
        QCOMPARE(job.succeeded(), errorLine.isEmpty());
        if (errorLine.isEmpty()) {
            QVERIFY(recorder.texts().isEmpty());
            return;
        }
        QCOMPARE(recorder.count(), 1);
        QVERIFY(recorder.texts().first().startsWith("Error converting file: in.avi\r\n"));
        QVERIFY2(recorder.texts().first().contains(errorLine), qPrintable(recorder.texts().first()));
    }

    void encoderReceivesTheArgumentList()
    {
        EncoderPath::setOverride(replayingEncoder("old_success.txt", 0));
        CVideoConv job;
        job.setInputFile(QStringLiteral("/v/clip \"one\".avi"));
        job.setOutputFile(QStringLiteral("/o/clip $(one).flv"));
        job.setParametrs(QStringLiteral(" -metadata title=\"a b\" -y"));

        job.StartConversion();

        QCOMPARE(receivedArguments(),
                 (QStringList{"-i", "/v/clip \"one\".avi", "-metadata", "title=a b", "-y",
                              "/o/clip $(one).flv"}));
    }

    void missingEncoderIsReportedTwice()
    {
        EncoderPath::setOverride(m_dir.filePath("no-encoder-here"));
        MessageRecorder recorder;
        CVideoConv job;
        JobEvents seen(job);
        job.setInputFile(QStringLiteral("/v/in.avi"));
        job.setOutputFile(QStringLiteral("/v/out.avi"));

        job.StartConversion();

        QCOMPARE(seen.all, (QStringList{"Starting...", "Error"}));
        QCOMPARE(recorder.texts(),
                 (QStringList{"File or command not found", "Error converting file: in.avi\r\n"}));
    }
};

QTEST_GUILESS_MAIN(TestEncoderTexts)
#include "TestEncoderTexts.moc"
