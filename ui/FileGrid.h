#pragma once

#include <QTableView>

#include <functional>

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
    // The tip shown over a row, made when it is asked for; no tip where it gives none.
    void setRowTips(std::function<QString(int row)> tips) { m_rowTips = std::move(tips); }

signals:
    void filesDropped(const QStringList &paths);
    // The context menu's Show Log, or Ctrl+L, on the active row.
    void logRequested(int row);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    std::function<QString(int row)> m_rowTips;
};
