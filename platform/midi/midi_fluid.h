#pragma once
// What the live synthesizer and the offline renderer share: owning
// FluidSynth handles, the General MIDI sound font lookup, and feeding one
// short message to a synthesizer.

#include "platform/midi/midi_mmsystem.h"

#include <fluidsynth.h>
#include <memory>
#include <string>

namespace tambolin::fluid {

struct SettingsDeleter {
    void operator()(fluid_settings_t *s) const { delete_fluid_settings(s); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t *s) const { delete_fluid_synth(s); }
};
struct DriverDeleter {
    void operator()(fluid_audio_driver_t *d) const { delete_fluid_audio_driver(d); }
};
using Settings = std::unique_ptr<fluid_settings_t, SettingsDeleter>;
using Synth = std::unique_ptr<fluid_synth_t, SynthDeleter>;
using AudioDriver = std::unique_ptr<fluid_audio_driver_t, DriverDeleter>;

// Environment variable naming the sound font to use instead of the search.
inline constexpr const char *soundFontVariable = "TAMBOLIN_SOUNDFONT";

// The sound font to load: $TAMBOLIN_SOUNDFONT when set, else the small
// General MIDI font by its own path, else the system's default GM font.
// Empty when none is readable.
std::string findSoundFont();

// A synthesizer with its settings and the sound font loaded.
struct Instrument {
    Settings settings;
    Synth synth;
};
enum class InstrumentResult { Ok, NoSoundFont, BadSoundFont, NoMemory };
// How the sound font's samples come into memory: all of them at once, or
// each instrument's when a channel first selects it (less memory, but a
// program change then reads the file, which a live stream cannot wait for).
enum class SampleLoading { AllAtOnce, OnDemand };
InstrumentResult makeInstrument(Instrument &out, double sampleRate, const std::string &soundFont,
                                SampleLoading loading = SampleLoading::AllAtOnce);
// A readable reason for a failed makeInstrument.
std::string describe(InstrumentResult result, const std::string &soundFont);

// Plays one complete short message; messages the synthesizer has no use
// for are ignored.
void play(fluid_synth_t *synth, DWORD word);

} // namespace tambolin::fluid
