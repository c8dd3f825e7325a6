// The panel's dispatch and the playback sequencer: each part plays on its own
// timer control, scheduled against that part's base time, so tick lateness
// never accumulates; the melody starts again once all three parts ended.

#include "control/checked.h"
#include "control/playctrl.h"
#include "melody/mod_tambolin.h"
#include "melody/player_store.h"
#include "platform/clock/clock.h"
#include "platform/clock/clock_ms.h"
#include "timer/org_timer.h"

#include <QAbstractButton>
#include <QLabel>
#include <algorithm>

namespace tambolin {

namespace {

// The text of a note number as a timer's id: decimal, no blanks.
QString noteId(long long n) {
    return QString::number(n);
}

// A timer id back to its note number: a decimal number rounded half to even.
Integer noteFromId(const QString &id) {
    bool ok = false;
    const double value = id.trimmed().toDouble(&ok);
    if (!ok)
        failStep();
    return cint(value);
}

// The part's base time in clock milliseconds: the timer keeps only its time
// of day, which lies less than a day before now.
std::int64_t baseMilliseconds(const OrgTimer &timer) {
    constexpr std::int64_t day = 86400000;
    const std::int64_t now = clockMilliseconds();
    const std::int64_t base =
        ((timer.BaseHour() * 60LL + timer.BaseMinute()) * 60 + timer.BaseSecond()) * 1000 +
        timer.BaseMilliSeconds();
    return now - (((now % day - base) % day + day) % day);
}

// Hands the step's due time to MidiOn and MidiOff for as long as it lives.
class NoteDue final {
public:
    NoteDue(std::optional<std::int64_t> &slot, std::optional<std::int64_t> due) : m_slot(slot) {
        m_slot = due;
    }
    ~NoteDue() { m_slot.reset(); }
    NoteDue(const NoteDue &) = delete;
    NoteDue &operator=(const NoteDue &) = delete;

private:
    std::optional<std::int64_t> &m_slot;
};

} // namespace

void PLAYCTRL::Command1_Click(Integer Index) {
    switch (Index) {
    case 1:
        playAction();
        break;
    case 2:
        stopAction();
        break;
    case 3:
        openAction();
        break;
    case 4:
        saveAction();
        break;
    case 5:
        settingsAction();
        break;
    default:
        break;
    }
}

bool PLAYCTRL::stopEnabled() const {
    // The button's own state: a host disabling the container stops nothing.
    return m_command1[1] && m_command1[1]->isEnabledTo(this);
}

bool PLAYCTRL::anyPartEnabled() const {
    for (OrgTimer *part : m_orgTimer1)
        if (part && part->Enabled != False)
            return true;
    return false;
}

void PLAYCTRL::setPanelIdle() {
    step([&] { m_command1.at(1)->setEnabled(false); });
    for (std::size_t i : {0u, 2u, 3u, 4u})
        step([&] { m_command1.at(i)->setEnabled(true); });
}

void PLAYCTRL::playAction() {
    step([&] { m_playflg = True; });
    step([&] { m_stopflg = False; });
    step([&] { m_command1.at(1)->setEnabled(true); });
    for (std::size_t i : {0u, 2u, 3u, 4u})
        step([&] { m_command1.at(i)->setEnabled(false); });
    step([&] { m_label2.at(0)->setText(QStringLiteral("0")); });
    for (Integer part = 1; part <= 3; ++part) {
        OrgTimer *timer = OrgTimer1(part);
        step([&] { checked(timer).Enabled = True; });
        step([&] { checked(timer).TimerClear(); });
        step([&] { checked(timer).Base = True; });
        step([&] { checked(timer).SetBaseTime(); });
        step([&] { mod().tmacc(part) = 0; });
        // Due before the base time: the part starts on the first tick.
        step([&] { checked(timer).TimerSet(-1, -1, -1, 0, QStringLiteral("0"), False); });
    }
    step([&] { m_playTimer->setEnabled(true); });
}

void PLAYCTRL::OrgTimer1_TimerChange(Integer Index, Integer no, const QString &id) {
    (void)no;
    const Integer part = Index;
    MOD_TAMBOLIN &m = mod();
    OrgTimer *timer = OrgTimer1(part);

    Integer e = 0;
    step([&] { e = noteFromId(id); });

    // The moment this step stands for; a stop sends its note-offs at once.
    std::optional<std::int64_t> due;
    step([&] {
        if (stopEnabled())
            due = baseMilliseconds(checked(timer)) + m.tmacc(part);
    });
    const NoteDue noteDue(m_noteDue, due);

    // The note that just ended.
    step([&] {
        if (e > 0 && m.onpary(e, part) < 30) {
            Integer kk = m.kaiary(e, part);
            MidiOff(kk);
        }
    });

    bool ends = false;
    step([&] { ends = e >= m.onpcnt(part) || !stopEnabled(); });
    if (ends) {
        step([&] { checked(timer).Enabled = False; });
        bool others = false;
        step([&] { others = anyPartEnabled() && stopEnabled(); });
        if (others)
            return;
        // The whole melody has ended; PlayTimer stays on for the restart. A
        // stop has already idled the panel: that is no end of the melody.
        bool playing = false;
        step([&] { playing = stopEnabled(); });
        setPanelIdle();
        if (playing)
            step([&] { emit melodyEnded(); });
        return;
    }

    // The next note.
    Integer n = 0;
    step([&] { n = toInteger(e + 1); });
    step([&] {
        if (part == m.maxprt)
            m_label2.at(0)->setText(QString::number(n));
    });
    bool rest = false;
    step([&] { rest = m.onpary(n, part) > 29; });
    Integer bar = part;
    if (rest) {
        Integer silent = -1;
        step([&] { meter(silent, bar); });
    } else {
        step([&] {
            Integer kk = m.kaiary(n, part);
            MidiOn(kk);
        });
        step([&] {
            Integer level = m.kaiary(n, part);
            meter(level, bar);
        });
    }
    step([&] { checked(timer).TimerClear(); });
    // Accumulated from the part's start, so the schedule stays anchored to
    // the base time.
    step([&] { m.tmacc(part) = nextNoteDue(m.tmacc(part), m.tempo, m.onpary(n, part)); });
    step([&] { checked(timer).TimerSet(0, 0, 0, m.tmacc(part), noteId(n), False); });
}

void PLAYCTRL::stopAction() {
    setPanelIdle();
    step([&] { m_playTimer->setEnabled(false); });
    for (Integer part = 1; part <= 3; ++part) {
        OrgTimer *timer = OrgTimer1(part);
        step([&] {
            if (checked(timer).Enabled == False)
                return;
            // The sounding note's end: with stop disabled, the step sends
            // its note-off and ends the part.
            Long hh = 0, mn = 0, ss = 0, ms = 0;
            QString id;
            Integer chk = 0;
            Integer timerno = 1;
            checked(timer).TimerGet(timerno, hh, mn, ss, ms, id, chk);
            OrgTimer1_TimerChange(part, 1, id);
        });
        step([&] {
            Integer silent = -1;
            Integer bar = part;
            meter(silent, bar);
        });
    }
    step([&] { m_stopflg = True; });
    step([&] { m_playflg = False; });
}

void PLAYCTRL::PlayTimer_Timer() {
    for (Integer part = 1; part <= 3; ++part) {
        OrgTimer *timer = OrgTimer1(part);
        step([&] { checked(timer).TimerProc(); });
    }
    step([&] {
        if (!stopEnabled() && m_stopflg == False)
            Command1_Click(1);
    });
    step([&] { restPlayTimer(); });
}

// Most ticks find nothing due: the timer may sleep through them, up to the
// earliest moment at which a part can fire or the date changes, so a
// playing melody does not wake the process a hundred times a second. The
// ticks that do run are the ones that would have run anyway.
void PLAYCTRL::restPlayTimer() {
    // A stopped panel restarts the melody on the next tick.
    if (!stopEnabled() || m_stopflg != False || !m_playTimer->isEnabled())
        return;
    std::optional<std::int64_t> quiet;
    for (Integer part = 1; part <= 3; ++part) {
        const OrgTimer *timer = OrgTimer1(part);
        const std::optional<std::int64_t> next =
            timer ? timer->nextEventMilliseconds() : std::nullopt;
        if (!next)
            return;
        quiet = quiet ? std::min(*quiet, *next) : *next;
    }
    if (quiet)
        m_playTimer->restUntil(*quiet);
}

} // namespace tambolin
