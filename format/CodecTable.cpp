#include "format/CodecTable.h"

CodecTable::CodecTable(QList<CodecRecord> records, int count)
    : m_records(std::move(records)), m_count(qBound(0, count, int(m_records.size())))
{
}

QStringList CodecTable::descriptions(const QString &type) const
{
    QStringList items;
    for (int i = 0; i < m_count; ++i) {
        const CodecRecord &codec = m_records.at(i);
        if (codec.type == type || codec.type == QLatin1String("general"))
            items.append(codec.description);
    }
    return items;
}

QStringList CodecTable::videoDescriptions() const
{
    return descriptions(QStringLiteral("video codec"));
}

QStringList CodecTable::audioDescriptions() const
{
    return descriptions(QStringLiteral("audio codec"));
}

QString CodecTable::name(const QString &description) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_records.at(i).description == description) {
            // Only blanks are trimmed, as the lookup has always done.
            QString name = m_records.at(i).name;
            while (name.startsWith(QLatin1Char(' ')))
                name.remove(0, 1);
            while (name.endsWith(QLatin1Char(' ')))
                name.chop(1);
            return name;
        }
    }
    return QString();
}
