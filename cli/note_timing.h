#pragma once
// Where `render` and `export` place the messages of a run: at the moments
// the melody means them (their due times, the default) or on the ticks that
// sent them (`--timing tick`, the 10 ms grid of the player's timer).

#include "cli/options.h"
#include "cli/virtual_run.h"

#include <QString>
#include <vector>

namespace tambolin::cli {

enum class NoteTiming { Due, Tick };

// The value of --timing (due or tick; due when not given). False, with a
// message, for any other value.
bool timingOption(const Options &options, NoteTiming &out, QString &problem);

// The messages with their times as timing asks. Due times never move a
// message before one sent ahead of it, so the order stays the sending order;
// messages without a due time (start-up, stop) keep their tick.
std::vector<TimedWord> placed(const std::vector<TimedWord> &messages, NoteTiming timing);

} // namespace tambolin::cli
