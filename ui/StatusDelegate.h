#pragma once

#include <QStyledItemDelegate>

// Paints a Status cell that carries a percentage (in percentRole) as a progress bar and
// leaves every other cell to the grid.
class StatusDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    StatusDelegate(int statusColumn, int percentRole, QObject *parent = nullptr);
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    int m_statusColumn;
    int m_percentRole;
};
