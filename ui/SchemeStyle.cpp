#include "ui/SchemeStyle.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>

namespace {
const QColor kDisabledText(0x9a, 0x7f, 0x9a);

// A border of the given width inside the rectangle.
void outline(QPainter *painter, const QRect &rect, const QColor &color, int width)
{
    painter->fillRect(rect.left(), rect.top(), rect.width(), width, color);
    painter->fillRect(rect.left(), rect.bottom() - width + 1, rect.width(), width, color);
    painter->fillRect(rect.left(), rect.top(), width, rect.height(), color);
    painter->fillRect(rect.right() - width + 1, rect.top(), width, rect.height(), color);
}

bool isView(const QWidget *widget)
{
    return qobject_cast<const QAbstractItemView *>(widget) != nullptr;
}
} // namespace

SchemeStyle::SchemeStyle(const QColor &light, const QColor &border, const QColor &text)
    : m_light(light), m_border(border), m_text(text)
{
}

void SchemeStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    switch (element) {
    case CE_PushButtonBevel: {
        const bool focused = option->state & State_HasFocus;
        painter->fillRect(option->rect, m_light);
        outline(painter, option->rect,
                focused || (option->state & State_MouseOver) ? m_text : m_border, focused ? 2 : 1);
        return;
    }
    case CE_PushButtonLabel:
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option)) {
            QStyleOptionButton label = *button;
            label.palette.setColor(QPalette::ButtonText,
                                   option->state & State_Enabled ? m_text : kDisabledText);
            QProxyStyle::drawControl(element, &label, painter, widget);
            return;
        }
        break;
    case CE_HeaderSection:
        painter->fillRect(option->rect, m_light);
        outline(painter, option->rect, m_border, 1);
        return;
    case CE_HeaderLabel:
        if (const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option)) {
            QStyleOptionHeader label = *header;
            label.palette.setColor(QPalette::ButtonText, Qt::black);
            QProxyStyle::drawControl(element, &label, painter, widget);
            return;
        }
        break;
    case CE_ShapedFrame:
        if (isView(widget)) {
            outline(painter, option->rect, m_border, 1);
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void SchemeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                QPainter *painter, const QWidget *widget) const
{
    // A button shows its focus by its border.
    if (element == PE_FrameFocusRect && qobject_cast<const QPushButton *>(widget))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int SchemeStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                             const QWidget *widget) const
{
    if (metric == PM_DefaultFrameWidth && isView(widget))
        return 1;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize SchemeStyle::sizeFromContents(ContentsType type, const QStyleOption *option,
                                    const QSize &size, const QWidget *widget) const
{
    QSize needed = QProxyStyle::sizeFromContents(type, option, size, widget);
    // A header section's border and a little room above and below its caption.
    if (type == CT_HeaderSection)
        needed.rheight() += 6;
    return needed;
}

int SchemeStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                           QStyleHintReturn *returnData) const
{
    if (hint == SH_Table_GridLineColor)
        return int(m_border.rgba());
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
