#include "platform/midi/midi_fluid.h"

#include "platform/midi/midi_message.h"
#include "platform/midi/midi_quiet.h"

#include <cstdlib>
#include <unistd.h>

namespace tambolin::fluid {

namespace {

bool readable(const std::string &path) {
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

} // namespace

std::string findSoundFont() {
    if (const char *chosen = std::getenv(soundFontVariable); chosen && *chosen)
        return readable(chosen) ? std::string(chosen) : std::string();
    // The small font first by its own path: the alternatives link may
    // point at a far larger one that takes seconds to load.
    for (const char *path :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
          "/usr/share/sounds/sf3/default-GM.sf3"}) {
        if (readable(path))
            return path;
    }
    return {};
}

InstrumentResult makeInstrument(Instrument &out, double sampleRate, const std::string &soundFont,
                                SampleLoading loading) {
    quietMidiLibraries();
    if (soundFont.empty())
        return InstrumentResult::NoSoundFont;
    Settings settings(new_fluid_settings());
    if (!settings)
        return InstrumentResult::NoMemory;
    fluid_settings_setnum(settings.get(), "synth.sample-rate", sampleRate);
    if (loading == SampleLoading::OnDemand)
        fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);
    Synth synth(new_fluid_synth(settings.get()));
    if (!synth)
        return InstrumentResult::NoMemory;
    if (fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED)
        return InstrumentResult::BadSoundFont;
    out.settings = std::move(settings);
    out.synth = std::move(synth);
    return InstrumentResult::Ok;
}

std::string describe(InstrumentResult result, const std::string &soundFont) {
    switch (result) {
    case InstrumentResult::Ok:
        return "ready";
    case InstrumentResult::NoSoundFont:
        return std::string("no General MIDI sound font found (install timgm6mb-soundfont or set ") +
               soundFontVariable + ")";
    case InstrumentResult::BadSoundFont:
        return "the sound font " + soundFont + " could not be loaded";
    case InstrumentResult::NoMemory:
        break;
    }
    return "the synthesizer could not be created";
}

void play(fluid_synth_t *synth, DWORD word) {
    const Byte status = midiStatus(word);
    const int channel = status & 0x0F;
    const int d1 = midiData1(word);
    const int d2 = midiData2(word);
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, d1);
        break;
    case 0x90:
        fluid_synth_noteon(synth, channel, d1, d2); // velocity 0 is a note-off
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, d1, d2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, d1, d2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, d1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, d1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth, channel, d1 | (d2 << 7));
        break;
    default:
        if (status == 0xFF)
            fluid_synth_system_reset(synth);
        break;
    }
}

} // namespace tambolin::fluid
