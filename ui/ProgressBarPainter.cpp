#include "ui/ProgressBarPainter.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <cmath>

int ProgressBarPainter::percent(double value)
{
    const double whole = std::nearbyint(value);
    if (whole <= 0)
        return 0;
    if (whole >= 100)
        return 100;
    return int(whole);
}

QRect ProgressBarPainter::barPixels(const QRect &cell, int percent, bool selected)
{
    const int width = cell.width();
    const int right =
        selected ? cell.left() + width : int(std::nearbyint(percent / 100.0 * width + cell.left()));
    return QRect(cell.left(), cell.top(), std::max(0, right - 1 - cell.left()), cell.height());
}

void ProgressBarPainter::paint(QPainter *painter, const QRect &cell, double value,
                               const QColor &bar, const QColor &back, const QFont &font,
                               bool selected)
{
    const int shown = percent(value);
    // The background reaches one row below the cell, as the cell's own fill does.
    QImage image(cell.width(), cell.height() + 1, QImage::Format_RGB32);
    image.fill(back);
    {
        QPainter text(&image);
        QFont crisp(font);
        // Two exact colours make the swap under the bar exact too.
        crisp.setStyleStrategy(QFont::NoAntialias);
        text.setFont(crisp);
        text.setPen(bar);
        text.drawText(QRect(0, 0, cell.width(), cell.height()),
                      Qt::AlignCenter | Qt::TextSingleLine, QString::number(shown) + '%');
    }
    const QRect pixels = barPixels(QRect(0, 0, cell.width(), cell.height()), shown, selected);
    const QRgb swap = (bar.rgb() ^ back.rgb()) & 0x00ffffff;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            line[x] ^= swap;
    }
    painter->drawImage(cell.topLeft(), image);
}
