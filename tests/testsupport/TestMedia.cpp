#include "tests/testsupport/TestMedia.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

bool TestMedia::makeClip(const QString &path, double seconds, bool withAudio, const QString &size,
                         int rate)
{
    const QString length = QString::number(seconds, 'f', 3);
    QString args = "-hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc=size=" + size +
                   ":rate=" + QString::number(rate) + ":duration=" + length;
    if (withAudio)
        args += " -f lavfi -i sine=frequency=440:sample_rate=22050:duration=" + length + " -ac 1";
    QProcess encoder;
    encoder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    encoder.start(TestMedia::encoder(), args.split(' ') << "-shortest" << path);
    return encoder.waitForFinished(300000) && encoder.exitStatus() == QProcess::NormalExit &&
           encoder.exitCode() == 0 && QFileInfo(path).size() > 0;
}

bool TestMedia::playable(const QString &path)
{
    QProcess encoder;
    encoder.start(TestMedia::encoder(), {"-v", "error", "-nostdin", "-i", path, "-f", "null", "-"});
    return encoder.waitForFinished(60000) && encoder.exitCode() == 0;
}

const TestMedia &TestMedia::instance()
{
    static TestMedia media;
    return media;
}

TestMedia::TestMedia()
{
    for (const char *container : {"avi", "mp4", "mkv", "mpg", "flv", "mov", "wmv"}) {
        if (!makeClip(clip(container), 1.0))
            qFatal("could not generate the test clip %s", qPrintable(clip(container)));
    }
    QByteArray bytes(64 * 1024, '\0');
    QRandomGenerator(20261206).fillRange(reinterpret_cast<quint32 *>(bytes.data()), 16 * 1024);
    QFile random(randomBytes());
    if (!random.open(QIODevice::WriteOnly) || random.write(bytes) != bytes.size())
        qFatal("could not write the test files in %s", qPrintable(folder()));
}
