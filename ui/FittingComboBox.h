#pragma once

#include <QComboBox>

// A list whose drop-down is wide enough for its longest item. The width is found when the
// drop-down opens, so a window with many lists makes no drop-down before it is needed.
class FittingComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
};
