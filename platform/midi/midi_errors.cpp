#include "platform/midi/midi_errors.h"

#include <QtGlobal>

namespace tambolin {

// Marked for the translators: the control shows the text in the user's language.
const char *midiOutErrorText(MMRESULT code) {
    switch (code) {
    case MMSYSERR_NOERROR:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText", "The specified command was carried out.");
    case MMSYSERR_ERROR:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText",
                                 "The MIDI output failed with an undefined external error.");
    case MMSYSERR_BADDEVICEID:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText",
                                 "A device ID has been used that is out of range for your system.");
    case MMSYSERR_NOTENABLED:
        return QT_TRANSLATE_NOOP(
            "midiOutGetErrorText",
            "The General MIDI synthesizer could not be started: no usable sound font was "
            "found. Install the timgm6mb-soundfont package or point TAMBOLIN_SOUNDFONT at "
            "a .sf2 file.");
    case MMSYSERR_ALLOCATED:
        return QT_TRANSLATE_NOOP(
            "midiOutGetErrorText",
            "The specified device is already in use. Close it first, then try again.");
    case MMSYSERR_INVALHANDLE:
        return QT_TRANSLATE_NOOP(
            "midiOutGetErrorText",
            "The specified device handle is invalid (the device is not open).");
    case MMSYSERR_NODRIVER:
        return QT_TRANSLATE_NOOP(
            "midiOutGetErrorText",
            "No audio output could be opened for the General MIDI synthesizer (no "
            "PipeWire, PulseAudio, ALSA sound card or JACK server is available).");
    case MMSYSERR_NOMEM:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText",
                                 "The system could not allocate or lock memory.");
    case MMSYSERR_NOTSUPPORTED:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText", "The function requested is not supported.");
    case MMSYSERR_BADERRNUM:
        return QT_TRANSLATE_NOOP(
            "midiOutGetErrorText",
            "An error number was specified that is not defined in the system.");
    case MMSYSERR_INVALFLAG:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText",
                                 "An invalid flag was passed to a system function.");
    case MMSYSERR_INVALPARAM:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText",
                                 "An invalid parameter was passed to a system function.");
    case MIDIERR_UNPREPARED:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText", "The header was not prepared.");
    case MIDIERR_STILLPLAYING:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText", "The device is still playing.");
    case MIDIERR_NOMAP:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText", "No MIDI mapping is configured.");
    case MIDIERR_NOTREADY:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText", "The MIDI port is busy. Try again later.");
    case MIDIERR_NODEVICE:
        return QT_TRANSLATE_NOOP(
            "midiOutGetErrorText",
            "The MIDI output port was not found: it may have been disconnected, or "
            "TAMBOLIN_MIDI_MAPPER names no port that is present.");
    case MIDIERR_INVALIDSETUP:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText", "The MIDI setup is invalid.");
    case MIDIERR_BADOPENMODE:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText",
                                 "The operation is not supported in this open mode.");
    case MIDIERR_DONT_CONTINUE:
        return QT_TRANSLATE_NOOP("midiOutGetErrorText",
                                 "The MIDI output was told not to continue.");
    default:
        return nullptr;
    }
}

} // namespace tambolin
