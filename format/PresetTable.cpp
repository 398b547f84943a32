#include "format/PresetTable.h"

PresetTable::PresetTable(QList<PresetRecord> records, int count)
    : m_records(std::move(records)), m_count(qBound(0, count, int(m_records.size())))
{
}

QStringList PresetTable::categories() const
{
    QStringList items;
    for (int i = 0; i < m_count; ++i) {
        if (!items.contains(m_records.at(i).category))
            items.append(m_records.at(i).category);
    }
    return items;
}

QStringList PresetTable::labels(const QString &category) const
{
    QStringList items;
    for (int i = 0; i < m_count; ++i) {
        const PresetRecord &preset = m_records.at(i);
        if (preset.category == category && !items.contains(preset.label))
            items.append(preset.label);
    }
    return items;
}

QStringList PresetTable::extensions(const QString &category, const QString &label) const
{
    QStringList items;
    for (int i = 0; i < m_count; ++i) {
        const PresetRecord &preset = m_records.at(i);
        if (preset.category == category && preset.label == label &&
            !items.contains(preset.extension))
            items.append(preset.extension);
    }
    return items;
}

QString PresetTable::params(const QString &category, const QString &label,
                            const QString &extension) const
{
    for (int i = 0; i < m_count; ++i) {
        const PresetRecord &preset = m_records.at(i);
        if (preset.extension == extension && preset.label == label && preset.category == category)
            return preset.params;
    }
    return QString();
}

PresetChoice PresetTable::firstStartChoice() const
{
    const auto second = [](const QStringList &items) {
        return items.value(items.size() > 1 ? 1 : 0);
    };
    PresetChoice choice;
    choice.category = second(categories());
    choice.label = second(labels(choice.category));
    choice.extension = second(extensions(choice.category, choice.label));
    return choice;
}

PresetTable PresetTable::followedBy(const PresetTable &more) const
{
    QList<PresetRecord> records = m_records.mid(0, m_count);
    for (int i = 0; i < more.m_count; ++i) {
        const PresetRecord &added = more.m_records.at(i);
        if (added.category.isEmpty())
            continue;
        // Right after the last record of its category, so a listing keeps categories together.
        qsizetype at = records.size();
        while (at > 0 && records.at(at - 1).category != added.category)
            --at;
        records.insert(at > 0 ? at : records.size(), added);
    }
    const int count = int(records.size());
    return PresetTable(std::move(records), count);
}
