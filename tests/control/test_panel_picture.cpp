// The panel while it plays, as a user sees it. With TAMBOLIN_PANEL_PNG set
// the picture is also written there (docs/panel.png is made this way, under
// Xvfb with QT_QPA_PLATFORM=xcb and QT_SCALE_FACTOR=3).

#include "control_fixture.h"

#include "control/picture_box.h"
#include "control/title_label.h"

#include <QAbstractButton>
#include <QPixmap>

namespace tambolin::testing {
namespace {

using PanelPicture = ControlTest;

TEST_F(PanelPicture, PlayingPanelShowsTitleBarsAndButtons) {
    PLAYCTRL &ctrl = makeControl();
    setMelody(1, {{{0, 28}}, {{0, 19}}, {{0, 7}}});
    ctrl.Label1()->setCaption(QStringLiteral("Spring Walk ~ 春の散歩"));
    ctrl.Command1(1)->setEnabled(true);
    ctrl.show();
    Boolean on = True;
    ctrl.setPlay(on);
    runTo(300); // every part sounding; the title moved 3 pixels
    ASSERT_EQ(ctrl.Play(), True);

    const QPixmap shot = ctrl.grab();
    const QImage img = shot.toImage();
    const qreal dpr = shot.devicePixelRatio();
    auto at = [&](int x, int y) {
        return img.pixelColor(static_cast<int>(x * dpr), static_cast<int>(y * dpr));
    };
    // Bars lit up to each part's pitch (4 pixels a semitone), black beyond.
    const int top = 22, left = 6;
    EXPECT_NE(at(left + 4 * 29 - 2, top + 1), QColor(Qt::black));
    EXPECT_EQ(at(left + 4 * 29 + 2, top + 1), QColor(Qt::black));
    EXPECT_NE(at(left + 4 * 20 - 2, top + 7), QColor(Qt::black));
    EXPECT_EQ(at(left + 4 * 20 + 2, top + 7), QColor(Qt::black));
    EXPECT_NE(at(left + 4 * 8 - 2, top + 13), QColor(Qt::black));
    EXPECT_EQ(at(left + 4 * 8 + 2, top + 13), QColor(Qt::black));
    EXPECT_EQ(ctrl.Label1()->x(), -3);
    EXPECT_TRUE(ctrl.Command1(2)->isEnabled());

    const QString out = qEnvironmentVariable("TAMBOLIN_PANEL_PNG");
    if (!out.isEmpty()) {
        ASSERT_TRUE(shot.save(out, "PNG"));
    }
}

} // namespace
} // namespace tambolin::testing
