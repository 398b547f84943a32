#include "batch/OutputCheck.h"

#include "engine/EncoderOutput.h"
#include "engine/EncoderPath.h"
#include "filelist/MediaProbe.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <sys/prctl.h>

namespace {
constexpr int kProbeWaitMs = 120000;
constexpr double kTailMs = 5000;

// What a reader found in a file.
struct Found
{
    bool opened = false;
    bool picture = false;
    bool sound = false;
    qint64 lengthMs = -1;
};

// The library opens any file, random bytes too: it has read one when it found a stream or a
// length in it.
Found fromMediaLibrary(const QString &path)
{
    const MediaProbe::Facts facts = MediaProbe::inspect(path);
    const bool picture = facts.videoStreams > 0, sound = facts.audioStreams > 0;
    return {facts.opened && (picture || sound || facts.durationMs >= 0), picture, sound,
            facts.durationMs};
}

// ffprobe beside the encoder, else the one on PATH.
QString prober()
{
    const QFileInfo beside(QFileInfo(EncoderPath::program()).absolutePath() +
                           QStringLiteral("/ffprobe"));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
}

// What ffprobe prints for the arguments; nothing when it cannot be run. ok: it exited 0.
QString probed(const QStringList &arguments, bool *ok)
{
    *ok = false;
    const QString program = prober();
    if (program.isEmpty())
        return QString();
    QProcess probe;
    probe.setStandardInputFile(QProcess::nullDevice());
    probe.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    probe.start(program, QStringList{QStringLiteral("-v"), QStringLiteral("error")} + arguments);
    if (!probe.waitForFinished(kProbeWaitMs)) {
        probe.kill();
        probe.waitForFinished();
        return QString();
    }
    *ok = probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    return QString::fromUtf8(probe.readAllStandardOutput());
}

// The number after "name=" in a line of ffprobe's output.
std::optional<double> valueOf(const QString &line, QLatin1String name)
{
    bool isNumber = false;
    const double value = line.mid(name.size() + 1).toDouble(&isNumber);
    if (!line.startsWith(name + QLatin1Char('=')) || !isNumber || value < 0 || value >= 1e9)
        return std::nullopt;
    return value;
}

Found fromProber(const QString &path)
{
    Found found;
    const QString text = probed(
        {QStringLiteral("-show_entries"), QStringLiteral("format=duration:stream=codec_type"),
         QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"), path},
        &found.opened);
    if (!found.opened)
        return found;
    for (const QString &line : text.split('\n')) {
        found.picture = found.picture || line == QLatin1String("codec_type=video");
        found.sound = found.sound || line == QLatin1String("codec_type=audio");
        if (const std::optional<double> seconds = valueOf(line, QLatin1String("duration")))
            found.lengthMs = qint64(*seconds * 1000);
    }
    return found;
}

bool sameLength(qint64 found, qint64 written)
{
    return found >= 0 && std::llabs(found - written) <= std::max<qint64>(1000, written / 50);
}

// Headerless data that no reader can open without being told its layout.
bool isRawData(const QString &container)
{
    static const QRegularExpression raw(
        QStringLiteral("^(rawvideo|[suf](8|16|24|32|64)(le|be)?|alaw|mulaw|data)$"));
    return raw.match(container).hasMatch();
}

QString seconds(qint64 ms)
{
    return QString::number(ms / 1000.0, 'f', 1);
}
} // namespace

OutputCheck::Written OutputCheck::fromLog(const QString &log)
{
    Written written;
    const QStringList lines = log.split(QRegularExpression(QStringLiteral("[\r\n]")));
    bool inOutput = false;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("Output #0, "))) {
            inOutput = true;
            written.container = line.mid(11).section(QStringLiteral(", to '"), 0, 0);
            continue;
        }
        if (inOutput && !line.isEmpty() && !line.front().isSpace())
            inOutput = false; // the stream lines below the header are indented
        const QString trimmed = line.trimmed();
        if (inOutput && trimmed.startsWith(QLatin1String("Stream #0:"))) {
            written.picture = written.picture || trimmed.contains(QLatin1String(": Video: "));
            written.sound = written.sound || trimmed.contains(QLatin1String(": Audio: "));
        }
    }
    const qsizetype last = log.lastIndexOf(QLatin1String("time="));
    if (last >= 0) {
        const std::optional<QString> time = EncoderOutput::progressTime(QStringView(log).mid(last));
        const std::optional<double> value = time ? EncoderOutput::seconds(*time) : std::nullopt;
        if (value && *value < 1e9)
            written.lengthMs = qint64(*value * 1000);
    }
    return written;
}

