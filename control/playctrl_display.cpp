// The title marquee and the level meter.

#include "control/picture_box.h"
#include "control/playctrl.h"
#include "control/title_label.h"

namespace tambolin {

namespace {
// The right edge of the title strip, where the title re-enters.
constexpr int kStripRight = 154;
} // namespace

void PLAYCTRL::Timer1_Timer() {
    step([&] { marqueeStep(*m_label1, kStripRight); });
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
