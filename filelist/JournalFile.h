#pragma once

#include "FileListRecord.h"

#include <QByteArray>
#include <QVector>

// The bytes of a list journal: a header, then per row its state, tick and playing time and four
// length-prefixed texts (path, duration, size, output), then an MD5 of all before it. Texts are
// length-prefixed, so any byte a file name holds survives. Rows that were converting are kept
// as waiting: what a restore brings back, and why progress alone changes no byte.
class JournalFile
{
public:
    static constexpr int DigestSize = 16; // the MD5 that ends the bytes
    static QByteArray encode(const QVector<FileListRecord> &rows);
    // False, with rows untouched, for bytes that are damaged, cut short or no journal at all.
    static bool decode(const QByteArray &bytes, QVector<FileListRecord> *rows);
};
