#include "control_fixture.h"

#include "control/artwork.h"
#include "control/picture_box.h"
#include "control/title_label.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QLabel>

namespace tambolin::testing {
namespace {

class Display : public ControlTest {
protected:
    QImage bar(PLAYCTRL &ctrl, int index) { return ctrl.Picture3(index)->grab().toImage(); }
    static void meter(PLAYCTRL &ctrl, int a, int n) {
        Integer level = static_cast<Integer>(a);
        Integer part = static_cast<Integer>(n);
        ctrl.meter(level, part);
    }
    // Pixels of the middle row that show the bar's own picture.
    static int litPixels(const QImage &img) {
        const QImage full = artwork::meterBar();
        int lit = 0;
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixel(x, 1) == full.pixel(x, 1))
                ++lit;
            else
                EXPECT_EQ(img.pixelColor(x, 1), QColor(Qt::black)) << x;
        }
        return lit;
    }
};

TEST_F(Display, StartLeavesEveryBarSilent) {
    PLAYCTRL &ctrl = makeControl();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(litPixels(bar(ctrl, i)), 0) << i;
}

TEST_F(Display, MeterLightsFourPixelsPerSemitone) {
    PLAYCTRL &ctrl = makeControl();
    meter(ctrl, 0, 1);
    EXPECT_EQ(litPixels(bar(ctrl, 0)), 4);
    meter(ctrl, 10, 2);
    EXPECT_EQ(litPixels(bar(ctrl, 1)), 44);
    meter(ctrl, 35, 3);
    EXPECT_EQ(litPixels(bar(ctrl, 2)), 143);
    meter(ctrl, -1, 1);
    EXPECT_EQ(litPixels(bar(ctrl, 0)), 0);
    // Every row of a bar follows the level, not only the middle one.
    meter(ctrl, 0, 1);
    const QImage img = bar(ctrl, 0);
    for (int y = 0; y < 3; ++y) {
        EXPECT_NE(img.pixelColor(3, y), QColor(Qt::black));
        EXPECT_EQ(img.pixelColor(4, y), QColor(Qt::black));
    }
}

TEST_F(Display, MeterOutOfRangeLevelsAndParts) {
    PLAYCTRL &ctrl = makeControl();
    meter(ctrl, 20, 1);
    meter(ctrl, 20, 2);
    meter(ctrl, 20, 3);
    const QImage before[3] = {bar(ctrl, 0), bar(ctrl, 1), bar(ctrl, 2)};
    meter(ctrl, 10, 4); // no such bar
    meter(ctrl, 10, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bar(ctrl, i), before[i]) << i;

    meter(ctrl, 60, 1); // above the top: all lit
    EXPECT_EQ(litPixels(bar(ctrl, 0)), 143);
    meter(ctrl, -7, 1); // below silence: all black
    EXPECT_EQ(litPixels(bar(ctrl, 0)), 0);
    meter(ctrl, 9000, 2); // too large for 16 bits: x stays 0, all black
    EXPECT_EQ(litPixels(bar(ctrl, 1)), 0);
    meter(ctrl, 8190, 3);
    EXPECT_EQ(litPixels(bar(ctrl, 2)), 143);
}

TEST_F(Display, MarqueeMovesOnePixelEveryTenthOfASecond) {
    PLAYCTRL &ctrl = makeControl();
    TitleLabel *label = ctrl.Label1();
    ASSERT_EQ(label->width(), 100);
    EXPECT_EQ(label->pos(), QPoint(0, 2));
    runTo(10000); // 100 steps
    EXPECT_EQ(label->x(), -100);
    runTo(10100);
    EXPECT_EQ(label->x(), 154);
    runTo(10200);
    EXPECT_EQ(label->x(), 153);
    EXPECT_EQ(label->y(), 2);
}

TEST_F(Display, LongTitleScrollsThroughWhole) {
    PLAYCTRL &ctrl = makeControl();
    TitleLabel *label = ctrl.Label1();
    const QString title = QStringLiteral("とても長いタイトルのメロディーがここにあります");
    label->setCaption(title);
    const int width = label->fontMetrics().horizontalAdvance(title);
    ASSERT_GT(width, 100);
    EXPECT_EQ(label->width(), width);
    EXPECT_EQ(ctrl.MTitle(), title);
    // The caption change does not move the label; it leaves once its last pixel has.
    const int x0 = label->x();
    runTo(100 * (x0 + width));
    EXPECT_EQ(label->x(), -width);
    runTo(now() + 100);
    EXPECT_EQ(label->x(), 154);

    // A short caption never makes the label narrower than its design width.
    label->setCaption(QStringLiteral("A"));
    EXPECT_EQ(label->width(), 100);
}

