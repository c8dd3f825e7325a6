#include "platform/midi/midi_errors.h"

namespace tambolin {

const char *midiOutErrorText(MMRESULT code) {
    switch (code) {
    case MMSYSERR_NOERROR:
        return "The specified command was carried out.";
    case MMSYSERR_ERROR:
        return "The MIDI output failed with an undefined external error.";
    case MMSYSERR_BADDEVICEID:
        return "A device ID has been used that is out of range for your system.";
    case MMSYSERR_NOTENABLED:
        return "The General MIDI synthesizer could not be started: no usable sound font was "
               "found. Install the timgm6mb-soundfont package or point TAMBOLIN_SOUNDFONT at "
               "a .sf2 file.";
    case MMSYSERR_ALLOCATED:
        return "The specified device is already in use. Close it first, then try again.";
    case MMSYSERR_INVALHANDLE:
        return "The specified device handle is invalid (the device is not open).";
    case MMSYSERR_NODRIVER:
        return "No audio output could be opened for the General MIDI synthesizer (no "
               "PipeWire, PulseAudio, ALSA sound card or JACK server is available).";
    case MMSYSERR_NOMEM:
        return "The system could not allocate or lock memory.";
    case MMSYSERR_NOTSUPPORTED:
        return "The function requested is not supported.";
    case MMSYSERR_BADERRNUM:
        return "An error number was specified that is not defined in the system.";
    case MMSYSERR_INVALFLAG:
        return "An invalid flag was passed to a system function.";
    case MMSYSERR_INVALPARAM:
        return "An invalid parameter was passed to a system function.";
    case MIDIERR_UNPREPARED:
        return "The header was not prepared.";
    case MIDIERR_STILLPLAYING:
        return "The device is still playing.";
    case MIDIERR_NOMAP:
        return "No MIDI mapping is configured.";
    case MIDIERR_NOTREADY:
        return "The MIDI port is busy. Try again later.";
    case MIDIERR_NODEVICE:
        return "The MIDI output port was not found: it may have been disconnected, or "
               "TAMBOLIN_MIDI_MAPPER names no port that is present.";
    case MIDIERR_INVALIDSETUP:
        return "The MIDI setup is invalid.";
    case MIDIERR_BADOPENMODE:
        return "The operation is not supported in this open mode.";
    case MIDIERR_DONT_CONTINUE:
        return "The MIDI output was told not to continue.";
    default:
        return nullptr;
    }
}

} // namespace tambolin
