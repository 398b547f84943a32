#pragma once

#include <QStyledItemDelegate>

// Paints a numeric Status cell as a progress bar and leaves every other cell to the grid.
class StatusDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit StatusDelegate(int statusColumn, QObject *parent = nullptr);
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    int m_statusColumn;
};
