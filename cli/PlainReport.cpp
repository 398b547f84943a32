#include "cli/PlainReport.h"

#include <QIODevice>

namespace {
// Reasons may span lines ("\r\n" from the queue); a log line holds one.
QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" - "));
    line.replace(QLatin1Char('\n'), QStringLiteral(" - "));
    line.replace(QLatin1Char('\r'), QStringLiteral(" - "));
    return PlainReport::shown(line);
}
} // namespace

QString PlainReport::shown(const QString &text)
{
    QString shown;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'\n')
            shown += QStringLiteral("\\n");
        else if (code == u'\t')
            shown += QStringLiteral("\\t");
        else if (code == u'\r')
            shown += QStringLiteral("\\r");
        else if (code < 0x20 || (code >= 0x7f && code <= 0x9f))
            for (const char byte : QString(c).toUtf8())
                shown += QStringLiteral("\\%1").arg(uchar(byte), 3, 8, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

void PlainReport::write(QIODevice &channel, const QString &line)
{
    channel.write((line + QLatin1Char('\n')).toUtf8());
}

void PlainReport::notAdded(const QString &file, const QString &reason)
{
    write(m_err, notAddedLine(file, reason));
}

QString PlainReport::notAddedLine(const QString &file, const QString &reason)
{
    return QStringLiteral("not added: %1: %2").arg(shown(file), oneLine(reason));
}

void PlainReport::started(const QString &file, const QStringList &streams)
{
    write(m_out, QStringLiteral("started: %1").arg(shown(file)));
    for (const QString &stream : streams)
        write(m_out, QStringLiteral("  %1").arg(shown(stream)));
}

void PlainReport::finished(const RowEnding &ending)
{
    write(isFailure(ending.state()) ? m_err : m_out, endingLine(ending));
}

void PlainReport::outputUnusable(const QString &reason)
{
    write(m_err, outputUnusableLine(reason));
}

QString PlainReport::outputUnusableLine(const QString &reason)
{
    return QStringLiteral("stopped: %1").arg(oneLine(reason));
}

void PlainReport::summary(const CliSummary &summary)
{
    write(m_out, summaryLine(summary));
}

QString PlainReport::endingLine(const RowEnding &ending)
{
    switch (ending.state()) {
    case RowStatus::State::Complete:
        return (ending.skipped ? QStringLiteral("skipped: %1 -> %2")
                               : QStringLiteral("converted: %1 -> %2"))
            .arg(shown(ending.input), shown(ending.output));
    case RowStatus::State::Cancelled:
        return QStringLiteral("cancelled: %1").arg(shown(ending.input));
    default:
        return QStringLiteral("failed: %1: %2")
            .arg(shown(ending.input),
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
