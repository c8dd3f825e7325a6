// The title marquee and the level meter.

#include "control/picture_box.h"
#include "control/playctrl.h"
#include "control/title_label.h"
#include "platform/clock/clock_ms.h"
#include "platform/clock/window_timer.h"

#include <QEvent>

namespace tambolin {

namespace {
// The right edge of the title strip, where the title re-enters.
constexpr int kStripRight = 154;
} // namespace

void PLAYCTRL::Timer1_Timer() {
    step([&] { marqueeStep(*m_label1, kStripRight); });
    // A control kept off the screen for good (a player without its panel)
    // has no strip to scroll: its marquee rests from its first tick.
    if (testAttribute(Qt::WA_DontShowOnScreen) && !m_shownOnce)
        updateMarqueeTimer();
}

void PLAYCTRL::updateMarqueeTimer() {
    QWidget *top = window();
    if (top != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = top;
        // Minimising shows only as a change of the window's state.
        if (top)
            top->installEventFilter(this);
    }
    const bool seen = !m_shownOnce ? !testAttribute(Qt::WA_DontShowOnScreen)
                                   : isVisible() && !(top && top->isMinimized());
    if (!m_timer1)
        return;
    if (!seen) {
        if (!m_marqueeRestingSince)
            step([&] { m_marqueeRestingSince = clockMilliseconds(); });
        m_timer1->setEnabled(false);
        return;
    }
    if (!m_marqueeRestingSince)
        return;
    step([&] {
        const std::int64_t missed =
            (clockMilliseconds() - *m_marqueeRestingSince) / std::max(m_timer1->interval(), 1);
        marqueeSteps(*m_label1, kStripRight, missed);
    });
    m_marqueeRestingSince.reset();
    m_timer1->setEnabled(true);
}

bool PLAYCTRL::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_watchedWindow) {
        switch (event->type()) {
        case QEvent::WindowStateChange:
        case QEvent::Show:
        case QEvent::Hide:
            updateMarqueeTimer();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PLAYCTRL::meter(Integer &a, Integer &n) {
    // A level too large for 16 bits leaves x at 0: the bar goes black.
    Integer x = 0;
    step([&] { x = toInteger(toInteger(a + 1) * 4); });
    PictureBox *bar = nullptr;
    step([&] {
        bar = Picture3(toInteger(n - 1));
        if (!bar)
            failStep();
        bar->Cls();
    });
    step([&] {
        if (!bar)
            failStep();
        bar->LineBF(x, 0, 144, 3, Qt::black);
    });
}

} // namespace tambolin
