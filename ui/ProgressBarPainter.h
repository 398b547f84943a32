#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class QFont;

// Draws a numeric Status cell as a bar with its percentage in the middle; where the bar
// covers the text, the two colours swap. The rectangle arithmetic is kept in plain functions
// so it can be checked without a widget.
class ProgressBarPainter
{
public:
    // The bar's own colour, also the text colour outside the bar.
    static QColor barColor() { return QColor(113, 135, 79); }

    // The value as a whole number, halves to the even neighbour, then kept within 0..100.
    static int percent(double value);
    // The pixels the bar changes: up to one column short of its right edge, which is the
    // percentage of the width rounded halves to even; a selected cell is covered whole.
    static QRect barPixels(const QRect &cell, int percent, bool selected);

    // Paints the cell. back is the colour outside the bar; a selected cell is drawn with
    // bar = selectionBack and back = selectionText, so it looks like any selected cell.
    static void paint(QPainter *painter, const QRect &cell, double value, const QColor &bar,
                      const QColor &back, const QFont &font, bool selected);
};
