#include "ui/PanelAnimator.h"

#include <QWidget>

#include <cmath>

namespace {
const QString kUp = QStringLiteral("Edit Frame 2 Up");
const QString kDown = QStringLiteral("Edit Frame 2 Down");
const float kSlowZoneTop = 2650.0f;   // the rise ends once the top passes above this
const float kSlowZoneStart = 3100.0f; // below this the rise slows down
} // namespace

PanelAnimator::PanelAnimator(QWidget *mainFrame, float windowHeight, QObject *parent)
    : QObject(parent), m_mainFrame(mainFrame), m_windowHeight(windowHeight)
{
    m_timer.setObjectName(QStringLiteral("tmrAnimate"));
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &PanelAnimator::tmrAnimate_Timer);
}

void PanelAnimator::park(QWidget *panel)
{
    setTopOf(panel, m_windowHeight);
    // Out of sight is not enough: a parked panel must not take focus, keys or clicks.
    panel->hide();
}

void PanelAnimator::raise(QWidget *panel)
{
    if (m_timer.isActive())
        return;
    m_animFrame = panel;
    m_mainFrame->setEnabled(false);
    panel->show();
    AnimateFrame(QStringLiteral("EDIT_FRAME_UP"));
}

void PanelAnimator::AnimateFrame(const QString &mode)
{
    if (mode == QLatin1String("EDIT_FRAME_UP")) {
        m_animState = kUp;
        m_animStep = 300;
        m_animInterval = 10;
    } else if (mode == QLatin1String("EDIT_FRAME_DOWN")) {
        m_animState = kDown;
        m_animStep = 500;
        m_animInterval = 5;
    }
    // The first tick comes after the interval the timer holds now.
    if (!m_timer.isActive())
        m_timer.start();
}

float PanelAnimator::topOf(const QWidget *panel) const
{
    return m_tops.value(panel, panel ? panel->y() * kTwipsPerPixel : 0.0f);
}

void PanelAnimator::setTopOf(QWidget *panel, float top)
{
    m_tops.insert(panel, top);
    panel->move(panel->x(), int(std::lround(top / kTwipsPerPixel)));
}

void PanelAnimator::tmrAnimate_Timer()
{
    if (!m_animFrame) {
        m_timer.stop();
        return;
    }
    if (m_animState == kUp)
        SlideUpTick();
    else if (m_animState == kDown)
        SlideDownTick();
}

void PanelAnimator::SlideUpTick()
{
    m_timer.setInterval(m_animInterval);
    const float top = topOf(m_animFrame);
    if (top >= kSlowZoneTop) {
        if (m_animStep > 100 && top < kSlowZoneStart) {
            m_animStep = int(std::nearbyint(m_animStep / 2.0));
            m_animInterval *= 2;
        }
        setTopOf(m_animFrame, top - m_animStep);
    } else {
        m_timer.stop();
        setTopOf(m_animFrame, kRestingTop);
    }
}

void PanelAnimator::SlideDownTick()
{
    m_timer.setInterval(m_animInterval);
    const float top = topOf(m_animFrame);
    if (top >= m_windowHeight) {
        m_timer.stop();
        park(m_animFrame);
        m_mainFrame->setEnabled(true);
        emit parked(m_animFrame);
    } else {
        setTopOf(m_animFrame, top + m_animStep);
    }
}
