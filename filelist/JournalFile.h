#pragma once

#include "filelist/FileListRecord.h"

#include <QByteArray>
#include <QVector>

// The bytes of a list journal: a header, then per row its state, tick and playing time and four
// length-prefixed texts (path, duration, size, output), then an MD5 of all before it. Texts are
// length-prefixed, so any byte a file name holds survives. Rows that were converting are kept
// as waiting: what a restore brings back, and why progress alone changes no byte.
class JournalFile
{
public:
    // One row's part, kept per row so that a change of one row encodes that row alone.
    static QByteArray encodeRow(const FileListRecord &row);
    // The whole journal from its rows' parts, in list order.
    static QByteArray assemble(const QVector<QByteArray> &rows);
    // False, with rows untouched, for bytes that are damaged, cut short or no journal at all.
    static bool decode(const QByteArray &bytes, QVector<FileListRecord> *rows);
};
