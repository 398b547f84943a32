#include "ui/FittingComboBox.h"

#include <QAbstractItemView>

void FittingComboBox::showPopup()
{
    QAbstractItemView *items = view();
    items->setMinimumWidth(qMax(width(), items->sizeHintForColumn(0) + 24));
    QComboBox::showPopup();
}
