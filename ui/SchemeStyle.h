#pragma once

#include <QColor>
#include <QProxyStyle>

// The window's own look for push buttons, the grid's header and the grid's frame and lines, in
// the scheme's colours: flat buttons whose border darkens under the mouse and thickens with the
// focus, and header sections and grid lines drawn in the border colour. Drawn here rather than
// by style sheets, whose machinery would cost every start of the window a fifth of its time.
class SchemeStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // light fills buttons and header sections, border outlines them, text is the button text
    // and the marked border.
    SchemeStyle(const QColor &light, const QColor &border, const QColor &text);

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override;

private:
    QColor m_light;
    QColor m_border;
    QColor m_text;
};
