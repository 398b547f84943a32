#pragma once

#include "filelist/FileListError.h"
#include "filelist/FileListRecord.h"
#include "filelist/KeptLogs.h"
#include "filelist/RowTone.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QVector>

// The in-memory list of input files, one record per row, in the column order of the grid.
// Each row's tone (how its cells are marked) is kept beside the records and vanishes when the
// rows are rebuilt; the rows' logs are kept beside them too, compressed, and follow their rows.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ID, CheckBox, FilePath, Status, Duration, FileSize, ColumnCount };
    // The Status cell's percentage as a number, for rows that are converting with a known length.
    static constexpr int PercentRole = Qt::UserRole + 1;
    // The FilePath cell's output: the file the row's last conversion wrote.
    static constexpr int OutputRole = Qt::UserRole + 2;
    // Every cell's RowTone, as an int.
    static constexpr int ToneRole = Qt::UserRole + 3;
    static constexpr int MaxRows = 32767;

    // logCap bounds the compressed logs of all rows together.
    explicit FileListModel(QObject *parent = nullptr, qint64 logCap = KeptLogs::DefaultCap);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    const FileListRecord &record(int row) const;
    const QVector<FileListRecord> &records() const { return m_records; }
    // Whether append would take the record; the reason when it would not.
    bool accepts(const FileListRecord &record, FileListError *error) const;
    // Appends one row and gives it its key; refuses it with a reason when a value is too wide
    // or the list is full.
    bool append(const FileListRecord &record, FileListError *error);
    // Replaces every row at once; rows that came from the list keep their keys, tones are
    // dropped.
    bool rebuild(const QVector<FileListRecord> &records, FileListError *error);

    bool setStatus(int row, const RowStatus &status);
    bool setCheckBox(int row, qint32 value);
    void setOutput(int row, const QString &output);
    // What the encoder said the last time the row was converted; past the cap, older logs keep
    // only their head and tail.
    void setLog(int row, const QString &log);
    QString log(int row) const;
    void setAllCheckBoxes(qint32 value);
    void setTone(int row, RowTone tone);
    RowTone tone(int row) const;
    int rowOfPath(const QString &path) const; // exact comparison; -1 when absent
    int rowOfKey(quint64 key) const;          // -1 when the row is gone

private:
    static bool fits(const FileListRecord &record, FileListError *error);
    static void overflow(FileListError *error);
    void giveKey(FileListRecord &record);

    QVector<FileListRecord> m_records;
    QHash<quint64, int> m_rowOfKey;
    quint64 m_lastKey = 0;
    QHash<quint64, RowTone> m_tones; // by key
    KeptLogs m_logs;
};
