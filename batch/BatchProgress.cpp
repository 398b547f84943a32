#include "batch/BatchProgress.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace {
qint64 monotonicMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

// About 31 years: an encoder that slow gives no estimate, and the count stays in range.
constexpr double kLongestEstimateMs = 1e12;

// "40 s", "6 min", "1 h 5 min".
QString remainingText(qint64 milliseconds)
{
    const qint64 seconds = (milliseconds + 999) / 1000;
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    const qint64 minutes = (seconds + 30) / 60;
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}
} // namespace

BatchProgress::BatchProgress(Clock clock) : m_clock(clock ? std::move(clock) : monotonicMs) {}

void BatchProgress::begin()
{
    m_startMs = m_clock();
    m_rows.clear();
    m_totalSeconds = 0;
    m_convertedSeconds = 0;
    m_filesDone = 0;
    m_filesConverted = 0;
    m_filesFailed = 0;
}

void BatchProgress::addRow(quint64 key, double lengthSeconds)
{
    if (m_rows.contains(key))
        return;
    Row row;
    row.length = std::max(0.0, lengthSeconds);
    m_rows.insert(key, row);
    m_totalSeconds += row.length;
}

void BatchProgress::mediaTime(quint64 key, double seconds)
{
    auto row = m_rows.find(key);
    if (row == m_rows.end() || row->ended)
        return;
    // Rows of unknown length still show how fast the encoders go.
    const double capped = row->length > 0 ? std::min(seconds, row->length) : seconds;
    const double converted = std::max(row->converted, capped);
    m_convertedSeconds += converted - row->converted;
    row->converted = converted;
}

void BatchProgress::rowEnded(quint64 key, Ending ending)
{
    auto row = m_rows.find(key);
    if (row == m_rows.end() || row->ended)
        return;
    row->ended = true;
    ++m_filesDone;
    m_filesConverted += ending == Ending::Succeeded;
    m_filesFailed += ending == Ending::Failed;
}

double BatchProgress::settledSeconds() const
{
    double settled = 0;
    for (const Row &row : m_rows) {
        if (row.length > 0)
            settled += row.ended ? row.length : std::min(row.converted, row.length);
    }
    return settled;
}

int BatchProgress::percent() const
{
    if (m_totalSeconds <= 0)
        return m_rows.isEmpty() ? 0 : int(std::lround(100.0 * m_filesDone / m_rows.size()));
    return int(std::lround(100.0 * settledSeconds() / m_totalSeconds));
}

double BatchProgress::speed() const
{
    const qint64 elapsed = m_clock() - m_startMs;
    if (elapsed <= 0 || m_convertedSeconds <= 0)
        return 0;
    return m_convertedSeconds / (double(elapsed) / 1000.0);
}

qint64 BatchProgress::remainingMs() const
{
    const double rate = speed();
    if (rate <= 0)
        return -1;
    const double left = std::max(0.0, m_totalSeconds - settledSeconds());
    const double milliseconds = left / rate * 1000.0;
    return milliseconds <= kLongestEstimateMs ? qint64(std::llround(milliseconds)) : -1;
}

QString BatchProgress::summary() const
{
    const QString separator = QStringLiteral(" · ");
    QString text = QStringLiteral("%1 of %2 files").arg(m_filesDone).arg(m_rows.size()) +
                   separator + QStringLiteral("%1 %").arg(percent());
    const qint64 left = remainingMs();
    if (left >= 0 && m_filesDone < m_rows.size())
        text += separator + QStringLiteral("about %1 left").arg(remainingText(left));
    const double rate = speed();
    if (rate > 0)
        text += separator + QString::number(rate, 'f', 1) + QStringLiteral("× real time");
    return text;
}
