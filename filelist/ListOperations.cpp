#include "filelist/ListOperations.h"

#include "filelist/FileListModel.h"
#include "services/ShellOpener.h"

ListOperations::ListOperations(FileListModel &model, ShellOpener &shell, QObject *parent)
    : QObject(parent), m_model(model), m_shell(shell)
{
}

void ListOperations::Remove()
{
    if (m_model.rowCount() == 0)
        return;
    QVector<FileListRecord> kept;
    for (const FileListRecord &record : m_model.records()) {
        if (!record.isTicked())
            kept.append(record);
    }
    // The kept rows came from the list, so they fit it.
    m_model.rebuild(kept, nullptr);
    emit selectAllCleared();
}

void ListOperations::SelectAll(bool checked)
{
    m_model.setAllCheckBoxes(checked ? 1 : 0);
}

void ListOperations::Play(const QList<int> &selectedRows, int currentRow)
{
    int topmost = -1;
    for (int row : selectedRows + QList<int>{currentRow}) {
        if (row >= 0 && row < m_model.rowCount() && (topmost < 0 || row < topmost))
            topmost = row;
    }
    if (topmost >= 0)
        PlayFile(m_model.record(topmost).FilePath);
}

void ListOperations::PlayFile(const QString &path)
{
    m_shell.open(path);
}
