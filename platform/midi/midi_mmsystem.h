#pragma once
// The value types, result codes and records of the MIDI output layer, shaped
// like the multimedia system's so that the player's MIDI code reads the same.

#include "platform/runtime/basic_runtime.h"

#include <cstddef>
#include <cstdint>

namespace tambolin {

using UINT = unsigned int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using DWORD_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using MMRESULT = UINT;
using MMVERSION = UINT;
// A handle number of an open output device; 0 is no device. Kept 32-bit so
// the player can hold it in a Long.
using HMIDIOUT = Long;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
inline constexpr MMRESULT MMSYSERR_BADERRNUM = 9;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MIDIERR_UNPREPARED = 64;
inline constexpr MMRESULT MIDIERR_STILLPLAYING = 65;
inline constexpr MMRESULT MIDIERR_NOMAP = 66;
inline constexpr MMRESULT MIDIERR_NOTREADY = 67;
inline constexpr MMRESULT MIDIERR_NODEVICE = 68;
inline constexpr MMRESULT MIDIERR_INVALIDSETUP = 69;
inline constexpr MMRESULT MIDIERR_BADOPENMODE = 70;
inline constexpr MMRESULT MIDIERR_DONT_CONTINUE = 71;

// Device ID of the MIDI mapper.
inline constexpr UINT MIDI_MAPPER = static_cast<UINT>(-1);

// Callback kinds of midiOutOpen (fdwOpen).
inline constexpr DWORD CALLBACK_TYPEMASK = 0x00070000;
inline constexpr DWORD CALLBACK_NULL = 0x00000000;
inline constexpr DWORD CALLBACK_WINDOW = 0x00010000;
inline constexpr DWORD CALLBACK_TASK = 0x00020000;
inline constexpr DWORD CALLBACK_FUNCTION = 0x00030000;
inline constexpr DWORD CALLBACK_THREAD = CALLBACK_TASK;
inline constexpr DWORD CALLBACK_EVENT = 0x00050000;

// wTechnology of the capabilities record.
inline constexpr WORD MOD_MIDIPORT = 1;
inline constexpr WORD MOD_SYNTH = 2;
inline constexpr WORD MOD_MAPPER = 5;
inline constexpr WORD MOD_SWSYNTH = 7;

inline constexpr WORD MM_UNMAPPED = 0xFFFF;
inline constexpr std::size_t MAXPNAMELEN = 32;

// The ANSI output capabilities record: 52 bytes with natural alignment.
struct MIDIOUTCAPSA {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    char szPname[MAXPNAMELEN];
    WORD wTechnology;
    WORD wVoices;
    WORD wNotes;
    WORD wChannelMask;
    DWORD dwSupport;
};
static_assert(sizeof(MIDIOUTCAPSA) == 52, "the capabilities record is 52 bytes");

} // namespace tambolin
