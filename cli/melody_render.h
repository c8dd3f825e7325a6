#pragma once
// One melody through the embedded synthesizer into one sound file: the work
// `tambolin render` does for each melody it is given.

#include "cli/note_timing.h"
#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <optional>

namespace tambolin::cli {

struct RenderOptions {
    int loops = 1;                  // up to the tick on which the melody ends this often
    std::optional<Integer> program; // the instrument the player starts with (0..127)
    QString soundFont;              // empty: $TAMBOLIN_SOUNDFONT, then the system's GM font
    NoteTiming timing = NoteTiming::Due;
};

// Renders the melody in input into output, a sound file of the type its
// extension names (.wav, .flac, .ogg). Returns the exit status, with
// problem set unless 0: 2 when output names no known type or may not be
// replaced, input holds no melody, or no sound font is usable; 1 when
// output cannot be written. Nothing is left at output but a complete file.
// On the way, standard error says when the sound is cut at its 10 minutes
// and, before a long rendering, how long the sound is.
int renderMelody(const QString &input, const QString &output, const RenderOptions &options,
                 QString &problem);

// The same as a WAV stream to fd (standard output, say), which stays open.
int renderMelodyTo(const QString &input, int fd, const RenderOptions &options, QString &problem);

} // namespace tambolin::cli
