#pragma once

#include "format/PresetChoice.h"
#include "format/PresetRecord.h"

#include <QList>
#include <QStringList>

// The presets read from presets.xml and the lists the presets panel offers from them.
// Only the first count records take part; after a failed load the array may hold one more.
class PresetTable
{
public:
    PresetTable() = default;
    PresetTable(QList<PresetRecord> records, int count);

    const QList<PresetRecord> &records() const { return m_records; }
    int count() const { return m_count; }

    // Distinct values in file order, compared case-sensitively.
    QStringList categories() const;
    QStringList labels(const QString &category) const;
    QStringList extensions(const QString &category, const QString &label) const;
    // The options of the first preset that matches all three exactly; empty when none does.
    QString params(const QString &category, const QString &label, const QString &extension) const;
    // What the presets panel shows on the first start: the second entry of each list, or the
    // first where a list has only one. Empty fields when the table is empty.
    PresetChoice firstStartChoice() const;
    // This table's records with those of more: more's categories follow this table's, and in a
    // category both hold, more's records follow this table's last one of it. More's free records
    // (no category) are left out.
    PresetTable followedBy(const PresetTable &more) const;

private:
    QList<PresetRecord> m_records;
    int m_count = 0;
};
