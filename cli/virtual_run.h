#pragma once
// One run of the player control on a virtual clock, with the recording MIDI
// device as its only device and nothing stored: the control starts, the
// melody is loaded as the panel loads it, the play action runs at virtual
// time 0, and every short message is kept with its time. What `trace`
// prints and `export` and `render` write.

#include "platform/midi/midi_mmsystem.h"
#include "platform/runtime/basic_runtime.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tambolin::cli {

struct TimedWord {
    std::int64_t ms; // virtual milliseconds since the play action
    DWORD word;
    std::optional<std::int64_t> dueMs; // when the melody means it, likewise; none: at once
};

struct VirtualRun {
    QDateTime start;                    // the wall-clock time of the play action; invalid:
                                        // defaultStart()
    std::int64_t lastTick = 20000;      // every tick at or before this time runs
    std::optional<std::int64_t> stopAt; // the stop action, after every tick at or before it
    std::optional<Integer> program;     // the instrument the control finds stored (0..127)
    int endsWanted = 0;                 // > 0: the run ends with the tick of this end
};

struct VirtualRunResult {
    std::vector<TimedWord> messages; // in sending order; start-up messages first, at 0
    std::int64_t endMs = 0;          // where virtual time stood at the end of the run
    int melodyEnds = 0;              // how often the melody ended on its own
    bool stopped = false;            // the stop action ran
};

// 2026-01-01 12:00:00.000.
QDateTime defaultStart();

// False, with a message, when the file holds no melody or the control
// cannot be run without the user's settings.
bool runVirtual(const QString &melody, const VirtualRun &run, VirtualRunResult &result,
                QString &problem);

// A run that ends with the tick of the loops-th end of the melody, or is
// stopped at capMs (then result.stopped).
VirtualRun loopsRun(int loops, std::int64_t capMs);

} // namespace tambolin::cli
