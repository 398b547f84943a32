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
constexpr int kPercentRole = Qt::UserRole + 1;
} // namespace

// A Status cell rendered by a real grid, read back pixel by pixel.
class TestStatusDrawing : public QObject
{
    Q_OBJECT

private:
    QStandardItemModel m_model{1, 2};
    QTableView m_view;
    QImage m_image;
    QRect m_cell;

    void render(const QString &status, int width, bool selected = false)
    {
        auto *item = new QStandardItem(status);
        bool isNumber = false;
        const double percent = status.toDouble(&isNumber);
        if (isNumber)
            item->setData(percent, kPercentRole);
        m_model.setItem(0, 1, item);
        m_view.setColumnWidth(1, width);
        m_view.clearSelection();
        if (selected)
            m_view.selectRow(0);
        m_cell = m_view.visualRect(m_model.index(0, 1));
        m_image = m_view.viewport()->grab().toImage();
    }

    int count(const QRect &area, const QColor &color) const
    {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                found += m_image.pixelColor(x, y) == color;
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
        m_view.setItemDelegate(new StatusDelegate(1, kPercentRole, &m_view));
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
        QTest::newRow("minus one as zero") << "-1" << 120 << 0;
        QTest::newRow("above 100 as full") << "250" << 120 << 119;
        QTest::newRow("45.5 rounds to 46") << "45.5" << 100 << 45;
        QTest::newRow("44.5 rounds to 44") << "44.5" << 100 << 43;
        QTest::newRow("101 pixels at 50") << "50" << 101 << 49;
    }

    void barCoversItsShareWithTheTextSwapped()
    {
        QFETCH(QString, status);
        QFETCH(int, width);
        QFETCH(int, barColumns);
        render(status, width);
        const QColor bar = ProgressBarPainter::barColor();
        const QRect inside(m_cell.left(), m_cell.top(), barColumns, m_cell.height());
        const QRect outside = m_cell.adjusted(barColumns, 0, 0, 0);
        // Only the two colours: the grid's own background and text are suppressed.
        QCOMPARE(count(m_cell, bar) + count(m_cell, kBack), width * m_cell.height());
        QCOMPARE(m_image.pixelColor(outside.topLeft() + QPoint(0, 1)), kBack);
        // The percentage: background-coloured under the bar, bar-coloured beyond it.
        const int textUnder = barColumns > 0 ? count(inside, kBack) : 0;
        const int textBeyond = count(outside, bar);
        QVERIFY(textUnder + textBeyond > 0);
        if (barColumns > 20 && barColumns < width - 20)
            QVERIFY(textUnder > 0 && textBeyond > 0);
    }

    // A selected row takes the selection colours, and words are drawn by the grid: no bar.
    void cellsWithoutBar()
    {
        render("60", 120, true);
        QCOMPARE(count(m_cell, kHighlight) + count(m_cell, kBack), 120 * m_cell.height());
        QVERIFY(count(m_cell, kBack) > 0); // the text
        render("12.34 Seconds Converted", 160);
        QCOMPARE(count(m_cell, ProgressBarPainter::barColor()), 0);
        QCOMPARE(m_image.pixelColor(m_cell.left() + 1, m_cell.top() + 1), kBase);
    }
};

QTEST_MAIN(TestStatusDrawing)
#include "TestStatusDrawing.moc"
