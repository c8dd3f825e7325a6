#include "platform/midi/midi_quiet.h"

#include <alsa/asoundlib.h>
#include <cstdlib>
#include <fluidsynth.h>
#include <jack/jack.h>
#include <mutex>

namespace tambolin {

namespace {

void quietJack(const char *) {}

void quietAlsa(const char *, int, const char *, int, const char *, ...) {}

void quietFluid(int, const char *, void *) {}

} // namespace

void quietMidiLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Starting a server would try the sound card for seconds and then
        // leave a stray process; a user who runs JACK starts it themselves.
        setenv("JACK_NO_START_SERVER", "1", 0);
        jack_set_error_function(quietJack);
        jack_set_info_function(quietJack);
        snd_lib_error_set_handler(quietAlsa);
        for (int level = 0; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, quietFluid, nullptr);
    });
}

} // namespace tambolin
