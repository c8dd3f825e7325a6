#include "control_fixture.h"

#include "control/picture_box.h"
#include "timer/org_timer.h"

#include <QAbstractButton>
#include <QLabel>

namespace tambolin::testing {
namespace {

using Seq = std::vector<Sent>;

class Sequencer : public ControlTest {
protected:
    // A control with the melody in the store, its start-up messages cleared.
    PLAYCTRL &loaded(Integer tempo, const std::vector<std::vector<Note>> &parts) {
        PLAYCTRL &ctrl = makeControl();
        setMelody(tempo, parts);
        clearSent();
        return ctrl;
    }
    // The due offset (ms from the base time) and id of a part's one timer.
    std::pair<Long, QString> scheduled(PLAYCTRL &ctrl, int part) {
        Long hh = -9, mn = -9, ss = -9, ms = -9;
        QString id;
        Integer chk = 0;
        EXPECT_EQ(ctrl.OrgTimer1(part)->TimerGet(1, hh, mn, ss, ms, id, chk), 1);
        return {((hh * 60 + mn) * 60 + ss) * 1000 + ms, id};
    }
    static bool enabled(PLAYCTRL &ctrl, int button) { return ctrl.Command1(button)->isEnabled(); }
};

TEST_F(Sequencer, QuarterNotesAtTempoZeroFollowTheBaseTime) {
    PLAYCTRL &ctrl = loaded(0, {{{2, 0}, {2, 4}}});
    runTo(5);
    setPlay(ctrl, true); // base time = start + 5 ms; PlayTimer ticks at 15, 25, ...
    EXPECT_EQ(ctrl.Play(), True);

    runTo(15);
    EXPECT_EQ(scheduled(ctrl, 1), std::make_pair(Long{396}, QStringLiteral("1")));
    runTo(405);
    EXPECT_EQ(scheduled(ctrl, 1), std::make_pair(Long{792}, QStringLiteral("2")));
    // Due at base + 396 = 401 and base + 792 = 797: the ticks at 405 and 805,
    // not 15 + 396 as a schedule counted from the first tick would give.
    runTo(815);
    EXPECT_EQ(sent(), (Seq{{15, noteOn(0)},
                           {405, noteOff(0)},
                           {405, noteOn(4)},
                           {805, noteOff(4)},
                           {815, noteOn(0)}}));
}

TEST_F(Sequencer, ScheduleAccumulatesRoundedDurationsHalfToEven) {
    // Dotted eighth then triplet quarters at tempo 1: 356.4, 316.8, 316.8.
    PLAYCTRL &ctrl = loaded(1, {{{13, 0}, {22, 1}, {22, 2}, {2, 3}}});
    setPlay(ctrl, true);
    runTo(10);
    EXPECT_EQ(mod().tmacc(1), 356);
    runTo(360);
    EXPECT_EQ(mod().tmacc(1), 673); // 356 + 316.8 = 672.8
    runTo(680);
    EXPECT_EQ(mod().tmacc(1), 990); // 673 + 316.8 = 989.8
}

TEST_F(Sequencer, ExactHalvesRoundToEven) {
    // A dotted sixteenth at tempo 0 plays 148.5 ms: the schedule runs
    // 148, 296 (296.5), 444 (444.5), where rounding halves up would give 149, 298, 447.
    PLAYCTRL &ctrl = loaded(0, {{{14, 0}, {14, 0}, {14, 0}, {14, 0}}});
    setPlay(ctrl, true);
    std::vector<Long> schedule;
    for (std::int64_t t = 10; t <= 460; t += 10) {
        runTo(t);
        if (schedule.empty() || schedule.back() != mod().tmacc(1))
            schedule.push_back(mod().tmacc(1));
    }
    EXPECT_EQ(schedule, (std::vector<Long>{148, 296, 444, 592}));
}

TEST_F(Sequencer, RestsSendNothingAndBlankTheMeter) {
    PLAYCTRL &ctrl = loaded(0, {{{2, 3}, {32, 7}, {2, 5}}});
    setPlay(ctrl, true);
    runTo(400); // the rest begins
    EXPECT_EQ(ctrl.Picture3(0)->grab().toImage().pixelColor(0, 1), QColor(Qt::black));
    runTo(1300);
    EXPECT_EQ(sent(), (Seq{{10, noteOn(3)},
                           {400, noteOff(3)},
                           // the rest ends at 792 without a note-off
                           {800, noteOn(5)},
                           {1190, noteOff(5)},
                           {1200, noteOn(3)}}));
}

TEST_F(Sequencer, UnitsDigitsBeyondSixteenthLastNoTime) {
    PLAYCTRL &ctrl = loaded(0, {{{5, 0}, {19, 1}, {2, 2}}});
    setPlay(ctrl, true);
    runTo(60);
    // Each zero-length note is due at once, so the next follows on the next tick.
    const Seq expected{
        {10, noteOn(0)}, {20, noteOff(0)}, {20, noteOn(1)}, {30, noteOff(1)}, {30, noteOn(2)}};
    EXPECT_EQ(sent(), expected);
}

TEST_F(Sequencer, MelodyRestartsOnlyAfterTheLongestPart) {
    PLAYCTRL &ctrl = loaded(0, {{{2, 0}}, {{2, 10}, {2, 11}}, {}});
    setPlay(ctrl, true);
    runTo(400);
    // Part 1 has ended and fallen silent; part 2 plays on.
    EXPECT_FALSE(ctrl.OrgTimer1(1)->Enabled);
    EXPECT_TRUE(ctrl.OrgTimer1(2)->Enabled);
    EXPECT_TRUE(enabled(ctrl, 2));
    runTo(810);
    EXPECT_EQ(sent(), (Seq{{10, noteOn(0)},
                           {10, noteOn(10)},
                           {400, noteOff(0)},
                           {400, noteOff(10)},
                           {400, noteOn(11)},
                           {800, noteOff(11)},
                           {810, noteOn(0)},
                           {810, noteOn(10)}}));
}

TEST_F(Sequencer, RestartHappensInTheTickTheMelodyEnds) {
    PLAYCTRL &ctrl = loaded(0, {{{2, 0}}});
    setPlay(ctrl, true);
    runTo(400);
    // The ended state lasts only inside the tick: playing again at once.
    EXPECT_EQ(ctrl.Play(), True);
    EXPECT_TRUE(enabled(ctrl, 2));
    EXPECT_FALSE(enabled(ctrl, 1));
    EXPECT_EQ(scheduled(ctrl, 1), std::make_pair(Long{-7261000}, QStringLiteral("0")));
    EXPECT_EQ(ctrl.OrgTimer1(1)->BaseMilliSeconds(), 400);
}

TEST_F(Sequencer, PlayWithNothingLoadedLoopsSilentlyUntilStopped) {
    PLAYCTRL &ctrl = loaded(1, {});
    EXPECT_FALSE(enabled(ctrl, 1)); // the button is off, the property still plays
    setPlay(ctrl, true);
    runTo(500);
    EXPECT_EQ(ctrl.Play(), True);
    EXPECT_TRUE(enabled(ctrl, 2));
    EXPECT_TRUE(ctrl.PlayTimer()->isEnabled());
    setPlay(ctrl, false);
    runTo(1000);
    EXPECT_EQ(ctrl.Play(), False);
    EXPECT_EQ(ctrl.stopflg(), True);
    EXPECT_FALSE(ctrl.PlayTimer()->isEnabled());
    EXPECT_TRUE(sent().empty());
}

TEST_F(Sequencer, StopSilencesEverySoundingNoteAndStaysStopped) {
    PLAYCTRL &ctrl = loaded(0, {{{0, 0}}, {{0, 12}}, {{33, 0}, {0, 24}}});
    setPlay(ctrl, true);
    runTo(100);
    clearSent();
    setPlay(ctrl, false);
    // Parts 1 and 2 sound; part 3 is resting, so it has nothing to silence.
    EXPECT_EQ(words(), (std::vector<DWORD>{noteOff(0), noteOff(12)}));
    for (int bar = 0; bar < 3; ++bar) {
        const QImage img = ctrl.Picture3(bar)->grab().toImage();
        EXPECT_EQ(img.pixelColor(0, 1), QColor(Qt::black)) << bar;
        EXPECT_EQ(img.pixelColor(142, 1), QColor(Qt::black)) << bar;
    }
    EXPECT_TRUE(enabled(ctrl, 1));
    EXPECT_FALSE(enabled(ctrl, 2));
    EXPECT_TRUE(enabled(ctrl, 3));
    EXPECT_TRUE(enabled(ctrl, 4));
    EXPECT_TRUE(enabled(ctrl, 5));
    runTo(5000);
    EXPECT_EQ(words().size(), 2u);
    EXPECT_EQ(ctrl.Play(), False);
}

TEST_F(Sequencer, PlayPropertyActsOnlyOnAChange) {
    PLAYCTRL &ctrl = loaded(0, {{{2, 0}, {2, 1}}});
    setPlay(ctrl, false); // not playing: nothing
    EXPECT_EQ(ctrl.stopflg(), False);
    setPlay(ctrl, true);
    runTo(200);
    setPlay(ctrl, true); // playing: the schedule keeps its base
    runTo(400);
    EXPECT_EQ(sent(), (Seq{{10, noteOn(0)}, {400, noteOff(0)}, {400, noteOn(1)}}));
}

TEST_F(Sequencer, TimerIdsCountTheNotes) {
    PLAYCTRL &ctrl = loaded(0, {{{4, 0}, {4, 1}, {4, 2}}});
    setPlay(ctrl, true);
    EXPECT_EQ(scheduled(ctrl, 1).second, QStringLiteral("0"));
    QStringList ids;
    for (std::int64_t t = 10; t <= 310; t += 10) {
        runTo(t);
        const QString id = scheduled(ctrl, 1).second;
        if (ids.isEmpty() || ids.back() != id)
            ids << id;
    }
    EXPECT_EQ(ids, (QStringList{"1", "2", "3", "0", "1"}));
}

TEST_F(Sequencer, LongestPartShowsItsNoteNumber) {
    PLAYCTRL &ctrl = loaded(0, {{{2, 0}}, {{4, 0}, {4, 1}, {4, 2}}});
    mod().maxprt = 2;
    setPlay(ctrl, true);
    EXPECT_EQ(ctrl.Label2(0)->text(), QStringLiteral("0"));
    runTo(150);
    EXPECT_EQ(ctrl.Label2(0)->text(), QStringLiteral("2"));
}

TEST_F(Sequencer, HidingTheControlStopsIt) {
    PLAYCTRL &ctrl = loaded(0, {{{0, 0}}});
    ctrl.show();
    setPlay(ctrl, true);
    runTo(50);
    ctrl.hide();
    EXPECT_EQ(ctrl.Play(), False);
    EXPECT_EQ(words().back(), noteOff(0));
}

class MidnightTest : public ControlTest {
protected:
    MidnightTest() : ControlTest(QDateTime(QDate(2026, 1, 1), QTime(23, 59, 59, 0))) {}
};

TEST_F(MidnightTest, NotesBeyondMidnightAreDueAtOnce) {
    PLAYCTRL &ctrl = makeControl();
    setMelody(0, {{{2, 0}, {2, 1}, {2, 2}, {2, 3}, {2, 4}}});
    clearSent();
    Boolean on = True;
    ctrl.setPlay(on);
    runTo(845);
    // Note 4 is due at base + 1188 = 00:00:00.188 of the next day: wrapped
    // into the small hours it compares as already due, on the tick after note 3.
    EXPECT_EQ(sent(), (Seq{{10, noteOn(0)},
                           {400, noteOff(0)},
                           {400, noteOn(1)},
                           {800, noteOff(1)},
                           {800, noteOn(2)},
                           {810, noteOff(2)},
                           {810, noteOn(3)},
                           {820, noteOff(3)},
                           {820, noteOn(4)},
                           {830, noteOff(4)},
                           {840, noteOn(0)}}));
}

TEST_F(MidnightTest, DateChangeTickExaminesNoTimer) {
    PLAYCTRL &ctrl = makeControl();
    setMelody(0, {{{2, 0}, {2, 1}, {2, 2}, {2, 3}, {2, 4}}});
    clearSent();
    Boolean on = True;
    ctrl.setPlay(on);
    runTo(3000);
    // Every pass before midnight races through its wrapped due times, one
    // note a tick, restarting at 830, 890 and 950. The fourth pass reaches
    // note 3 at 990; its end, 00:00:01.534, would have been due at once on
    // the tick at 1000, but that tick only changes the date, and from then on
    // the due time compares with the new day's times and waits until 2534.
    std::vector<std::int64_t> onsets;
    for (const Sent &s : sent())
        if ((s.word & 0xF0) == 0x90)
            onsets.push_back(s.ms);
    const std::vector<std::int64_t> fourthPass{960, 970, 980, 990, 2540};
    ASSERT_GE(onsets.size(), 20u);
    EXPECT_EQ(std::vector<std::int64_t>(onsets.begin() + 15, onsets.begin() + 20), fourthPass);
    // Note 4 ends at base 23:59:59.950 + 1980 ms = 00:00:01.930.
    ASSERT_GE(sent().size(), 40u);
    EXPECT_EQ(sent()[39], (Sent{2930, noteOff(4)}));
}

} // namespace
} // namespace tambolin::testing
