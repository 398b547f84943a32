#include "PlainReport.h"

#include <QIODevice>

namespace {
// Reasons may span lines ("\r\n" from the queue); a log line holds one.
QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" - "));
    line.replace(QLatin1Char('\n'), QStringLiteral(" - "));
    line.replace(QLatin1Char('\r'), QStringLiteral(" - "));
    return line;
}
} // namespace

void PlainReport::write(const QString &line)
{
    m_out.write((line + QLatin1Char('\n')).toUtf8());
}

void PlainReport::notAdded(const QString &file, const QString &reason)
{
    write(notAddedLine(file, reason));
}

QString PlainReport::notAddedLine(const QString &file, const QString &reason)
{
    return QStringLiteral("not added: %1: %2").arg(file, oneLine(reason));
}

void PlainReport::started(const QString &file)
{
    write(QStringLiteral("started: %1").arg(file));
}

void PlainReport::finished(const RowEnding &ending)
{
    write(endingLine(ending));
}

void PlainReport::outputUnusable(const QString &reason)
{
    write(outputUnusableLine(reason));
}

QString PlainReport::outputUnusableLine(const QString &reason)
{
    return QStringLiteral("stopped: %1").arg(oneLine(reason));
}

void PlainReport::summary(const CliSummary &summary)
{
    write(summaryLine(summary));
}

QString PlainReport::endingLine(const RowEnding &ending)
{
    switch (ending.state) {
    case RowStatus::State::Complete:
        return QStringLiteral("converted: %1 -> %2").arg(ending.input, ending.output);
    case RowStatus::State::Cancelled:
        return QStringLiteral("cancelled: %1").arg(ending.input);
    default:
        return QStringLiteral("failed: %1: %2")
            .arg(ending.input,
                 oneLine(ending.reason.isEmpty() ? QStringLiteral("error") : ending.reason));
    }
}

QString PlainReport::summaryLine(const CliSummary &summary)
{
    const QString cancelled =
        summary.cancelled > 0 ? QStringLiteral(", %1 cancelled").arg(summary.cancelled) : QString();
    return QStringLiteral("%1 converted, %2 failed%3, %4 not added%5 in %6 s")
        .arg(summary.converted)
        .arg(summary.failed)
        .arg(cancelled)
        .arg(summary.notAdded)
        .arg(summary.stopped || summary.outputUnusable ? QStringLiteral(", stopped") : QString())
        .arg(summary.elapsedMs / 1000.0, 0, 'f', 1);
}
