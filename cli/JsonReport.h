#pragma once

#include "cli/CliReport.h"

#include <QHash>

class QIODevice;
class QJsonObject;

// One compact JSON object per event and line, for programs that follow a batch.
class JsonReport : public CliReport
{
public:
    explicit JsonReport(QIODevice &out) : m_out(out) {}

    void notAdded(const QString &file, const QString &reason) override;
    void started(const QString &file, const QStringList &streams) override;
    void progress(const QVector<RunningFile> &running, const BatchProgress &overall) override;
    void finished(const RowEnding &ending) override;
    void outputUnusable(const QString &reason) override;
    void summary(const CliSummary &summary) override;

private:
    void write(const QJsonObject &object);

    QIODevice &m_out;
    QHash<QString, int> m_lastPercent; // a file's progress is told when it changes
    int m_lastOverall = -1;
};
