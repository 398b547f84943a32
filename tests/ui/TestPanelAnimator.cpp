#include "PanelAnimator.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

// Slides a panel over a window of the design height, 8655 twips (577 pixels).
class TestPanelAnimator : public QObject
{
    Q_OBJECT

private:
    QWidget m_window;
    QWidget *m_frame = nullptr;
    QWidget *m_panel = nullptr;
    std::unique_ptr<PanelAnimator> m_animator;
    QList<float> m_tops; // the top after each tick

private slots:
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

QTEST_MAIN(TestPanelAnimator)
#include "TestPanelAnimator.moc"
