#include "PanelAnimator.h"
#include "ProgressBarPainter.h"
#include "StatusDelegate.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {
const QColor kBack(255, 255, 255);
const QColor kHighlight(128, 0, 128);
const QColor kBase(250, 250, 250);
constexpr int kPercentRole = Qt::UserRole + 1;
} // namespace

// A Status cell rendered by a real grid and read back pixel by pixel, and a panel slid over a
// window of the design height, 8655 twips (577 pixels).
class TestDrawing : public QObject
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

    QWidget m_window;
    QWidget *m_frame = nullptr;
    QWidget *m_panel = nullptr;
    std::unique_ptr<PanelAnimator> m_animator;
    QList<float> m_tops; // the top after each tick

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
    void init()
    {
        m_window.resize(728, 577);
        m_frame = new QWidget(&m_window);
        m_frame->resize(728, 577);
        m_panel = new QWidget(&m_window);
        m_panel->resize(483, 246);
        m_animator = std::make_unique<PanelAnimator>(m_frame, 8655.0f);
        m_animator->park(m_panel);
        m_tops.clear();
        connect(m_animator->tmrAnimate(), &QTimer::timeout, this,
                [this] { m_tops << m_animator->topOf(m_panel); });
    }

    void cleanup()
    {
        m_animator.reset();
        delete m_panel;
        delete m_frame;
    }

    void risesWithOvershootAndFallsBackToTheParkingLine()
    {
        QVERIFY(m_panel->isHidden());
        m_animator->raise(m_panel);
        QTRY_VERIFY_WITH_TIMEOUT(!m_animator->isSliding(), 5000);
        QList<float> expected;
        for (int tick = 1; tick <= 19; ++tick)
            expected << 8655.0f - 300 * tick;
        QCOMPARE(m_tops, expected << 2805 << 2730 << 2655 << 2580 << 2715);
        QVERIFY(m_panel->y() == 181 && !m_frame->isEnabled());

        m_tops.clear();
        QSignalSpy parked(m_animator.get(), &PanelAnimator::parked);
        m_animator->AnimateFrame("EDIT_FRAME_DOWN");
        QTRY_VERIFY_WITH_TIMEOUT(!m_animator->isSliding(), 5000);
        expected.clear();
        for (float top = 2715 + 500; top <= 8715; top += 500)
            expected << top;
        QCOMPARE(m_tops, expected << 8655);
        QVERIFY(m_panel->y() == 577 && parked.count() == 1);
        QVERIFY(m_frame->isEnabled() && m_panel->isHidden());
    }

    void closeDuringTheRiseTurnsThePanelRound()
    {
        m_animator->raise(m_panel);
        QTRY_VERIFY(m_tops.size() >= 3);
        const float turnedAt = m_animator->topOf(m_panel);
        m_animator->AnimateFrame("EDIT_FRAME_DOWN");
        QTRY_VERIFY_WITH_TIMEOUT(!m_animator->isSliding(), 5000);
        QVERIFY(m_tops.contains(turnedAt + 500) && m_tops.last() == 8655.0f);
    }
};

QTEST_MAIN(TestDrawing)
#include "TestDrawing.moc"