TEST(Marquee, ManyStepsAtOnceLandWhereSingleStepsDo) {
    QWidget strip;
    QWidget label(&strip);
    for (int width : {1, 100, 251})
        for (int x : {400, 154, 153, 0, -1, -100, -251, -252, -600})
            for (long long steps : {0LL, 1LL, 2LL, 154LL, 255LL, 406LL, 1000LL}) {
                label.setGeometry(x, 2, width, 12);
                for (long long i = 0; i < steps; ++i)
                    marqueeStep(label, 154);
                const QPoint stepped = label.pos();
                label.setGeometry(x, 2, width, 12);
                marqueeSteps(label, 154, steps);
                EXPECT_EQ(label.pos(), stepped) << width << " " << x << " " << steps;
            }
}

TEST_F(Display, TheMarqueeRestsWhileHiddenAndCatchesUp) {
    PLAYCTRL &ctrl = makeControl();
    ctrl.show();
    runTo(500);
    ASSERT_TRUE(ctrl.Timer1()->isEnabled());
    const int x = ctrl.Label1()->x();
    EXPECT_EQ(x, -5);

    ctrl.hide();
    EXPECT_FALSE(ctrl.Timer1()->isEnabled());
    runTo(1500);
    EXPECT_EQ(ctrl.Label1()->x(), x);

    // Shown again, the title stands where ticking all along would have put it.
    ctrl.show();
    EXPECT_TRUE(ctrl.Timer1()->isEnabled());
    EXPECT_EQ(ctrl.Label1()->x(), x - 10);
    runTo(1600);
    EXPECT_EQ(ctrl.Label1()->x(), x - 11);
}

TEST_F(Display, TheMarqueeRestsWhileTheWindowIsMinimised) {
    QWidget window;
    PLAYCTRL *ctrl = new PLAYCTRL(&window);
    window.show();
    ASSERT_TRUE(ctrl->Timer1()->isEnabled());
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(ctrl->Timer1()->isEnabled());
    runTo(2000);
    window.setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(ctrl->Timer1()->isEnabled());
    EXPECT_EQ(ctrl->Label1()->x(), -20);
}

TEST_F(Display, LabelOfNoWidthStaysPut) {
    PLAYCTRL &ctrl = makeControl();
    ctrl.Label1()->resize(0, 12);
    ctrl.Label1()->move(20, 2);
    runTo(1000);
    EXPECT_EQ(ctrl.Label1()->pos(), QPoint(20, 2));
}

TEST_F(Display, PanelLayoutInPixels) {
    PLAYCTRL &ctrl = makeControl();
    EXPECT_EQ(ctrl.size(), QSize(160, 100));
    EXPECT_EQ(ctrl.Picture1()->geometry(), QRect(3, 3, 154, 16));
    EXPECT_EQ(ctrl.Label1()->parentWidget(), ctrl.Picture1());
    EXPECT_EQ(ctrl.Picture2()->geometry(), QRect(6, 22, 149, 21));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ctrl.Picture3(i)->parentWidget(), ctrl.Picture2());
        EXPECT_EQ(ctrl.Picture3(i)->geometry(), QRect(0, 6 * i, 143, 3));
    }
    const char *tips[5] = {"再生", "停止", "ﾌｧｲﾙ読み込み", "保存", "MIDI設定"};
    const int lefts[5] = {6, 30, 54, 78, 102};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(ctrl.Command1(i)->geometry(), QRect(lefts[i - 1], 48, 24, 24)) << i;
        EXPECT_EQ(ctrl.Command1(i)->toolTip(), QString::fromUtf8(tips[i - 1])) << i;
        EXPECT_EQ(ctrl.Command1(i)->iconSize(), QSize(16, 16));
    }
    EXPECT_EQ(ctrl.Command1(0), nullptr);
    EXPECT_EQ(ctrl.Command1(6), nullptr);
    // Below the frame's visible height: there, but never seen.
    EXPECT_EQ(ctrl.Label2(0)->geometry(), QRect(128, 46, 27, 13));
    EXPECT_EQ(ctrl.Label2(1)->geometry(), QRect(128, 62, 27, 13));
    EXPECT_GE(ctrl.Label2(0)->y(), ctrl.Picture2()->height());
    EXPECT_GE(ctrl.Line1()->y(), ctrl.Picture2()->height());
}

TEST_F(Display, TitleFontFallsBackToAJapaneseGothic) {
    PLAYCTRL &ctrl = makeControl();
    const QFont font = ctrl.Label1()->font();
    EXPECT_EQ(font.family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(QFontInfo(font).family().startsWith(QStringLiteral("IPA")))
        << QFontInfo(font).family().toStdString();
}

} // namespace
} // namespace tambolin::testing
