#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// What the encoder said about each row, kept compressed under a cap on the total: past it, the
// logs kept longest are cut to their head and tail.
class KeptLogs
{
public:
    static constexpr qint64 DefaultCap = qint64(32) << 20;
    static constexpr int HeadChars = 1024;
    static constexpr int TailChars = 2048;

    explicit KeptLogs(qint64 cap = DefaultCap) : m_cap(cap) {}

    // Replaces the log of key; an empty text keeps none.
    void set(quint64 key, const QString &text);
    QString text(quint64 key) const;
    // Forgets the logs of every other key.
    void keepOnly(const QSet<quint64> &keys);

private:
    void remove(quint64 key);
    void cut(quint64 key);

    QHash<quint64, QByteArray> m_packed;
    QList<quint64> m_whole; // keys of the logs not yet cut, the oldest first
    qint64 m_cap;
    qint64 m_size = 0; // of every packed log
};
