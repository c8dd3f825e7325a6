// tamberlo's piano roll under the panel, on a virtual clock: the line stands
// where the roll's own time mapping puts the time played, it rests while
// nothing plays, and the picture is the roll library's own of the melody.

#include "control/automation/class_registration.h"
#include "host/control_loader.h"
#include "host/tamberlo/player_driver.h"
#include "host/tamberlo/player_window.h"
#include "host/tamberlo/roll_area.h"
#include "host/tamberlo/tamberlo_settings.h"
#include "melody/mod_tambolin.h"
#include "melody/player_store.h"
#include "platform/clock/clock.h"
#include "platform/clock/virtual_clock.h"
#include "platform/clock/window_timer.h"
#include "platform/midi/midi_setup.h"
#include "platform/registry/private_profile.h"
#include "platform/registry/registry_files.h"
#include "platform/runtime/message_box.h"
#include "roll/roll_painter.h"
#include "support/config_home.h"
#include "support/data_home.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::tamberlo;

namespace {

const QString kSakura = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/sakura.tbn");
const QString kTrio = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/trio.tbn");

constexpr QRgb LineInk = 0xff202020;

// The roll of a melody file as the roll library lays it out, read into the
// store as the player reads it.
roll::RollModel rollOf(const QString &path) {
    mod().initialiseStore();
    loadIntoStore(path);
    return roll::rollFromStore(mod());
}

// The roll library's own picture of a model in the area's look.
QImage drawn(const roll::RollModel &model, const QSize &size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    roll::RollPainter(model, RollArea::look()).paint(p, size);
    return image;
}

QImage shown(RollArea &area) {
    return area.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class TamberloRoll : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_config.isValid());
        useMidiRecorder();
        ASSERT_EQ(DllRegisterServer(), S_OK);
        m_window = std::make_unique<PlayerWindow>(m_loader);
        ASSERT_NE(m_window->control(), nullptr) << m_window->loadError().toStdString();
    }
    void TearDown() override {
        m_window.reset();
        useDefaultMidiBackends();
    }
    RollArea &area() { return *m_window->rollArea(); }
    PlayerDriver &driver() { return *m_window->driver(); }
    void expand() {
        if (!m_window->rollAction()->isChecked())
            m_window->rollAction()->trigger();
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    // Runs the virtual clock to ms after the test began.
    void runTo(std::int64_t ms) { m_clock.advance(ms - m_clock.elapsed()); }
    // The roll library's mapping of time to the area's picture.
    roll::RollGeometry geometry(const roll::RollModel &model) {
        return roll::RollPainter(model, RollArea::look()).geometry(area().pictureSize());
    }

    tambolin::testing::ConfigHome m_config;
    tambolin::testing::DataHome m_data;
    VirtualClock m_clock{QDateTime(QDate(2026, 3, 1), QTime(20, 0))};
    ScopedClock m_scoped{m_clock};
    MessageBoxRecorder m_boxes;
    ControlLoader m_loader{{thisLibraryPath()}};
    std::unique_ptr<PlayerWindow> m_window;
};

TEST_F(TamberloRoll, TheLineStandsWhereTheRollPutsTheTimePlayedAndRestartsWithEachPass) {
    const roll::RollModel sakura = rollOf(kSakura);
    ASSERT_TRUE(sakura.sounds());
    expand();
    // Wide, so that a pixel is a few milliseconds: a line early or late by a
    // tick of the sequencer would show.
    area().resize(1600, RollArea::kHeight);
    m_window->openLocations({kSakura});
    ASSERT_TRUE(driver().isPlaying());
    const std::int64_t start = m_clock.elapsed();
    const roll::RollGeometry g = geometry(sakura);
    ASSERT_TRUE(area().lineTimer()->isEnabled());
    const int tick = area().lineTimer()->interval();
    ASSERT_GT(tick, 0);

    // Times on the line's own ticks, across the whole pass.
    for (const std::int64_t played :
         {std::int64_t{tick} * 5, std::int64_t{tick} * 37, sakura.lengthMs / tick * tick}) {
        runTo(start + played);
        ASSERT_TRUE(area().lineX().has_value()) << played;
        EXPECT_NEAR(*area().lineX(), g.x(played), 1) << played;
        // And it is drawn there, over the plot, in its own ink.
        const QImage picture = shown(area());
        EXPECT_EQ(picture.pixel(*area().lineX(), g.plot().center().y()), LineInk) << played;
        EXPECT_EQ(picture.pixel(*area().lineX(), g.plot().top()), LineInk) << played;
    }

    // The melody repeats at the first sequencer tick (10 ms) after its end;
    // the line starts again with it.
    const std::int64_t into = 300;
    const std::int64_t at = (sakura.lengthMs + into + tick - 1) / tick * tick;
    runTo(start + at);
    ASSERT_TRUE(driver().isPlaying());
    ASSERT_TRUE(area().lineX().has_value());
    EXPECT_GE(*area().lineX(), g.x(at - sakura.lengthMs - 20) - 1);
    EXPECT_LE(*area().lineX(), g.x(at - sakura.lengthMs) + 1);
}

