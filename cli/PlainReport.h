#pragma once

#include "cli/CliReport.h"

class QIODevice;

// One line per file started and ended and per file refused, for logs and pipes. Failures go
// to the error channel, the rest to the output channel.
class PlainReport : public CliReport
{
public:
    PlainReport(QIODevice &out, QIODevice &err) : m_out(out), m_err(err) {}

    void notAdded(const QString &file, const QString &reason) override;
    void started(const QString &file, const QStringList &streams) override;
    void progress(const QVector<RunningFile> &, const BatchProgress &) override {}
    void finished(const RowEnding &ending) override;
    void outputUnusable(const QString &reason) override;
    void summary(const CliSummary &summary) override;

    static QString notAddedLine(const QString &file, const QString &reason);
    static QString outputUnusableLine(const QString &reason);
    static QString endingLine(const RowEnding &ending);
    static QString summaryLine(const CliSummary &summary);
    // Text from outside with its control characters escaped as `ls --quoting-style=escape`
    // shows them ("\n", "\t", "\r", "\033"), so that it can neither drive the terminal nor
    // break a line.
    static QString shown(const QString &text);

private:
    static void write(QIODevice &channel, const QString &line);

    QIODevice &m_out;
    QIODevice &m_err;
};
