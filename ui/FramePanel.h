#pragma once

#include <QColor>
#include <QWidget>

// A panel with a caption: a gradient header over a gradient body, inside a border.
// Without a header it is a plain captioned group drawn in the body colours.
class FramePanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeaderHeight = 24;

    FramePanel(const QString &caption, bool withHeader, QWidget *parent = nullptr);

    // The area below the header where the panel's controls go.
    QRect contentsArea() const;

    // The colour roles the window's scheme fills in.
    QColor BodyColorTopLeft, BodyColorBottomLeft, BodyColorBottomRight;
    QColor HeaderColorTopLeft, HeaderColorBottomLeft;
    QColor BorderColor, ForeColor;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
    bool m_withHeader;
};
