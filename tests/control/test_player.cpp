#include "control_fixture.h"
#include "panel_rig.h"

#include "control/frm_tboset.h"
#include "control/player.h"
#include "control/title_label.h"
#include "melody/player_store.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTemporaryDir>

namespace tambolin::testing {
namespace {

using Seq = std::vector<Sent>;

class PlayerTest : public ControlTest {
protected:
    Player &makePlayer(const MidiChoices &choices = {}) {
        m_player = std::make_unique<Player>(choices);
        QObject::connect(m_player.get(), &Player::melodyEnded, m_player.get(),
                         [this] { m_endTimes.push_back(now()); });
        return *m_player;
    }
    // A melody file of quarter notes at tempo 1 (475.2 ms each), pitches
    // climbing from 0 in every part.
    QString melodyFile(const QString &title, const std::vector<int> &counts) {
        const QString path = m_dir.filePath(QStringLiteral("song.tbn"));
        EXPECT_TRUE(writeMelodyFile(path, title, counts));
        return path;
    }

    QTemporaryDir m_dir;
    std::vector<std::int64_t> m_endTimes;
    std::unique_ptr<Player> m_player; // ends before the settings folder goes
};

TEST_F(PlayerTest, LoadShowsTheMelodyAndTimesOnePassOfItsLongestPart) {
    Player &player = makePlayer();
    EXPECT_FALSE(player.control().Command1(1)->isEnabled());
    player.load(melodyFile(QStringLiteral("TWO PARTS"), {1, 3}));
    EXPECT_EQ(player.title(), QStringLiteral("TWO PARTS"));
    EXPECT_EQ(partCounts(), (std::vector<int>{1, 3, 0}));
    EXPECT_EQ(mod().maxprt, 2);
    EXPECT_TRUE(player.control().Command1(1)->isEnabled());
    // 475.2 ms a note, the total rounded at each note: 475, 950, 1425.
    EXPECT_EQ(player.lengthMs(), 1425);

    // A file that does not read leaves no part of the last melody behind.
    player.load(m_dir.filePath(QStringLiteral("missing.tbn")));
    EXPECT_EQ(partCounts(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(player.lengthMs(), 0);
}

TEST_F(PlayerTest, LengthRoundsHalvesToEvenAtEachNoteAsTheSequencerDoes) {
    Player &player = makePlayer();
    // Dotted sixteenths at tempo 0: 148.5 ms each, scheduled at 148, 296,
    // 444, 592; rounding halves up would give 594.
    setMelody(0, {{{14, 0}, {14, 1}, {14, 2}, {14, 3}}, {{2, 5}}});
    EXPECT_EQ(player.lengthMs(), 592);
    EXPECT_EQ(melodyLengthMs(mod()), 592);
    player.play();
    runTo(700);
    // The part ends on the first tick at or after its length.
    EXPECT_EQ(m_endTimes, (std::vector<std::int64_t>{600}));
}

TEST_F(PlayerTest, MelodyEndsOncePerPassAndPlaysAgain) {
    Player &player = makePlayer();
    player.load(melodyFile(QStringLiteral("LOOP"), {1, 3}));
    clearSent();
    player.play();
    EXPECT_TRUE(player.isPlaying());
    runTo(1440);
    EXPECT_EQ(m_endTimes, (std::vector<std::int64_t>{1430}));
    // The part that ends first is no end of the melody; the restart plays
    // the first notes again on the tick after the end.
    EXPECT_EQ(sent(), (Seq{{10, noteOn(0)},
                           {10, noteOn(0)},
                           {480, noteOff(0)},
                           {480, noteOff(0)},
                           {480, noteOn(1)},
                           {950, noteOff(1)},
                           {950, noteOn(2)},
                           {1430, noteOff(2)},
                           {1440, noteOn(0)},
                           {1440, noteOn(0)}}));
    runTo(4300);
    EXPECT_EQ(m_endTimes, (std::vector<std::int64_t>{1430, 2860, 4290}));
    EXPECT_EQ(player.ends(), 3);
    EXPECT_TRUE(player.isPlaying());
}

TEST_F(PlayerTest, StopIsNoEndAndSilencesTheSoundingNote) {
    Player &player = makePlayer();
    player.load(melodyFile(QStringLiteral("STOPPED"), {1, 3}));
    player.play();
    runTo(500);
    clearSent();
    player.stop();
    EXPECT_EQ(words(), (std::vector<DWORD>{noteOff(1)}));
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(player.control().Command1(1)->isEnabled());
    EXPECT_FALSE(player.control().Command1(2)->isEnabled());
    runTo(5000);
    EXPECT_EQ(words(), (std::vector<DWORD>{noteOff(1)})); // nothing plays after the stop
    EXPECT_TRUE(m_endTimes.empty());
    EXPECT_EQ(player.ends(), 0);
}

TEST_F(PlayerTest, AStoppedPlayerWakesForNothing) {
    // No panel to show: the marquee rests after its first tick, and with
    // the play timer off no timer of the control runs at all.
    Player &player = makePlayer();
    player.load(melodyFile(QStringLiteral("QUIET"), {2}));
    player.play();
    runTo(1200);
    player.stop();
    runTo(1300);
    EXPECT_FALSE(player.control().Timer1()->isEnabled());
    EXPECT_FALSE(m_clock.nextTickIn());
    // Shown after all, it scrolls again from where it would have been.
    const int restingAt = player.control().Label1()->x();
    player.control().show();
    EXPECT_TRUE(player.control().Timer1()->isEnabled());
    EXPECT_LT(player.control().Label1()->x(), restingAt);
    player.control().hide();
}

TEST_F(PlayerTest, StartsOnTheChosenDeviceWithTheChosenInstrument) {
    useDevices({"Alpha", "Beta"});
    Player &player = makePlayer({2, 40});
    ASSERT_EQ(m_recorder->messages().size(), 1u);
    EXPECT_EQ(m_recorder->messages()[0].device, "Beta");
    EXPECT_EQ(m_recorder->messages()[0].word, DWORD{0x28C0});
    EXPECT_EQ(player.midiDevice(), 2);
    EXPECT_EQ(player.midiDeviceText(), QStringLiteral("2: Beta"));
    EXPECT_EQ(player.instrument(), 40);
    EXPECT_EQ(player.instrumentText(), QStringLiteral("041: Violin"));
    EXPECT_TRUE(m_boxes.calls().empty());
}

TEST_F(PlayerTest, ChoosingADeviceOrInstrumentActsAtOnceAndUnknownEntriesChangeNothing) {
    useDevices({"Alpha", "Beta"});
    Player &player = makePlayer({2, 0});
    player.setMidiDevice(1);
    player.setInstrument(5);
    player.setMidiDevice(3);  // no such entry
    player.setInstrument(-1); // nor this
    player.setInstrument(128);
    setMelody(0, {{{2, 7}}});
    clearSent();
    player.play();
    runTo(10);
    ASSERT_EQ(m_recorder->messages().size(), 1u);
    EXPECT_EQ(m_recorder->messages()[0].device, "Alpha");
    EXPECT_EQ(m_recorder->messages()[0].word, noteOn(7));
    EXPECT_EQ(player.midiDevice(), 1);
    EXPECT_EQ(player.instrument(), 5);
    // The settings form shows the choices, as if the user had made them there.
    EXPECT_EQ(player.control().settingsForm()->cmbOutDevice()->currentIndex(), 1);
    EXPECT_TRUE(m_boxes.calls().empty());
}

TEST_F(PlayerTest, ANewInstrumentGoesToTheDeviceOpenNow) {
    useDevices({"Alpha", "Beta"});
    Player &player = makePlayer({1, 0});
    clearSent();
    player.setMidiDevice(2);
    player.setInstrument(5);
    ASSERT_EQ(m_recorder->messages().size(), 1u);
    EXPECT_EQ(m_recorder->messages()[0].device, "Beta");
    EXPECT_EQ(m_recorder->messages()[0].word, DWORD{0x05C0});
}

} // namespace
} // namespace tambolin::testing
