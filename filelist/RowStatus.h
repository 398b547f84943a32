#pragma once

#include <QString>
#include <QtGlobal>

// A row's state in the file list, and the Status text the grid shows for it.
class RowStatus
{
public:
    enum class State {
        WaitingConversion,
        UnknownWhenAdded, // refused by the probe when added ("Unkown Format")
        Starting,
        Percent,          // converting, with a known length
        SecondsConverted, // converting, length unknown: the media time so far
        UnknownFormat,    // the encoder said it cannot read the input
        Cancelled,
        Error,
        Complete,
    };

    RowStatus() = default;
    RowStatus(State state) : m_state(state) {} // NOLINT: a state alone is a status
    static RowStatus percent(qint16 value);
    static RowStatus secondsConverted(const QString &seconds);

    State state() const { return m_state; }
    qint16 percentValue() const { return m_percent; }
    // Rows a batch converts: waiting, or stopped before.
    bool isConvertible() const;
    bool isRunning() const;
    QString text() const;

    bool operator==(const RowStatus &other) const;
    bool operator!=(const RowStatus &other) const { return !(*this == other); }

private:
    State m_state = State::WaitingConversion;
    qint16 m_percent = 0;
    QString m_seconds;
};
