#include "ui/FramePanel.h"

#include <QLinearGradient>
#include <QPainter>

FramePanel::FramePanel(const QString &caption, bool withHeader, QWidget *parent)
    : QWidget(parent), m_caption(caption), m_withHeader(withHeader)
{
    BodyColorTopLeft = BodyColorBottomLeft = BodyColorBottomRight =
        palette().color(QPalette::Window);
    HeaderColorTopLeft = HeaderColorBottomLeft = palette().color(QPalette::Mid);
    BorderColor = palette().color(QPalette::Dark);
    ForeColor = palette().color(QPalette::WindowText);
    setAccessibleName(caption);
}

QRect FramePanel::contentsArea() const
{
    const int top = m_withHeader ? kHeaderHeight : 20;
    return rect().adjusted(1, top, -1, -1);
}

void FramePanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect();

    // The body shades from the top-left colour down to the two bottom corners' colours.
    QLinearGradient body(area.topLeft(), area.bottomRight());
    body.setColorAt(0, BodyColorTopLeft);
    body.setColorAt(0.6, BodyColorBottomLeft);
    body.setColorAt(1, BodyColorBottomRight);
    painter.fillRect(area, body);

    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    if (m_withHeader) {
        const QRect header(area.left(), area.top(), area.width(), kHeaderHeight);
        QLinearGradient shade(header.topLeft(), header.bottomLeft());
        shade.setColorAt(0, HeaderColorTopLeft);
        shade.setColorAt(1, HeaderColorBottomLeft);
        painter.fillRect(header, shade);
        painter.setPen(ForeColor);
        painter.drawText(header.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, m_caption);
    } else {
        painter.setPen(ForeColor);
        painter.drawText(area.adjusted(8, 2, -8, 0), Qt::AlignTop | Qt::AlignLeft, m_caption);
    }
    painter.setPen(BorderColor);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}
