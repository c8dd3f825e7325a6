// The sequencer hands each note's due time (base time plus the part's
// accumulated schedule) to the MIDI output along with the words it always
// sent; a stop sends its note-offs for at once.

#include "control/control_fixture.h"

#include "platform/midi/midi_backend.h"

#include <mutex>
#include <optional>

namespace tambolin::testing {
namespace {

struct DueSent {
    DWORD word;
    std::optional<std::int64_t> dueMs; // from the virtual start
    bool operator==(const DueSent &) const = default;
};

std::ostream &operator<<(std::ostream &os, const DueSent &s) {
    os << std::hex << std::uppercase << s.word << std::dec << " @";
    return s.dueMs ? os << *s.dueMs : os << "now";
}

// A device that keeps the due time each message came with.
class DueRecorder final : public MidiBackend {
public:
    explicit DueRecorder(std::int64_t startMs) : m_startMs(startMs) {}
    std::vector<MidiDeviceInfo> devices() override { return {{"due recorder", MOD_MIDIPORT}}; }
    MMRESULT open(const std::string &, std::unique_ptr<MidiPort> &port) override {
        port = std::make_unique<Port>(*this);
        return MMSYSERR_NOERROR;
    }
    std::vector<DueSent> sent() {
        std::lock_guard lock(m_mutex);
        return m_sent;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_sent.clear();
    }

private:
    class Port final : public MidiPort {
    public:
        explicit Port(DueRecorder &owner) : m_owner(owner) {}
        MMRESULT shortMsg(DWORD word) override { return m_owner.add(word, std::nullopt); }
        MMRESULT shortMsgAt(DWORD word, std::int64_t dueMs) override {
            return m_owner.add(word, dueMs - m_owner.m_startMs);
        }
        MMRESULT reset() override { return MMSYSERR_NOERROR; }

    private:
        DueRecorder &m_owner;
    };
    MMRESULT add(DWORD word, std::optional<std::int64_t> due) {
        std::lock_guard lock(m_mutex);
        m_sent.push_back({word, due});
        return MMSYSERR_NOERROR;
    }

    std::int64_t m_startMs;
    std::mutex m_mutex;
    std::vector<DueSent> m_sent;
};

class NoteDueTest : public ControlTest {
protected:
    explicit NoteDueTest(const QDateTime &start = QDateTime(QDate(2026, 1, 1), QTime(12, 0)))
        : ControlTest(start) {
        const QDate d = start.date();
        const QTime t = start.time();
        const std::int64_t startMs = ((d.toJulianDay() * 24 + t.hour()) * 60 + t.minute()) * 60000 +
                                     t.second() * 1000 + t.msec();
        m_due = std::make_shared<DueRecorder>(startMs);
        setMidiBackends({m_due});
    }
    PLAYCTRL &loaded(Integer tempo, const std::vector<std::vector<Note>> &parts) {
        PLAYCTRL &ctrl = makeControl();
        setMelody(tempo, parts);
        m_due->clear();
        return ctrl;
    }
    std::shared_ptr<DueRecorder> m_due;
};

TEST_F(NoteDueTest, NotesCarryBaseTimePlusScheduleWhileTheTicksStayOnTheirGrid) {
    // Quarter notes at tempo 0 (396 ms), a rest, and a second part of one
    // dotted eighth (297 ms): due times fall between the 10 ms ticks.
    PLAYCTRL &ctrl = loaded(0, {{{2, 0}, {32, 0}, {2, 4}}, {{13, 7}}});
    runTo(5);
    setPlay(ctrl, true); // base 5; ticks at 15, 25, ...
    runTo(1210);
    // The restart at the tick of 1195 takes that tick as its new base.
    EXPECT_EQ(m_due->sent(), (std::vector<DueSent>{{noteOn(0), 5},
                                                   {noteOn(7), 5},
                                                   {noteOff(7), 302},
                                                   {noteOff(0), 401},
                                                   {noteOn(4), 797},
                                                   {noteOff(4), 1193},
                                                   {noteOn(0), 1195},
                                                   {noteOn(7), 1195}}));
}

TEST_F(NoteDueTest, StopSendsItsNoteOffsWithoutADueTime) {
    PLAYCTRL &ctrl = loaded(0, {{{2, 0}, {2, 4}}});
    setPlay(ctrl, true);
    runTo(500);
    setPlay(ctrl, false);
    const std::vector<DueSent> got = m_due->sent();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[2], (DueSent{noteOn(4), 396}));
    EXPECT_EQ(got[3], (DueSent{noteOff(4), std::nullopt}));
    // Automation calls outside a step carry none either.
    Integer kk = 3;
    ctrl.MidiOn(kk);
    EXPECT_EQ(m_due->sent().back(), (DueSent{noteOn(3), std::nullopt}));
}

class NoteDueAcrossMidnight : public NoteDueTest {
protected:
    NoteDueAcrossMidnight() : NoteDueTest(QDateTime(QDate(2026, 1, 1), QTime(23, 59, 59, 700))) {}
};

TEST_F(NoteDueAcrossMidnight, DueTimesKeepCountingIntoTheNextDay) {
    PLAYCTRL &ctrl = loaded(0, {{{2, 0}, {2, 4}}});
    setPlay(ctrl, true); // base 23:59:59.700
    runTo(420);
    const std::vector<DueSent> got = m_due->sent();
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got[0], (DueSent{noteOn(0), 0}));
    EXPECT_EQ(got[1], (DueSent{noteOff(0), 396}));
    EXPECT_EQ(got[2], (DueSent{noteOn(4), 396}));
}

} // namespace
} // namespace tambolin::testing
