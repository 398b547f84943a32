#pragma once

#include <QHash>
#include <QString>

#include <functional>

// Overall progress of a batch: files done, the share of the media converted, and the time
// left, weighted by the rows' playing times. The speed is measured as media seconds
// converted per wall second since the batch began, over all encoders at once. Rows whose
// length is unknown count as files but add no weight.
class BatchProgress
{
public:
    using Clock = std::function<qint64()>; // milliseconds, monotonic

    explicit BatchProgress(Clock clock = {});

    void begin();
    void addRow(quint64 key, double lengthSeconds);
    void mediaTime(quint64 key, double seconds);
    enum class Ending { Succeeded, Failed, Cancelled };
    void rowEnded(quint64 key, Ending ending);

    int filesDone() const { return m_filesDone; }
    int filesConverted() const { return m_filesConverted; }
    int filesFailed() const { return m_filesFailed; }
    int filesTotal() const { return int(m_rows.size()); }
    int percent() const;
    // Media seconds per wall second; 0 until something was converted.
    double speed() const;
    // Milliseconds left; negative when there is no estimate (nothing converted yet, or a pace
    // that would take decades).
    qint64 remainingMs() const;
    // "3 of 12 files · 41 % · about 6 min left · 2.3× real time"
    QString summary() const;

private:
    struct Row
    {
        double length = 0;
        double converted = 0;
        bool ended = false;
    };
    double settledSeconds() const;

    Clock m_clock;
    qint64 m_startMs = 0;
    QHash<quint64, Row> m_rows;
    double m_totalSeconds = 0;
    double m_convertedSeconds = 0;
    int m_filesDone = 0;
    int m_filesConverted = 0;
    int m_filesFailed = 0;
};
