#include "ProgressBarPainter.h"
#include "StatusDelegate.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {
const QColor kBack(255, 255, 255);
const QColor kHighlight(128, 0, 128);
const QColor kBase(250, 250, 250);
} // namespace

// A Status cell rendered by a real grid, read back pixel by pixel.
class TestStatusDrawing : public QObject
{
    Q_OBJECT

private:
    QStandardItemModel m_model{1, 2};
    QTableView m_view;

    // Renders the status and counts, left of barEnd and from it on, pixels of each colour.
    QImage render(const QString &status, int width, bool selected, QRect *cell)
    {
        m_model.setItem(0, 1, new QStandardItem(status));
        m_view.setColumnWidth(1, width);
        m_view.clearSelection();
        if (selected)
            m_view.selectRow(0);
        *cell = m_view.visualRect(m_model.index(0, 1));
        return m_view.viewport()->grab().toImage();
    }

    static int count(const QImage &image, const QRect &area, const QColor &color)
    {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                found += image.pixelColor(x, y) == color;
        return found;
    }

private slots:
    void initTestCase()
    {
        QPalette palette = m_view.palette();
        palette.setColor(QPalette::HighlightedText, kBack);
        palette.setColor(QPalette::Highlight, kHighlight);
        palette.setColor(QPalette::Base, kBase);
        m_view.setPalette(palette);
        m_view.setModel(&m_model);
        m_view.setItemDelegate(new StatusDelegate(1, &m_view));
        m_view.setSelectionBehavior(QAbstractItemView::SelectRows);
        m_view.setShowGrid(false);
        m_view.verticalHeader()->setDefaultSectionSize(24);
        m_view.resize(400, 120);
        m_view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_view));
    }

    void barCoversItsShareWithTheTextSwapped_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("barColumns"); // the bar stops one column short of its edge
        QTest::newRow("zero") << "0" << 120 << 0;
        QTest::newRow("full") << "100" << 120 << 119;
        QTest::newRow("minus one as zero") << "-1" << 120 << 0;
        QTest::newRow("above 100 as full") << "250" << 120 << 119;
        QTest::newRow("45.5 rounds to 46") << "45.5" << 100 << 45;
        QTest::newRow("44.5 rounds to 44") << "44.5" << 100 << 43;
        QTest::newRow("101 pixels at 50") << "50" << 101 << 49;
        QTest::newRow("text straddles the edge") << "50" << 60 << 29;
    }

    void barCoversItsShareWithTheTextSwapped()
    {
        QFETCH(QString, status);
        QFETCH(int, width);
        QFETCH(int, barColumns);
        QRect cell;
        const QImage image = render(status, width, false, &cell);
        const QColor bar = ProgressBarPainter::barColor();
        const QRect inside(cell.left(), cell.top(), barColumns, cell.height());
        const QRect outside(cell.left() + barColumns, cell.top(), width - barColumns,
                            cell.height());
        // Only the two colours: the grid's own background and text are suppressed.
        QCOMPARE(count(image, cell, bar) + count(image, cell, kBack), width * cell.height());
        QCOMPARE(image.pixelColor(outside.topLeft() + QPoint(0, 1)), kBack);
        if (barColumns > 0)
            QCOMPARE(image.pixelColor(inside.topRight() + QPoint(0, 1)), bar);
        // The percentage: background-coloured under the bar, bar-coloured beyond it.
        const int textUnder = barColumns > 0 ? count(image, inside, kBack) : 0;
        const int textBeyond = count(image, outside, bar);
        QVERIFY(textUnder + textBeyond > 0);
        if (barColumns > 20 && barColumns < width - 20)
            QVERIFY(textUnder > 0 && textBeyond > 0);
    }

    void selectedCellUsesSelectionColoursWithoutBar()
    {
        QRect cell;
        const QImage image = render("60", 120, true, &cell);
        const QRect covered = cell.adjusted(0, 0, -1, 0);
        QCOMPARE(count(image, cell, kHighlight) + count(image, cell, kBack),
                 120 * cell.height());
        QVERIFY(count(image, covered, kBack) > 0); // the text
        QCOMPARE(image.pixelColor(cell.left() + 80, cell.top() + 1), kHighlight);
    }

    void wordsAreLeftToTheGrid()
    {
        for (const QString &status : {"Complete", "Waiting Conversion", "12.34 Seconds Converted"}) {
            QRect cell;
            const QImage image = render(status, 160, false, &cell);
            QCOMPARE(count(image, cell, ProgressBarPainter::barColor()), 0);
            QCOMPARE(image.pixelColor(cell.left() + 1, cell.top() + 1), kBase);
        }
    }
};

QTEST_MAIN(TestStatusDrawing)
#include "TestStatusDrawing.moc"
