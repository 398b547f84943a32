#include "MediaProbe.h"
#include "TestMedia.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {
const char *const kSizeInLocaleOption = "--format-size";
}

class TestMediaProbe : public QObject
{
    Q_OBJECT
private slots:
    void durationTextRoundsAndPads_data();
    void durationTextRoundsAndPads();
    void readsDurationOfRealFiles();
    void sizeText_data();
    void sizeText();
    void sizeOfSparseFileUsesFullLength();
    void sizeTextUsesLocaleDecimalSeparator();

private:
    QTemporaryDir m_dir;
};

void TestMediaProbe::durationTextRoundsAndPads_data()
{
    QTest::addColumn<double>("milliseconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "00:00:00";
    QTest::newRow("hour minutes seconds") << 3725000.0 << "01:02:05";
    QTest::newRow("half rounds to even, down") << 2500.0 << "00:00:02";
    QTest::newRow("half rounds to even, up") << 3500.0 << "00:00:04";
    QTest::newRow("below a half") << 499.0 << "00:00:00";
    QTest::newRow("carries into the minute") << 59500.0 << "00:01:00";
    QTest::newRow("fraction of a millisecond") << 1500.4 << "00:00:02";
    QTest::newRow("hundred hours") << 360300000.0 << "100:05:00";
}

void TestMediaProbe::durationTextRoundsAndPads()
{
    QFETCH(double, milliseconds);
    QFETCH(QString, text);
    QCOMPARE(MediaProbe::durationText(milliseconds), text);
}

void TestMediaProbe::readsDurationOfRealFiles()
{
    const TestMedia &media = TestMedia::instance();
    QCOMPARE(MediaProbe::GetMediaDuration(media.clip("mkv")), "00:00:01");
    QCOMPARE(MediaProbe::GetMediaDuration(media.clipWithoutAudio()), "00:00:01");

    const QString longClip = m_dir.filePath("long clip é.mkv");
    QVERIFY(TestMedia::makeClip(longClip, 3725, false, "16x16", 1));
    QCOMPARE(MediaProbe::GetMediaDuration(longClip), "01:02:05");

    // Opened but without a duration, versus not opened at all.
    QCOMPARE(MediaProbe::GetMediaDuration(media.randomBytes()), "Error");
    QCOMPARE(MediaProbe::GetMediaDuration(media.emptyFile()), "Error");
    QCOMPARE(MediaProbe::GetMediaDuration(m_dir.filePath("missing.avi")), QString());
}

void TestMediaProbe::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "0 Bytes";
    QTest::newRow("1023") << qint64(1023) << "1023 Bytes";
    QTest::newRow("1024") << qint64(1024) << "1 KB";
    QTest::newRow("1536") << qint64(1536) << "1.5 KB";
    QTest::newRow("1.125 ties to even") << qint64(1152) << "1.12 KB";
    QTest::newRow("1.375 ties to even") << qint64(1408) << "1.38 KB";
    QTest::newRow("two decimals") << qint64(1034) << "1.01 KB";
    QTest::newRow("rounds up to the next unit's number") << qint64(1048575) << "1024 KB";
    QTest::newRow("1048576") << qint64(1048576) << "1 MB";
    QTest::newRow("1073741823") << qint64(1073741823) << "1024 MB";
    QTest::newRow("1073741824") << qint64(1073741824) << "1 GB";
    QTest::newRow("beyond 32 bits") << qint64(5) * 1073741824 + 536870912 << "5.5 GB";
    QTest::newRow("largest length") << std::numeric_limits<qint64>::max() << "8589934592 GB";
}

void TestMediaProbe::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(MediaProbe::FormatFileSize(bytes), text);
}

void TestMediaProbe::sizeOfSparseFileUsesFullLength()
{
    QFile sparse(m_dir.filePath("sparse.mkv"));
    QVERIFY(sparse.open(QIODevice::WriteOnly));
    QVERIFY(sparse.resize(qint64(6) * 1073741824 + 268435456));
    sparse.close();
    QCOMPARE(MediaProbe::FormatFileSize(QFileInfo(sparse).size()), "6.25 GB");
}

void TestMediaProbe::sizeTextUsesLocaleDecimalSeparator()
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "de_DE.UTF-8");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {kSizeInLocaleOption, "1536"});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), "1,5 KB");
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The locale is read once at start, so the other locale is tried in a child run.
    if (argc == 3 && qstrcmp(argv[1], kSizeInLocaleOption) == 0) {
        std::fputs(qPrintable(MediaProbe::FormatFileSize(QByteArray(argv[2]).toLongLong())), stdout);
        return 0;
    }
    TestMediaProbe test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestMediaProbe.moc"