TEST_F(TamberloRoll, TheLineAndItsTimerRestWhileNothingPlaysOrTheRollIsHidden) {
    expand();
    EXPECT_FALSE(area().lineTimer()->isEnabled()); // nothing loaded
    EXPECT_FALSE(area().lineX().has_value());

    m_window->openLocations({kTrio});
    runTo(1000);
    EXPECT_TRUE(area().lineTimer()->isEnabled());
    EXPECT_TRUE(area().lineX().has_value());

    driver().stop();
    EXPECT_FALSE(area().lineTimer()->isEnabled());
    EXPECT_FALSE(area().lineX().has_value());
    const QImage stopped = shown(area());
    EXPECT_EQ(stopped, drawn(rollOf(kTrio), area().pictureSize())); // no line left behind

    // Played from the panel's own button: seen when the driver next looks.
    m_window->control()->Command1(1)->click();
    driver().refresh();
    EXPECT_TRUE(area().lineTimer()->isEnabled());

    // Hidden while playing: no ticks until it shows again.
    m_window->rollAction()->trigger();
    EXPECT_FALSE(area().isVisible());
    EXPECT_FALSE(area().lineTimer()->isEnabled());
    m_window->rollAction()->trigger();
    EXPECT_TRUE(area().isVisible());
    EXPECT_TRUE(area().lineTimer()->isEnabled());
}

TEST_F(TamberloRoll, AnotherMelodyReplacesThePictureWhichIsDrawnOnlyWhenTheMelodyChanges) {
    const roll::RollModel sakura = rollOf(kSakura);
    const roll::RollModel trio = rollOf(kTrio);
    ASSERT_NE(sakura, trio);
    expand();
    const QSize size = area().pictureSize();
    ASSERT_EQ(size, QSize(m_window->control()->width(), RollArea::kHeight));
    ASSERT_NE(drawn(sakura, size), drawn(trio, size));

    m_window->openLocations({kSakura});
    driver().stop();
    EXPECT_EQ(shown(area()), drawn(sakura, size));
    const int drawings = area().drawings();

    // Playing, stopping and painting again draw nothing new.
    driver().play();
    runTo(2000);
    driver().stop();
    area().repaint();
    EXPECT_EQ(shown(area()), drawn(sakura, size));
    EXPECT_EQ(area().drawings(), drawings);

    m_window->openLocations({kTrio});
    driver().stop();
    EXPECT_EQ(shown(area()), drawn(trio, size));
    EXPECT_EQ(area().drawings(), drawings + 1);
}

TEST_F(TamberloRoll, TheRollIsCollapsedAtFirstAndTheChoiceIsKept) {
    const QSize panel = m_window->control()->size();
    EXPECT_FALSE(m_window->rollAction()->isChecked());
    EXPECT_FALSE(area().isVisibleTo(m_window.get()));
    EXPECT_EQ(m_window->size(), panel);
    EXPECT_TRUE(m_window->contextMenu()->actions().contains(m_window->rollAction()));

    m_window->rollAction()->trigger();
    EXPECT_TRUE(area().isVisibleTo(m_window.get()));
    EXPECT_EQ(m_window->size(), QSize(panel.width(), panel.height() + RollArea::kHeight));
    // The panel stays where it was, the roll right under it.
    EXPECT_EQ(m_window->control()->geometry(), QRect(QPoint(0, 0), panel));
    EXPECT_EQ(area().geometry().top(), panel.height());

    m_window.reset();
    m_window = std::make_unique<PlayerWindow>(m_loader);
    EXPECT_TRUE(m_window->rollAction()->isChecked());
    EXPECT_TRUE(area().isVisibleTo(m_window.get()));

    m_window->rollAction()->trigger();
    m_window.reset();
    m_window = std::make_unique<PlayerWindow>(m_loader);
    EXPECT_FALSE(m_window->rollAction()->isChecked());
    EXPECT_EQ(m_window->size(), panel);
}

TEST(TamberloSettings, AnythingButTheKeptValueReadsAsCollapsed) {
    tambolin::testing::ConfigHome config;
    ASSERT_TRUE(QDir().mkpath(profileFolder()));
    const QString file = profileFolder() + QStringLiteral("/tamberlo.ini");
    for (const char *text :
         {"[Window]\nPianoRoll=yes\n", "[Window]\nPianoRoll=10\n", "[Window]\nPianoRoll\n",
          "\x01\x02[Window\nPianoRoll=1", "[Other]\nPianoRoll=1\n"}) {
        ASSERT_TRUE(writeFileAtomically(file, QByteArray(text)));
        EXPECT_FALSE(storedRollShown()) << text;
    }
    ASSERT_TRUE(writeFileAtomically(file, QByteArray("[window]\npianoroll = 1\n")));
    EXPECT_TRUE(storedRollShown());
    EXPECT_TRUE(storeRollShown(false));
    EXPECT_FALSE(storedRollShown());
}

} // namespace
