#include "ui/FileGrid.h"

#include "filelist/FileListModel.h"
#include "ui/FileGridModel.h"
#include "ui/StatusDelegate.h"
#include "ui/Twips.h"

#include <QAbstractButton>
#include <QAction>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QToolTip>
#include <QUrl>

namespace {
QStringList localFiles(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}
} // namespace

FileGrid::FileGrid(FileListModel *model, QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("Grid"));
    setAccessibleName(QStringLiteral("File list"));
    horizontalHeader()->setAccessibleName(QStringLiteral("File list columns"));
    auto *shown = new FileGridModel(this);
    shown->setSourceModel(model);
    setModel(shown);
    setItemDelegate(new StatusDelegate(FileListModel::Status, FileListModel::PercentRole, this));
    setColumnHidden(FileListModel::ID, true);
    const double widths[] = {0, 500, 5200, 2000, 1200, 1200};
    for (int column = FileListModel::CheckBox; column < FileListModel::ColumnCount; ++column)
        setColumnWidth(column, Twips::toPixels(widths[column]));
    // The path takes what the other columns leave, and gives way to the vertical scroll bar.
    horizontalHeader()->setSectionResizeMode(FileListModel::FilePath, QHeaderView::Stretch);
    verticalHeader()->hide();
    verticalHeader()->setAccessibleName(QStringLiteral("File list rows"));
    if (auto *corner = findChild<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Select every row"));
    verticalHeader()->setDefaultSectionSize(22);
    horizontalHeader()->setHighlightSections(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DropOnly);

    auto *showLog = new QAction(QStringLiteral("Show Log"), this);
    showLog->setObjectName(QStringLiteral("actShowLog"));
    showLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    showLog->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(showLog);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(showLog, &QAction::triggered, this, [this] {
        if (activeRow() >= 0)
            emit logRequested(activeRow());
    });
}

QList<int> FileGrid::selectedRowNumbers() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes()) {
        if (!rows.contains(index.row()))
            rows << index.row();
    }
    return rows;
}

int FileGrid::activeRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void FileGrid::dragEnterEvent(QDragEnterEvent *event)
{
    if (localFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void FileGrid::dragMoveEvent(QDragMoveEvent *event)
{
    if (localFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void FileGrid::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

bool FileGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip || !m_rowTips)
        return QTableView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int row = rowAt(help->pos().y());
    const QString tip = row >= 0 ? m_rowTips(row) : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport());
    return true;
}
