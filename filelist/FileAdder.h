#pragma once

#include "DialogService.h"
#include "FileListError.h"
#include "FileListRecord.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class CVideoConv;
class FileListModel;

// Brings files into the list: from the open-file dialog, from a chosen folder, or dropped.
// Each file passes the adding rules, is probed by the encoder and the media library, and
// gets its row. Probes wait in local event loops, so only one add runs at a time; a
// request that arrives meanwhile is refused.
class FileAdder : public QObject
{
    Q_OBJECT
public:
    static const QString CancelAnswer; // what ShowOpenFileDialog returns on cancel
    static const QColor UnknownFormatColor;

    FileAdder(FileListModel &model, DialogService &dialogs, QObject *parent = nullptr);
    ~FileAdder() override;

    // The open-file dialog's filters, the first one selected when it opens.
    static QVector<FileFilter> openFileFilters();

    // 1 when a row was appended, 0 when the path was refused or adding failed.
    qint16 AddFile2Grid(const QString &path);
    // Adds every file of a selection list; an empty one asks the open-file dialog first.
    // Warns once when any file was refused.
    void AddFileList(const QString &selection = QString());
    QString ShowOpenFileDialog(const QVector<FileFilter> &filters, const QString &title,
                               bool multiSelect);
    void AddFolder();
    // Adds a folder's files as Add Folder does, without asking for the folder.
    void addFolderAt(const QString &folder);
    QString BrowseForFolder(const QString &title, bool newStyle);
    // Files dropped on the grid, in drop order, refused silently.
    void addDroppedFiles(const QStringList &paths);

    bool isAdding() const { return m_adding; }
    // Ends a running add after the file being probed, which is not added.
    void stopAdding();

signals:
    void selectAllCleared();
    void addingChanged(bool adding);

private:
    class Busy;
    enum class ProbeOutcome { Probed, Refused, Failed };

    qint16 addOne(const QString &rawPath);
    void addPaths(const QStringList &paths, bool warnOnRefusal);
    void addFolderFiles(const QString &folder);
    bool checkReadableRegularFile(const QString &path, bool *isRegular, FileListError *error);
    // The slow part of adding one file: encoder and media-library probes and the size. The
    // cheap checks before it and the append after it stay on the window's thread.
    ProbeOutcome probe(FileListRecord *record, FileListError *error);
    bool appendRow(const FileListRecord &record, FileListError *error);
    qint16 fail(const FileListError &error);
    CVideoConv &encoder();

    FileListModel &m_model;
    DialogService &m_dialogs;
    std::unique_ptr<CVideoConv> m_encoder;
    bool m_adding = false;
    bool m_stopRequested = false;
};
