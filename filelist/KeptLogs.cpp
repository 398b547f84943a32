#include "filelist/KeptLogs.h"

namespace {
QString shortened(const QString &whole)
{
    if (whole.size() <= KeptLogs::HeadChars + KeptLogs::TailChars)
        return whole;
    // Cut at line ends where there are any.
    QString head = whole.left(KeptLogs::HeadChars);
    head.truncate(head.lastIndexOf(QLatin1Char('\n')) + 1);
    QString tail = whole.right(KeptLogs::TailChars);
    tail.remove(0, tail.indexOf(QLatin1Char('\n')) + 1);
    const qsizetype dropped = whole.size() - head.size() - tail.size();
    return head +
           QStringLiteral("[\u2026 %1 characters of this log were let go to save memory \u2026]\n")
               .arg(dropped) +
           tail;
}
} // namespace

void KeptLogs::set(quint64 key, const QString &text)
{
    remove(key);
    if (text.isEmpty())
        return;
    const QByteArray packed = qCompress(text.toUtf8());
    m_packed.insert(key, packed);
    m_size += packed.size();
    m_whole.append(key);
    while (m_size > m_cap && !m_whole.isEmpty())
        cut(m_whole.takeFirst());
}

QString KeptLogs::text(quint64 key) const
{
    const auto found = m_packed.constFind(key);
    return found == m_packed.cend() ? QString() : QString::fromUtf8(qUncompress(*found));
}

void KeptLogs::keepOnly(const QSet<quint64> &keys)
{
    for (auto it = m_packed.begin(); it != m_packed.end();) {
        if (keys.contains(it.key())) {
            ++it;
            continue;
        }
        m_size -= it->size();
        it = m_packed.erase(it);
    }
    m_whole.removeIf([&keys](quint64 key) { return !keys.contains(key); });
}

void KeptLogs::remove(quint64 key)
{
    const auto found = m_packed.find(key);
    if (found == m_packed.end())
        return;
    m_size -= found->size();
    m_packed.erase(found);
    m_whole.removeOne(key);
}

void KeptLogs::cut(quint64 key)
{
    QByteArray &packed = m_packed[key];
    m_size -= packed.size();
    packed = qCompress(shortened(QString::fromUtf8(qUncompress(packed))).toUtf8());
    m_size += packed.size();
}
