#pragma once

#include "filelist/AddRun.h"
#include "filelist/FileListError.h"
#include "filelist/FileListRecord.h"
#include "services/DialogService.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QVector>

#include <functional>
#include <memory>

class FileListModel;

// Brings files into the list: from the open-file dialog, from a chosen folder, or dropped.
// Each file passes the adding rules, is probed by the encoder and the media library, and
// gets its row. Adds run in the background, one at a time: a request that arrives while one
// runs waits behind it, in order; its dialog still opens at once.
class FileAdder : public QObject
{
    Q_OBJECT
public:
    static const QString CancelAnswer; // what ShowOpenFileDialog returns on cancel

    FileAdder(FileListModel &model, DialogService &dialogs, QObject *parent = nullptr);
    ~FileAdder() override;

    // The open-file dialog's filters, the first one selected when it opens.
    static QVector<FileFilter> openFileFilters();

    // 1 when a row was appended, 0 when the path was refused, adding failed or another add
    // runs. Probes on the calling thread and returns when done.
    qint16 AddFile2Grid(const QString &path);
    // Adds every file of a selection list; an empty one asks the open-file dialog first.
    // Warns once when any file was refused.
    void AddFileList(const QString &selection = QString());
    QString ShowOpenFileDialog(const QVector<FileFilter> &filters, const QString &title,
                               bool multiSelect);
    void AddFolder();
    // Adds the files of folder as Add Folder does, without asking for it.
    void addFolderAt(const QString &folder);
    QString BrowseForFolder(const QString &title, bool newStyle);
    // Files dropped on the grid, in drop order, refused silently.
    void addDroppedFiles(const QStringList &paths);

    // Whether an add runs, waits, or waits for its dialog.
    bool isAdding() const { return m_adding; }
    // Ends a running add at once and drops those waiting, an open dialog's answer too; the
    // rows appended so far stay, nothing more is said.
    void stopAdding();

signals:
    void selectAllCleared();
    void addingChanged(bool adding);
    // How many files of the running add are settled, of how many.
    void addingProgress(int done, int total);

private:
    // What one add brings: the files of a selection or a drop, or a folder's files.
    struct Request
    {
        QStringList paths;
        QString folder;
        bool warnOnRefusal = true;
    };

    QString ask(const std::function<QString()> &dialog);
    void enqueue(const Request &request);
    void startNext();
    void updateAdding();
    bool addFolderFiles(const QString &folder);
    void startRun(const QStringList &paths, bool warnOnRefusal, const QStringList &unreadable);
    void runFinished();
    void report(const AddRun &run, bool warnOnRefusal, QStringList unreadable);
    AddRun::Append appender();
    bool appendRow(const QString &path, const FileProbe::Result &probe, FileListError *error);
    void fail(const FileListError &error);

    FileListModel &m_model;
    DialogService &m_dialogs;
    QThreadPool m_pool; // the probes of an add; one worker per core
    std::unique_ptr<AddRun> m_run;
    QStringList m_unreadableListed; // names in a chosen folder that are not valid UTF-8
    QList<Request> m_waiting;
    int m_dialogsOpen = 0;
    int m_stops = 0; // how many stops so far; a dialog answered after one is dropped
    bool m_warnOnRefusal = false;
    bool m_adding = false;
    bool m_busy = false; // an add runs or shows its closing messages
    bool m_inRun = false;
};
