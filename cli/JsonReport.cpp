#include "cli/JsonReport.h"

#include "batch/BatchProgress.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

void JsonReport::write(const QJsonObject &object)
{
    // The serializer escapes C0 controls but leaves DEL and C1 raw; they only occur in strings.
    const QString text = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    QString line;
    for (const QChar c : text)
        line += c.unicode() >= 0x7f && c.unicode() <= 0x9f
                    ? QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'))
                    : QString(c);
    m_out.write((line + QLatin1Char('\n')).toUtf8());
}

void JsonReport::notAdded(const QString &file, const QString &reason)
{
    write({{"event", "notAdded"}, {"file", file}, {"reason", reason}});
}

void JsonReport::started(const QString &file, const QStringList &streams)
{
    write({{"event", "started"}, {"file", file}, {"streams", QJsonArray::fromStringList(streams)}});
}

void JsonReport::progress(const QVector<RunningFile> &running, const BatchProgress &overall)
{
    for (const RunningFile &each : running) {
        if (each.percent < 0 || m_lastPercent.value(each.file, -1) == each.percent)
            continue;
        m_lastPercent.insert(each.file, each.percent);
        write({{"event", "progress"}, {"file", each.file}, {"percent", each.percent}});
    }
    if (overall.percent() == m_lastOverall)
        return;
    m_lastOverall = overall.percent();
    write({{"event", "overall"},
           {"percent", overall.percent()},
           {"filesDone", overall.filesDone()},
           {"filesTotal", overall.filesTotal()},
           {"remainingMs", overall.remainingMs()}});
}

void JsonReport::finished(const RowEnding &ending)
{
    m_lastPercent.remove(ending.input);
    write({{"event", "finished"},
           {"file", ending.input},
           {"status", endingName(ending.state())},
           {"output", ending.output},
           {"skipped", ending.skipped},
           {"reason", ending.reason}});
}

void JsonReport::outputUnusable(const QString &reason)
{
    write({{"event", "outputUnusable"}, {"reason", reason}});
}

void JsonReport::summary(const CliSummary &summary)
{
    write({{"event", "summary"},
           {"converted", summary.converted},
           {"failed", summary.failed},
           {"cancelled", summary.cancelled},
           {"notAdded", summary.notAdded},
           {"stopped", summary.stopped},
           {"outputUnusable", summary.outputUnusable},
           {"elapsedMs", summary.elapsedMs}});
}
