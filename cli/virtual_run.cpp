#include "cli/virtual_run.h"

#include "cli/headless_control.h"
#include "cli/melody_io.h"
#include "platform/clock/virtual_clock.h"
#include "platform/midi/midi_recorder.h"
#include "platform/services/services.h"

#include <QTimeZone>
#include <algorithm>

namespace tambolin::cli {

namespace {

constexpr std::int64_t msPerDay = 86'400'000;

// A wall-clock reading in milliseconds from a fixed origin; the virtual
// clock knows no time zones, so neither does this.
std::int64_t wallMs(const QDate &date, std::int64_t msOfDay) {
    return date.toJulianDay() * msPerDay + msOfDay;
}

std::int64_t wallMs(const SYSTEMTIME &t) {
    const QDate date(t.wYear, t.wMonth, t.wDay);
    return wallMs(date, ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * 1000LL + t.wMilliseconds);
}

} // namespace

QDateTime defaultStart() {
    return QDateTime(QDate(2026, 1, 1), QTime(12, 0), QTimeZone::utc());
}

VirtualRun loopsRun(int loops, std::int64_t capMs) {
    VirtualRun run;
    run.endsWanted = loops;
    run.lastTick = capMs;
    run.stopAt = capMs;
    return run;
}

bool runVirtual(const QString &melody, const VirtualRun &run, VirtualRunResult &result,
                QString &problem) {
    if (!checkMelodyFile(melody, problem))
        return false;
    const QDateTime start = run.start.isValid() ? run.start : defaultStart();
    VirtualClock clock(start);
    const auto recorder = std::make_shared<MidiRecorder>();
    Services chosen;
    chosen.clock = &clock;
    chosen.midiDevices = {{recorder}};
    const ScopedServices services(std::move(chosen));
    MidiChoices choices;
    if (run.program)
        choices.instrument = *run.program;
    const std::unique_ptr<HeadlessControl> headless =
        HeadlessControl::create("run", choices, problem);
    if (!headless)
        return false;
    Player &player = headless->player();
    player.load(melody);
    player.play();

    const std::int64_t until = run.stopAt ? std::min(*run.stopAt, run.lastTick) : run.lastTick;
    bool ended = false;
    // One step per due tick, so that the run can end with the tick it wants.
    while (!ended) {
        const std::optional<std::int64_t> next = clock.nextTickIn();
        if (!next || clock.elapsed() + *next > until)
            break;
        clock.advance(*next);
        ended = run.endsWanted > 0 && player.ends() >= run.endsWanted;
    }
    result = {};
    if (!ended && run.stopAt && *run.stopAt <= run.lastTick) {
        clock.advance(*run.stopAt - clock.elapsed());
        player.stop();
        result.stopped = true;
    }
    result.endMs = clock.elapsed();
    result.melodyEnds = player.ends();

    // Read before the control ends: its reset at the end is no part of the run.
    const std::int64_t origin = wallMs(start.date(), start.time().msecsSinceStartOfDay());
    for (const RecordedMidiMessage &m : recorder->messages())
        result.messages.push_back({wallMs(m.time) - origin, m.word,
                                   m.dueMs ? std::optional(*m.dueMs - origin) : std::nullopt});
    return true;
}

} // namespace tambolin::cli
