#pragma once

#include <QTableView>

class FileListModel;

// The grid that shows the file list: a tick column, read-only text columns, the Status
// column drawn as a bar, and local files dropped onto it.
class FileGrid : public QTableView
{
    Q_OBJECT
public:
    explicit FileGrid(FileListModel *model, QWidget *parent = nullptr);

    // Rows the user highlighted, in no particular order, and the active row (-1 when none).
    QList<int> selectedRowNumbers() const;
    int activeRow() const;

signals:
    void filesDropped(const QStringList &paths);
    // The context menu's Show Log, or Ctrl+L, on the active row.
    void logRequested(int row);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
