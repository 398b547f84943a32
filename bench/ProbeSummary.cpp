#include "bench/ProbeSummary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>

ProbeSummary ProbeSummary::of(const QString &path)
{
    QProcess probe;
    probe.start(QStandardPaths::findExecutable(QStringLiteral("ffprobe")),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                 QStringLiteral("format=duration:stream=codec_type,codec_name"),
                 QStringLiteral("-of"), QStringLiteral("json"), path});
    ProbeSummary summary;
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0)
        return summary;
    const QJsonObject root = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
    summary.opened = root.contains(QLatin1String("format"));
    bool known = false;
    const double seconds = root.value(QLatin1String("format"))
                               .toObject()
                               .value(QLatin1String("duration"))
                               .toString()
                               .toDouble(&known);
    if (known)
        summary.seconds = seconds;
    for (const QJsonValue &stream : root.value(QLatin1String("streams")).toArray()) {
        const QJsonObject fields = stream.toObject();
        summary.streams << fields.value(QLatin1String("codec_type")).toString() + QLatin1Char(' ') +
                               fields.value(QLatin1String("codec_name")).toString();
    }
    return summary;
}

bool ProbeSummary::matches(double expectedSeconds, const QStringList &expectedStreams) const
{
    return opened && seconds >= 0 && std::abs(seconds - expectedSeconds) <= 1.0 &&
           streams == expectedStreams;
}
