#pragma once
// What the player does to the melody store, without any widget: reading a
// file into it as the panel loads one, and timing one pass of it as the
// sequencer schedules it. The tool's commands without a control use these.

#include "platform/runtime/basic_runtime.h"

#include <QString>

namespace tambolin {

struct MOD_TAMBOLIN;

// Empties the three parts, reads the melody file at path into the store and
// marks its longest part (maxprt; of equal parts the first). Returns that
// part's note count. A file FileLoad ignores leaves the parts empty.
Integer loadIntoStore(const QString &path);

// When a part's next note is due, in milliseconds from the part's start:
// the total so far plus the played duration of a note with length code
// `code`, rounded at each note so the schedule stays anchored to its start.
Long nextNoteDue(Long soFar, Integer tempo, Integer code);

// One pass of the melody in the store, in milliseconds: the longest part by
// that schedule.
long long melodyLengthMs(const MOD_TAMBOLIN &store);

} // namespace tambolin
