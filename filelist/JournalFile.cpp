#include "filelist/JournalFile.h"

#include "filelist/FileListModel.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace {
const QByteArray kMagic = QByteArrayLiteral("RFLJ\x01");
constexpr auto kDigest = QCryptographicHash::Md5;
constexpr int kDigestSize = 16;

template <typename T> void putNumber(QByteArray &out, T value)
{
    value = qToBigEndian(value);
    out.append(reinterpret_cast<const char *>(&value), sizeof value);
}

void putText(QByteArray &out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    putNumber(out, quint32(bytes.size()));
    out += bytes;
}

bool restorable(quint8 state)
{
    using State = RowStatus::State;
    switch (State(state)) {
    case State::WaitingConversion:
    case State::UnknownWhenAdded:
    case State::Cancelled:
    case State::Error:
    case State::Complete:
        return true;
    default:
        return false;
    }
}

// Reads the journal's fields in order; every read checks what is left.
struct Reader
{
    const char *at;
    const char *end;

    template <typename T> bool number(T *value)
    {
        if (end - at < qsizetype(sizeof(T)))
            return false;
        *value = qFromBigEndian<T>(at);
        at += sizeof(T);
        return true;
    }

    bool text(QString *value, int width)
    {
        quint32 size = 0;
        if (!number(&size) || size > quint32(end - at))
            return false;
        *value = QString::fromUtf8(at, size);
        at += size;
        return value->size() <= width;
    }
};
} // namespace

QByteArray JournalFile::encodeRow(const FileListRecord &row)
{
    QByteArray out;
    const RowStatus::State state =
        row.status.isRunning() ? RowStatus::State::WaitingConversion : row.status.state();
    putNumber(out, quint8(state));
    putNumber(out, quint8(row.isTicked()));
    putNumber(out, qint64(row.durationMs));
    putText(out, row.FilePath);
    putText(out, row.Duration);
    putText(out, row.FileSize);
    putText(out, row.output);
    return out;
}

QByteArray JournalFile::assemble(const QVector<QByteArray> &rows)
{
    qsizetype size = kMagic.size() + 4 + kDigestSize;
    for (const QByteArray &row : rows)
        size += row.size();
    QByteArray out;
    out.reserve(size);
    out += kMagic;
    putNumber(out, quint32(rows.size()));
    for (const QByteArray &row : rows)
        out += row;
    out += QCryptographicHash::hash(out, kDigest);
    return out;
}

bool JournalFile::decode(const QByteArray &bytes, QVector<FileListRecord> *rows)
{
    if (bytes.size() < kMagic.size() + kDigestSize || !bytes.startsWith(kMagic))
        return false;
    const QByteArrayView body = QByteArrayView(bytes).chopped(kDigestSize);
    if (QCryptographicHash::hash(body, kDigest) != QByteArrayView(bytes).last(kDigestSize))
        return false;
    Reader read{body.data() + kMagic.size(), body.data() + body.size()};
    quint32 count = 0;
    if (!read.number(&count) || count > quint32(FileListModel::MaxRows))
        return false;
    QVector<FileListRecord> found(count);
    for (FileListRecord &row : found) {
        quint8 state = 0, ticked = 0;
        qint64 durationMs = 0;
        if (!read.number(&state) || !restorable(state) || !read.number(&ticked) ||
            !read.number(&durationMs) || !read.text(&row.FilePath, FileListRecord::FilePathWidth) ||
            !read.text(&row.Duration, FileListRecord::DurationWidth) ||
            !read.text(&row.FileSize, FileListRecord::FileSizeWidth) ||
            !read.text(&row.output, FileListRecord::FilePathWidth))
            return false;
        row.status = RowStatus::State(state);
        row.CheckBox = ticked;
        row.durationMs = durationMs;
    }
    if (read.at != read.end)
        return false;
    *rows = std::move(found);
    return true;
}
