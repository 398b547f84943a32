#pragma once

#include "format/CodecRecord.h"

#include <QList>
#include <QStringList>

// The codecs read from codecs.xml, the codec lists built from them, and the name lookup.
class CodecTable
{
public:
    CodecTable() = default;
    CodecTable(QList<CodecRecord> records, int count);

    const QList<CodecRecord> &records() const { return m_records; }
    int count() const { return m_count; }

    // Descriptions of the video (or audio) codecs and the general ones, in file order,
    // duplicates included. Types are compared exactly.
    QStringList videoDescriptions() const;
    QStringList audioDescriptions() const;
    // The trimmed name of the first codec with exactly this description; empty when none.
    QString name(const QString &description) const;

private:
    QStringList descriptions(const QString &type) const;

    QList<CodecRecord> m_records;
    int m_count = 0;
};
