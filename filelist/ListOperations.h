#pragma once

#include <QList>
#include <QObject>
#include <QString>

class FileListModel;
class ShellOpener;

// What the user does to rows already in the list: remove the ticked ones, tick or untick
// all, and open a file with the program the desktop associates with it.
class ListOperations : public QObject
{
    Q_OBJECT
public:
    ListOperations(FileListModel &model, ShellOpener &shell, QObject *parent = nullptr);

    // Rebuilds the list without its ticked rows, keeping the others in order.
    void Remove();
    void SelectAll(bool checked);
    // Opens the topmost highlighted row: the view's selected rows and its current row.
    void Play(const QList<int> &selectedRows, int currentRow);
    void PlayFile(const QString &path);

signals:
    void selectAllCleared();

private:
    FileListModel &m_model;
    ShellOpener &m_shell;
};
