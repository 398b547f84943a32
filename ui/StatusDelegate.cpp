#include "StatusDelegate.h"

#include "ProgressBarPainter.h"

#include <QPainter>

StatusDelegate::StatusDelegate(int statusColumn, QObject *parent)
    : QStyledItemDelegate(parent), m_statusColumn(statusColumn)
{
}

void StatusDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    double value = 0;
    if (index.column() != m_statusColumn ||
        !ProgressBarPainter::numericValue(index.data(Qt::DisplayRole).toString(), &value)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &palette = option.palette;
    const QColor bar =
        selected ? palette.color(QPalette::Highlight) : ProgressBarPainter::barColor();
    const QColor back = palette.color(QPalette::HighlightedText);
    ProgressBarPainter::paint(painter, option.rect, value, bar, back, option.font, selected);
}
