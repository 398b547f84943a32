#include "ui/StatusDelegate.h"

#include "ui/ProgressBarPainter.h"

#include <QPainter>

StatusDelegate::StatusDelegate(int statusColumn, int percentRole, QObject *parent)
    : QStyledItemDelegate(parent), m_statusColumn(statusColumn), m_percentRole(percentRole)
{
}

void StatusDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    const QVariant percent = index.data(m_percentRole);
    if (index.column() != m_statusColumn || !percent.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const double value = percent.toDouble();
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &palette = option.palette;
    const QColor bar =
        selected ? palette.color(QPalette::Highlight) : ProgressBarPainter::barColor();
    const QColor back = palette.color(QPalette::HighlightedText);
    ProgressBarPainter::paint(painter, option.rect, value, bar, back, option.font, selected);
}
