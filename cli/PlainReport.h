#pragma once

#include "CliReport.h"

class QIODevice;

// One line per file started and ended and per file refused, for logs and pipes.
class PlainReport : public CliReport
{
public:
    explicit PlainReport(QIODevice &out) : m_out(out) {}

    void notAdded(const QString &file, const QString &reason) override;
    void started(const QString &file) override;
    void progress(const QVector<RunningFile> &, const BatchProgress &) override {}
    void finished(const RowEnding &ending) override;
    void outputUnusable(const QString &reason) override;
    void summary(const CliSummary &summary) override;

    static QString notAddedLine(const QString &file, const QString &reason);
    static QString outputUnusableLine(const QString &reason);
    static QString endingLine(const RowEnding &ending);
    static QString summaryLine(const CliSummary &summary);

private:
    void write(const QString &line);

    QIODevice &m_out;
};
