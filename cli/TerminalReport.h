#pragma once

#include "cli/CliReport.h"

#include <QStringList>

class QIODevice;

// On a terminal: a bar per running file and an overall line with the time left, redrawn in
// place; the lines about ended and refused files scroll above them, failures on the error
// channel.
class TerminalReport : public CliReport
{
public:
    TerminalReport(QIODevice &out, QIODevice &err, int columns)
        : m_out(out), m_err(err), m_columns(columns)
    {
    }

    void notAdded(const QString &file, const QString &reason) override;
    void started(const QString &, const QStringList &) override {}
    void progress(const QVector<RunningFile> &running, const BatchProgress &overall) override;
    void finished(const RowEnding &ending) override;
    void outputUnusable(const QString &reason) override;
    void summary(const CliSummary &summary) override;

    // "[#########-----------]  45 %  name", at most columns wide.
    static QString barLine(const RunningFile &file, int columns);

private:
    void erase();
    void draw(const QStringList &lines);
    void message(QIODevice &channel, const QString &line);

    QIODevice &m_out;
    QIODevice &m_err;
    int m_columns;
    QStringList m_drawn; // the block at the bottom of the terminal
};
