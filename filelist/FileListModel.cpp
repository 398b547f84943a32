#include "filelist/FileListModel.h"

#include <QSet>

#include <cerrno>

namespace {
bool fitsField(const QString &value, int width, const char *field, FileListError *error)
{
    if (value.size() <= width)
        return true;
    if (error) {
        error->number = EOVERFLOW;
        error->description = QStringLiteral("The value of %1 is longer than its %2 characters")
                                 .arg(QLatin1String(field))
                                 .arg(width);
    }
    return false;
}
} // namespace

FileListModel::FileListModel(QObject *parent, qint64 logCap)
    : QAbstractTableModel(parent), m_logs(logCap)
{
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int FileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const FileListRecord &row = m_records.at(index.row());
    if (role == PercentRole) {
        if (index.column() != Status || row.status.state() != RowStatus::State::Percent)
            return {};
        return double(row.status.percentValue());
    }
    if (role == OutputRole)
        return index.column() == FilePath ? QVariant(row.output) : QVariant();
    if (role == ToneRole)
        return int(m_tones.value(row.key, RowTone::None));
    if (index.column() == CheckBox) {
        if (role == Qt::CheckStateRole)
            return row.isTicked() ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case ID:
        return row.ID;
    case FilePath:
        return row.FilePath;
    case Status:
        return row.Status();
    case Duration:
        return row.Duration;
    case FileSize:
        return row.FileSize;
    }
    return {};
}

bool FileListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        index.column() != CheckBox || role != Qt::CheckStateRole)
        return false;
    const int state = value.toInt();
    if (state != Qt::Checked && state != Qt::Unchecked)
        return false;
    return setCheckBox(index.row(), state == Qt::Checked ? 1 : 0);
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == CheckBox)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

const FileListRecord &FileListModel::record(int row) const
{
    return m_records.at(row);
}

bool FileListModel::fits(const FileListRecord &record, FileListError *error)
{
    return fitsField(record.FilePath, FileListRecord::FilePathWidth, "FilePath", error) &&
           fitsField(record.Status(), FileListRecord::StatusWidth, "Status", error) &&
           fitsField(record.Duration, FileListRecord::DurationWidth, "Duration", error) &&
           fitsField(record.FileSize, FileListRecord::FileSizeWidth, "FileSize", error);
}

void FileListModel::overflow(FileListError *error)
{
    if (error) {
        error->number = EOVERFLOW;
        error->description =
            QStringLiteral("Overflow: the list holds at most %1 files").arg(MaxRows);
    }
}

bool FileListModel::accepts(const FileListRecord &record, FileListError *error) const
{
    if (m_records.size() >= MaxRows) {
        overflow(error);
        return false;
    }
    return fits(record, error);
}

bool FileListModel::append(const FileListRecord &record, FileListError *error)
{
    if (!accepts(record, error))
        return false;
    const int row = int(m_records.size());
    beginInsertRows(QModelIndex(), row, row);
    m_records.append(record);
    giveKey(m_records.last());
    m_rowOfKey.insert(m_records.last().key, row);
    endInsertRows();
    return true;
}

bool FileListModel::rebuild(const QVector<FileListRecord> &records, FileListError *error)
{
    if (records.size() > MaxRows) {
        overflow(error);
        return false;
    }
    for (const FileListRecord &record : records) {
        if (!fits(record, error))
            return false;
    }
    beginResetModel();
    m_records = records;
    m_rowOfKey.clear();
    QSet<quint64> keys;
    for (int row = 0; row < m_records.size(); ++row) {
        giveKey(m_records[row]);
        m_rowOfKey.insert(m_records.at(row).key, row);
        keys.insert(m_records.at(row).key);
    }
    m_logs.keepOnly(keys);
    m_tones.clear();
    endResetModel();
    return true;
}

void FileListModel::giveKey(FileListRecord &record)
{
    if (record.key == 0)
        record.key = ++m_lastKey;
}

bool FileListModel::setStatus(int row, const RowStatus &status)
{
    if (row < 0 || row >= m_records.size() || status.text().size() > FileListRecord::StatusWidth)
        return false;
    m_records[row].status = status;
    const QModelIndex cell = index(row, Status);
    emit dataChanged(cell, cell, {Qt::DisplayRole, PercentRole});
    return true;
}

bool FileListModel::setCheckBox(int row, qint32 value)
{
    if (row < 0 || row >= m_records.size())
        return false;
    m_records[row].CheckBox = value;
    const QModelIndex cell = index(row, CheckBox);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
    return true;
}

void FileListModel::setOutput(int row, const QString &output)
{
    if (row < 0 || row >= m_records.size())
        return;
    m_records[row].output = output;
    const QModelIndex cell = index(row, FilePath);
    emit dataChanged(cell, cell, {OutputRole});
}

void FileListModel::setLog(int row, const QString &log)
{
    if (row >= 0 && row < m_records.size())
        m_logs.set(m_records.at(row).key, log);
}

QString FileListModel::log(int row) const
{
    return row >= 0 && row < m_records.size() ? m_logs.text(m_records.at(row).key) : QString();
}

void FileListModel::setAllCheckBoxes(qint32 value)
{
    if (m_records.isEmpty())
        return;
    for (FileListRecord &record : m_records)
        record.CheckBox = value;
    emit dataChanged(index(0, CheckBox), index(int(m_records.size()) - 1, CheckBox),
                     {Qt::CheckStateRole});
}

void FileListModel::setTone(int row, RowTone tone)
{
    if (row < 0 || row >= m_records.size())
        return;
    m_tones.insert(m_records.at(row).key, tone);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {ToneRole});
}

RowTone FileListModel::tone(int row) const
{
    return row >= 0 && row < m_records.size() ? m_tones.value(m_records.at(row).key, RowTone::None)
                                              : RowTone::None;
}

int FileListModel::rowOfPath(const QString &path) const
{
    for (int row = 0; row < m_records.size(); ++row) {
        if (m_records.at(row).FilePath == path)
            return row;
    }
    return -1;
}

int FileListModel::rowOfKey(quint64 key) const
{
    return m_rowOfKey.value(key, -1);
}
