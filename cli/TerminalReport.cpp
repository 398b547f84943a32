#include "cli/TerminalReport.h"

#include "batch/BatchProgress.h"
#include "cli/PlainReport.h"

#include <QFileInfo>
#include <QIODevice>

namespace {
constexpr int kBarWidth = 24;

QString fitted(const QString &text, int width)
{
    if (text.size() <= width)
        return text;
    return width > 1 ? QStringLiteral("…") + text.right(width - 1) : QString();
}
} // namespace

QString TerminalReport::barLine(const RunningFile &file, int columns)
{
    const int filled = file.percent < 0 ? 0 : file.percent * kBarWidth / 100;
    const QString bar = QLatin1Char('[') + QString(filled, QLatin1Char('#')) +
                        QString(kBarWidth - filled, QLatin1Char('-')) + QLatin1Char(']');
    const QString percent =
        file.percent < 0 ? QStringLiteral("   ?") : QStringLiteral("%1 %").arg(file.percent, 3);
    const QString head = bar + QLatin1Char(' ') + percent + QStringLiteral("  ");
    return head + fitted(PlainReport::shown(QFileInfo(file.file).fileName()),
                         columns - int(head.size()) - 1);
}

void TerminalReport::erase()
{
    // Up to the first line of the block, then clear to the end of the screen.
    if (!m_drawn.isEmpty())
        m_out.write(QStringLiteral("\x1b[%1A\r\x1b[J").arg(m_drawn.size()).toUtf8());
    m_drawn.clear();
}

void TerminalReport::draw(const QStringList &lines)
{
    erase();
    QByteArray block;
    for (const QString &line : lines)
        block += (fitted(line, m_columns - 1) + QLatin1Char('\n')).toUtf8();
    m_out.write(block);
    m_drawn = lines;
}

void TerminalReport::message(QIODevice &channel, const QString &line)
{
    const QStringList block = m_drawn;
    erase();
    channel.write((line + QLatin1Char('\n')).toUtf8());
    draw(block);
}

void TerminalReport::notAdded(const QString &file, const QString &reason)
{
    message(m_err, PlainReport::notAddedLine(file, reason));
}

void TerminalReport::progress(const QVector<RunningFile> &running, const BatchProgress &overall)
{
    QStringList lines;
    for (const RunningFile &file : running)
        lines << barLine(file, m_columns);
    lines << overall.summary();
    draw(lines);
}

void TerminalReport::finished(const RowEnding &ending)
{
    message(isFailure(ending.state()) ? m_err : m_out, PlainReport::endingLine(ending));
}

void TerminalReport::outputUnusable(const QString &reason)
{
    message(m_err, PlainReport::outputUnusableLine(reason));
}

void TerminalReport::summary(const CliSummary &summary)
{
    erase();
    m_out.write((PlainReport::summaryLine(summary) + QLatin1Char('\n')).toUtf8());
}
