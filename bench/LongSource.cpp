#include "bench/LongSource.h"

#include "bench/ProbeSummary.h"
#include "engine/EncoderPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
constexpr int kPieceSeconds = 120;
constexpr int kCueSeconds = 4;
// Made at about 4 Mb/s; a shorter file lost its end, though its header still tells two hours.
constexpr qint64 kLeastBytes = qint64(LongSource::kSeconds) * 3500000 / 8;

bool whole(const QString &path)
{
    return QFileInfo(path).size() >= kLeastBytes &&
           ProbeSummary::of(path).matches(LongSource::kSeconds, LongSource::streams());
}
} // namespace

QString LongSource::ensure(const QString &folder, QString *error)
{
    const QString path = folder + QStringLiteral("/long-1080p.mkv");
    if (whole(path))
        return path;
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make %1").arg(folder);
        return {};
    }
    QTemporaryDir work(folder + QStringLiteral("/making-XXXXXX"));
    const QString subtitles = work.filePath(QStringLiteral("piece.srt"));
    const QString piece = work.filePath(QStringLiteral("piece.mkv"));
    const QString made = work.filePath(QStringLiteral("whole.mkv"));
    if (!work.isValid() || !writeSubtitles(subtitles, kPieceSeconds)) {
        *error = QStringLiteral("cannot write in %1").arg(folder);
        return {};
    }
    // A detailed moving picture at about 4 Mb/s, as a camera or broadcast file would have.
    const QStringList encode =
        QProcess::splitCommand(QStringLiteral("-f lavfi -i testsrc2=size=1920x1080:rate=25 "
                                              "-f lavfi -i sine=frequency=440:sample_rate=48000")) +
        QStringList{QStringLiteral("-i"), subtitles} +
        QProcess::splitCommand(QStringLiteral("-t %1 -map 0 -map 1 -map 2 -c:v libx264 "
                                              "-preset ultrafast -b:v 4M -maxrate 5M -bufsize 8M "
                                              "-pix_fmt yuv420p -c:a aac -b:a 128k -c:s srt")
                                   .arg(kPieceSeconds)) +
        QStringList{piece};
    const QStringList repeat = {QStringLiteral("-stream_loop"),
                                QString::number(kSeconds / kPieceSeconds - 1),
                                QStringLiteral("-i"),
                                piece,
                                QStringLiteral("-map"),
                                QStringLiteral("0"),
                                QStringLiteral("-c"),
                                QStringLiteral("copy"),
                                QStringLiteral("-t"),
                                QString::number(kSeconds),
                                made};
    if (!runEncoder(encode, error) || !runEncoder(repeat, error))
        return {};
    // Renamed only once whole, so that a run cut short leaves nothing that looks usable.
    QFile::remove(path);
    if (!QFile::rename(made, path) || !whole(path)) {
        *error = QStringLiteral("the made source %1 does not read back as expected").arg(path);
        return {};
    }
    return path;
}

QStringList LongSource::streams()
{
    return {QStringLiteral("video h264"), QStringLiteral("audio aac"),
            QStringLiteral("subtitle subrip")};
}

bool LongSource::writeSubtitles(const QString &path, int seconds)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    const auto time = [](int s) {
        return QStringLiteral("00:%1:%2,000")
            .arg(s / 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'));
    };
    for (int cue = 0; cue * kCueSeconds < seconds; ++cue) {
        const int start = cue * kCueSeconds;
        out << cue + 1 << '\n'
            << time(start) << " --> " << time(start + kCueSeconds - 1) << '\n'
            << "Line " << cue + 1 << " of the test picture\n\n";
    }
    out.flush();
    return file.error() == QFileDevice::NoError;
}

bool LongSource::runEncoder(const QStringList &arguments, QString *error)
{
    QProcess encoder;
    encoder.setStandardInputFile(QProcess::nullDevice());
    encoder.start(EncoderPath::program(),
                  QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                              QStringLiteral("error"), QStringLiteral("-y")} +
                      arguments);
    if (!encoder.waitForFinished(1800000) || encoder.exitStatus() != QProcess::NormalExit ||
        encoder.exitCode() != 0) {
        *error = QStringLiteral("the encoder failed making the source: %1")
                     .arg(QString::fromLocal8Bit(encoder.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}
