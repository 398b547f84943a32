#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>

class QWidget;

// Slides the format and About panels up from below the window and back down, with one timer.
// Positions are kept in twips (15 to a pixel), as the design gives them, and the panels are
// moved to the nearest pixel.
class PanelAnimator : public QObject
{
    Q_OBJECT
public:
    static constexpr float kTwipsPerPixel = 15.0f;
    static constexpr float kRestingTop = 2715.0f;

    // mainFrame is disabled while a panel is up; windowHeight is the parking line, in twips.
    PanelAnimator(QWidget *mainFrame, float windowHeight, QObject *parent = nullptr);

    // Puts a panel at its parking place below the visible area, hidden.
    void park(QWidget *panel);
    // A button's request to bring a panel up; ignored while a slide runs.
    void raise(QWidget *panel);
    void AnimateFrame(const QString &mode);

    float topOf(const QWidget *panel) const;
    void setTopOf(QWidget *panel, float top);

    QWidget *AnimFrame() const { return m_animFrame; }
    QTimer *tmrAnimate() { return &m_timer; }
    bool isSliding() const { return m_timer.isActive(); }

signals:
    void parked(QWidget *panel);

private:
    void tmrAnimate_Timer();
    void SlideUpTick();
    void SlideDownTick();

    QWidget *m_mainFrame;
    float m_windowHeight;
    QHash<const QWidget *, float> m_tops;
    QWidget *m_animFrame = nullptr;
    QString m_animState;
    int m_animStep = 0;
    int m_animInterval = 0;
    QTimer m_timer;
};
