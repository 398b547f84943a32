#include "filelist/RowStatus.h"

#include "filelist/FileListStatus.h"

RowStatus RowStatus::percent(qint16 value)
{
    RowStatus status(State::Percent);
    status.m_percent = value;
    return status;
}

RowStatus RowStatus::secondsConverted(const QString &seconds)
{
    RowStatus status(State::SecondsConverted);
    status.m_seconds = seconds;
    return status;
}

bool RowStatus::isConvertible() const
{
    return m_state == State::WaitingConversion || m_state == State::Cancelled;
}

bool RowStatus::isRunning() const
{
    return m_state == State::Starting || m_state == State::Percent ||
           m_state == State::SecondsConverted || m_state == State::UnknownFormat;
}

QString RowStatus::text() const
{
    namespace S = FileListStatus;
    switch (m_state) {
    case State::WaitingConversion:
        return S::WaitingConversion;
    case State::UnknownWhenAdded:
        return S::UnknownWhenAdded;
    case State::Starting:
        return S::Starting;
    case State::Percent:
        return QString::number(m_percent);
    case State::SecondsConverted:
        return m_seconds + S::SecondsConverted;
    case State::UnknownFormat:
        return S::UnknownFormat;
    case State::Cancelled:
        return S::Cancelled;
    case State::Error:
        return S::Error;
    case State::Complete:
        return S::Complete;
    }
    return QString();
}

bool RowStatus::operator==(const RowStatus &other) const
{
    return m_state == other.m_state && m_percent == other.m_percent && m_seconds == other.m_seconds;
}