OutputCheck::Verdict OutputCheck::check(const QString &path, const Written &written)
{
    Verdict verdict;
    // Without the encoder's word on its streams, any stream will do.
    const bool anyStream = !written.picture && !written.sound;
    const auto streamsHeld = [&](const Found &found) {
        return (!written.picture || found.picture) && (!written.sound || found.sound) &&
               (!anyStream || found.picture || found.sound);
    };
    const Found library = fromMediaLibrary(path);
    if (library.opened && streamsHeld(library) &&
        (written.lengthMs < 0 || sameLength(library.lengthMs, written.lengthMs)))
        return verdict;
    // The media library does not know every format (GIF as a picture, NUT, raw streams):
    // ffprobe, which comes with the encoder, reads what it wrote.
    const Found probed = fromProber(path);
    if (!library.opened && !probed.opened) {
        if (isRawData(written.container) && QFileInfo(path).size() > 0)
            verdict.note = QStringLiteral("The output is raw %1 data, which cannot be read back "
                                          "without its layout; it was not checked.")
                               .arg(written.container);
        else
            verdict.problem = QStringLiteral("The output cannot be read.");
        return verdict;
    }
    const Found either = {true, library.picture || probed.picture, library.sound || probed.sound,
                          -1};
    if (!streamsHeld(either)) {
        verdict.problem = written.picture && !either.picture
                              ? QStringLiteral("The output has no picture.")
                              : QStringLiteral("The output has no sound.");
        return verdict;
    }
    if (written.lengthMs < 0 || sameLength(library.lengthMs, written.lengthMs) ||
        sameLength(probed.lengthMs, written.lengthMs))
        return verdict;
    if (probed.lengthMs >= 0) {
        verdict.problem = QStringLiteral("The output lasts %1 s instead of %2 s.")
                              .arg(seconds(probed.lengthMs), seconds(written.lengthMs));
        return verdict;
    }
    verdict.note = QStringLiteral("The length of a %1 output cannot be read; it was not compared "
                                  "with the %2 s the encoder wrote.")
                       .arg(written.container, seconds(written.lengthMs));
    return verdict;
}

OutputCheck::Verdict OutputCheck::checkEarlier(const QString &path, qint64 lengthMs)
{
    Written written;
    written.lengthMs = lengthMs;
    Verdict verdict = check(path, written);
    if (!verdict.problem.isEmpty())
        return verdict;
    if (!verdict.note.isEmpty())
        return {verdict.note, QString()}; // what cannot be checked is no result to keep
    bool ok = false;
    double startMs = 0, headerMs = -1;
    for (const QString &line :
         probed({QStringLiteral("-show_entries"), QStringLiteral("format=start_time,duration"),
                 QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"), path},
                &ok)
             .split('\n')) {
        if (const std::optional<double> start = valueOf(line, QLatin1String("start_time")))
            startMs = *start * 1000;
        if (const std::optional<double> duration = valueOf(line, QLatin1String("duration")))
            headerMs = *duration * 1000;
    }
    const double expectedMs = lengthMs >= 0 ? double(lengthMs) : headerMs;
    if (!ok || expectedMs < 0)
        return {QStringLiteral("The length of the output cannot be read."), QString()};
    // The last few seconds are enough, read from where the header says they are.
    const double fromMs = startMs + std::max(0.0, expectedMs - kTailMs);
    double endMs = -1;
    for (const QString &line :
         probed({QStringLiteral("-read_intervals"), QString::number(fromMs / 1000, 'f', 3) + '%',
                 QStringLiteral("-show_entries"), QStringLiteral("packet=pts_time,duration_time"),
                 QStringLiteral("-of"), QStringLiteral("csv=p=0"), path},
                &ok)
             .split('\n')) {
        bool isTime = false, isLength = false;
        const double pts = line.section(QLatin1Char(','), 0, 0).toDouble(&isTime);
        const double length = line.section(QLatin1Char(','), 1, 1).toDouble(&isLength);
        if (isTime)
            endMs = std::max(endMs, (pts + (isLength ? length : 0)) * 1000);
    }
    const qint64 reachedMs = endMs < 0 ? 0 : qint64(endMs - startMs);
    if (!sameLength(reachedMs, qint64(expectedMs)))
        verdict.problem = QStringLiteral("The output stops at %1 s of %2 s.")
                              .arg(seconds(reachedMs), seconds(qint64(expectedMs)));
    return verdict;
}
