#include "TestMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace {
const QStringList kContainers = {"avi", "mp4", "mkv", "mpg", "flv", "mov", "wmv"};

std::unique_ptr<QTemporaryDir> &mediaDir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

QString TestMedia::encoder()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    return found.isEmpty() ? QStringLiteral("ffmpeg") : found;
}

bool TestMedia::makeClip(const QString &path, double seconds, bool withAudio, const QString &size,
                         int rate)
{
    const QString length = QString::number(seconds, 'f', 3);
    QStringList args =
        QStringLiteral("-hide_banner -loglevel error -nostdin -y -f lavfi -i").split(' ');
    args << QStringLiteral("testsrc=size=%1:rate=%2:duration=%3").arg(size).arg(rate).arg(length);
    if (withAudio)
        args << QStringLiteral("-f lavfi -i sine=frequency=440:sample_rate=22050:duration=%1 -ac 1")
                    .arg(length)
                    .split(' ');
    args << "-shortest" << path;
    QProcess encoder;
    encoder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    encoder.start(TestMedia::encoder(), args);
    if (!encoder.waitForFinished(300000))
        return false;
    return encoder.exitStatus() == QProcess::NormalExit && encoder.exitCode() == 0 &&
           QFileInfo(path).size() > 0;
}

QStringList TestMedia::makeClips(const QString &folder, int count, double seconds,
                                 const QString &size)
{
    QStringList clips;
    for (int i = 0; i < count; ++i) {
        clips << QStringLiteral("%1/clip%2.mp4").arg(folder).arg(i, 2, 10, QLatin1Char('0'));
        if (!makeClip(clips.last(), seconds, true, size))
            return {};
    }
    return clips;
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
    mediaDir() = std::make_unique<QTemporaryDir>();
    m_folder = mediaDir()->path();
    for (const QString &container : kContainers) {
        if (!makeClip(clip(container), 1.0))
            qFatal("could not generate the test clip %s", qPrintable(clip(container)));
    }

    QFile random(randomBytes());
    random.open(QIODevice::WriteOnly);
    QByteArray bytes(64 * 1024, '\0');
    QRandomGenerator generator(20261206);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    random.write(bytes);
    random.close();

    QFile empty(emptyFile());
    empty.open(QIODevice::WriteOnly);
    empty.close();
}

QString TestMedia::folder() const
{
    return m_folder;
}

QString TestMedia::clip(const QString &container) const
{
    return m_folder + QStringLiteral("/clip.") + container;
}

QString TestMedia::randomBytes() const
{
    return m_folder + QStringLiteral("/random.avi");
}

QString TestMedia::emptyFile() const
{
    return m_folder + QStringLiteral("/empty.mp4");
}
