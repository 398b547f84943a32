#include "filelist/FileProbe.h"

#include "engine/EncoderOutput.h"
#include "filelist/AddingRules.h"
#include "filelist/MediaProbe.h"

#include <QFile>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>

namespace {
constexpr int kCancelPollMs = 20;

FileProbe::Verdict judge(const QString &output, const QString &path)
{
    return EncoderOutput::isUnknownFormat(output, path) ? FileProbe::Verdict::UnknownFormat
                                                        : FileProbe::Verdict::Reads;
}

// The encoder's whole output for the paths; started is false when it could not run.
QString runEncoder(const QString &program, const QStringList &paths,
                   const std::atomic_bool &cancelled, bool *started)
{
    QStringList arguments = {QStringLiteral("-hide_banner")};
    for (const QString &path : paths)
        arguments << QStringLiteral("-i") << path;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    // Should the program die, the probe goes with it (the forking thread outlives the wait).
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start(program, arguments);
    *started = process.waitForStarted(-1);
    if (!*started)
        return QString();
    while (!process.waitForFinished(kCancelPollMs) && process.state() != QProcess::NotRunning) {
        if (cancelled) {
            process.kill();
            process.waitForFinished(-1);
            return QString();
        }
    }
    return QString::fromUtf8(process.readAll());
}

// The end of the header line the encoder prints for an input it opened.
QString headerEnd(const QString &path)
{
    return QStringLiteral(" from '") + EncoderOutput::shownPath(path) + QStringLiteral("':\n");
}

bool startsLineAt(const QString &text, qsizetype position, const QString &prefix)
{
    return (position == 0 || text.at(position - 1) == QLatin1Char('\n')) &&
           QStringView(text).mid(position).startsWith(prefix);
}
} // namespace

QVector<FileProbe::Verdict> FileProbe::readVerdicts(const QString &output, const QStringList &paths)
{
    QVector<Verdict> verdicts;
    qsizetype from = 0; // where the part of the next file begins
    for (int index = 0; index < paths.size(); ++index) {
        const QString prefix = QStringLiteral("Input #%1, ").arg(index);
        const QString end = headerEnd(paths.at(index));
        qsizetype header = output.indexOf(prefix, from);
        while (header >= 0 && !startsLineAt(output, header, prefix))
            header = output.indexOf(prefix, header + 1);
        const qsizetype endOfHeader = header < 0 ? -1 : output.indexOf(end, header);
        if (endOfHeader < 0) {
            // Not opened: the rest is this file's failure, unless another file's header
            // follows, which means the output was not understood.
            if (output.indexOf(QLatin1String("\nInput #"), from) >= 0 ||
                startsLineAt(output, from, QStringLiteral("Input #")))
                return verdicts;
            verdicts << judge(output.mid(from), paths.at(index));
            return verdicts;
        }
        // The stream lines under the header are indented; the next file's part starts after.
        qsizetype next = endOfHeader + end.size();
        while (next < output.size() &&
               (output.at(next) == QLatin1Char(' ') || output.at(next) == QLatin1Char('\t'))) {
            const qsizetype lineEnd = output.indexOf(QLatin1Char('\n'), next);
            next = lineEnd < 0 ? output.size() : lineEnd + 1;
        }
        verdicts << judge(output.mid(from, next - from), paths.at(index));
        from = next;
    }
    return verdicts;
}

QVector<FileProbe::Verdict> FileProbe::askEncoder(const QString &encoder, const QStringList &paths,
                                                  const std::atomic_bool &cancelled)
{
    QVector<Verdict> verdicts;
    bool alone = false; // the next file runs by itself
    while (verdicts.size() < paths.size()) {
        if (cancelled)
            return {};
        const QStringList rest = paths.mid(verdicts.size(), alone ? 1 : -1);
        bool started = false;
        const QString output = runEncoder(encoder, rest, cancelled, &started);
        if (!started) {
            verdicts.resize(paths.size(), Verdict::NotRun);
            break;
        }
        if (cancelled)
            return {};
        const QVector<Verdict> settled = rest.size() == 1
                                             ? QVector<Verdict>{judge(output, rest.first())}
                                             : readVerdicts(output, rest);
        verdicts += settled;
        alone = settled.isEmpty();
    }
    return verdicts;
}

QVector<FileProbe::Result> FileProbe::run(const QString &encoder, const QStringList &paths,
                                          const std::atomic_bool &cancelled, bool askEncoder)
{
    const QVector<Verdict> verdicts = askEncoder
                                          ? FileProbe::askEncoder(encoder, paths, cancelled)
                                          : QVector<Verdict>(paths.size(), Verdict::NotAsked);
    if (verdicts.size() != paths.size())
        return {};
    QVector<Result> results(paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        if (cancelled)
            return {};
        Result &result = results[i];
        const QString &path = paths.at(i);
        result.verdict = verdicts.at(i);
        MediaProbe::Facts facts = MediaProbe::inspect(path);
        result.duration = facts.duration;
        result.durationMs = facts.durationMs;
        result.streams = std::move(facts.streams);
        if (AddingRules::isCdTrack(path)) {
            result.fileSize = QStringLiteral("CD Track");
            continue;
        }
        struct stat info;
        if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
            const int number = errno;
            result.failed = true;
            result.error = {number, qt_error_string(number), QString()};
            continue;
        }
        result.fileSize = MediaProbe::FormatFileSize(qint64(info.st_size));
    }
    return results;
}
