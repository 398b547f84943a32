#include "ProgressBarPainter.h"
#include "StatusDelegate.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {
const QColor kBack(255, 255, 255);
const QColor kHighlight(128, 0, 128);

struct Counts
{
    int barInside = 0, backInside = 0, other = 0; // pixels in the bar's columns
    int barOutside = 0, backOutside = 0;          // pixels right of the bar
};

Counts countColours(const QImage &image, const QRect &cell, int barEnd, const QColor &bar,
                    const QColor &back)
{
    Counts counts;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xffffff;
            const bool inside = x < barEnd;
            if (pixel == (bar.rgb() & 0xffffff))
                ++(inside ? counts.barInside : counts.barOutside);
            else if (pixel == (back.rgb() & 0xffffff))
                ++(inside ? counts.backInside : counts.backOutside);
            else
                ++counts.other;
        }
    }
    return counts;
}
} // namespace

class TestStatusDrawing : public QObject
{
    Q_OBJECT

private:
    QStandardItemModel m_model{0, 2};
    QTableView m_view;

    void showStatus(const QString &status, int width, bool selected)
    {
        m_model.setRowCount(1);
        m_model.setItem(0, 0, new QStandardItem("clip.avi"));
        m_model.setItem(0, 1, new QStandardItem(status));
        m_view.setColumnWidth(1, width);
        m_view.clearSelection();
        if (selected)
            m_view.selectRow(0);
    }

private slots:
    void initTestCase()
    {
        QPalette palette = m_view.palette();
        palette.setColor(QPalette::HighlightedText, kBack);
        palette.setColor(QPalette::Highlight, kHighlight);
        palette.setColor(QPalette::Base, QColor(250, 250, 250));
        palette.setColor(QPalette::Text, Qt::black);
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

    void barCoversItsShareOfTheCell_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("shownPercent");
        QTest::addColumn<int>("barColumns");
        QTest::newRow("zero") << "0" << 120 << 0 << 0;
        QTest::newRow("full, one column short") << "100" << 120 << 100 << 119;
        QTest::newRow("minus one as zero") << "-1" << 120 << 0 << 0;
        QTest::newRow("above 100 as full") << "250" << 120 << 100 << 119;
        QTest::newRow("45.5 rounds to 46") << "45.5" << 100 << 46 << 45;
        QTest::newRow("44.5 rounds to 44") << "44.5" << 100 << 44 << 43;
        QTest::newRow("101 pixels at 50") << "50" << 101 << 50 << 49;
    }

    void barCoversItsShareOfTheCell()
    {
        QFETCH(QString, status);
        QFETCH(int, width);
        QFETCH(int, shownPercent);
        QFETCH(int, barColumns);
        showStatus(status, width, false);
        const QRect cell = m_view.visualRect(m_model.index(0, 1));
        QCOMPARE(ProgressBarPainter::barPixels(QRect(0, 0, width, 24), shownPercent, false).width(),
                 barColumns);

        const QImage image = m_view.viewport()->grab().toImage();
        const QColor bar = ProgressBarPainter::barColor();
        const Counts counts = countColours(image, cell, cell.left() + barColumns, bar, kBack);
        // Only the two colours are drawn: the grid's own text and background are suppressed.
        QCOMPARE(counts.other, 0);
        // The bar's columns are bar-coloured with the percentage in the background colour...
        if (barColumns > 0) {
            QVERIFY(counts.barInside > counts.backInside);
            QCOMPARE(image.pixelColor(cell.left(), cell.top() + 1), bar);
            QCOMPARE(image.pixelColor(cell.left() + barColumns - 1, cell.top() + 1), bar);
        }
        // ...and the rest of the cell is background with the percentage in the bar colour.
        QCOMPARE(image.pixelColor(cell.left() + barColumns, cell.top() + 1), kBack);
        QVERIFY(counts.backOutside > 0);
        const int textPixels = (shownPercent == 100) ? counts.backInside : counts.barOutside;
        QVERIFY2(textPixels > 0, "the percentage text is drawn");
    }

    void textChangesColourUnderTheBar()
    {
        showStatus("50", 60, false);
        const QRect cell = m_view.visualRect(m_model.index(0, 1));
        const QImage image = m_view.viewport()->grab().toImage();
        // At 50 % the centred text straddles the bar's edge: part of it in each colour.
        const Counts counts = countColours(image, cell, cell.left() + 29,
                                           ProgressBarPainter::barColor(), kBack);
        QVERIFY(counts.backInside > 0);
        QVERIFY(counts.barOutside > 0);
    }

    void selectedCellUsesSelectionColoursWithoutBar()
    {
        showStatus("60", 120, true);
        const QRect cell = m_view.visualRect(m_model.index(0, 1));
        const QImage image = m_view.viewport()->grab().toImage();
        const Counts counts = countColours(image, cell, cell.right(), kHighlight, kBack);
        QCOMPARE(counts.other, 0);
        // The highlight fills the cell (but its last column) with the text in the light colour.
        QVERIFY(counts.barInside > counts.backInside);
        QVERIFY(counts.backInside > 0);
        QCOMPARE(image.pixelColor(cell.left() + 80, cell.top() + 1), kHighlight);
        QVERIFY(!image.pixelColor(cell.left() + 80, cell.top() + 1).operator==(
            ProgressBarPainter::barColor()));
    }

    void wordsAreLeftToTheGrid_data()
    {
        QTest::addColumn<QString>("status");
        QTest::newRow("complete") << "Complete";
        QTest::newRow("waiting") << "Waiting Conversion";
        QTest::newRow("seconds") << "12.34 Seconds Converted";
    }

    void wordsAreLeftToTheGrid()
    {
        QFETCH(QString, status);
        showStatus(status, 160, false);
        const QRect cell = m_view.visualRect(m_model.index(0, 1));
        const QImage image = m_view.viewport()->grab().toImage();
        const Counts counts =
            countColours(image, cell, cell.right() + 1, ProgressBarPainter::barColor(), kBack);
        QCOMPARE(counts.barInside, 0);
        QCOMPARE(image.pixelColor(cell.left() + 1, cell.top() + 1), QColor(250, 250, 250));
    }
};

QTEST_MAIN(TestStatusDrawing)
#include "TestStatusDrawing.moc"
