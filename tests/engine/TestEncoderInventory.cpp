#include "EncoderInventory.h"
#include "StandInEncoder.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// What an option string needs, against a stand-in encoder that offers little.
class TestEncoderInventory : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    EncoderInventory m_inventory;

private slots:
    void initTestCase()
    {
        QVERIFY(m_inventory.missingFor("-c:v libx265", "mkv").isEmpty()); // nothing known yet
        QSignalSpy ready(&m_inventory, &EncoderInventory::ready);
        m_inventory.start(StandInEncoder::write(m_dir.path(),
                                                {"libx264", "aac", "mpeg2video", "mp2"},
                                                {"mp4", "mpeg", "vcd", "matroska,webm"}));
        QVERIFY(ready.wait(10000));
    }

    void namesWhatIsMissing_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("missing");
        const auto row = [](const char *name, const char *options, const char *extension,
                            const char *missing) {
            QTest::newRow(name) << options << extension << missing;
        };
        row("all offered", "-c:v libx264 -preset fast -c:a aac", "MP4", "");
        row("video encoder", "-vcodec libx265 -acodec aac", "mp4", "encoder \"libx265\"");
        row("audio encoder", "-c:v libx264 -c:a libopus", "mp4", "encoder \"libopus\"");
        row("copy needs no encoder", "-c copy", "mkv", "");
        row("container by extension", "-c:v libx264", "avi", "container \"avi\"");
        row("several names on one line", "-c:v libx264", "webm", "");
        row("-f names the container", "-c:v libx264 -f ogg", "mp4", "container \"ogg\"");
        row("DVD target", "-target pal-dvd", "mpg", "encoder \"ac3\"");
        row("VCD target", "-target ntsc-vcd", "mpg", "encoder \"mpeg1video\"");
        row("unknown extension", "-c:v libx264", "xyz", "");
    }

    void namesWhatIsMissing()
    {
        QFETCH(QString, options);
        QFETCH(QString, extension);
        QFETCH(QString, missing);
        QCOMPARE(m_inventory.missingFor(options, extension), missing);
    }
};

QTEST_GUILESS_MAIN(TestEncoderInventory)
#include "TestEncoderInventory.moc"
