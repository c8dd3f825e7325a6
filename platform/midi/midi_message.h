#pragma once
// The packed short-message word: status in bits 0-7, first data byte in
// bits 8-15, second in bits 16-23.

#include "platform/midi/midi_mmsystem.h"

namespace tambolin {

inline constexpr Byte midiStatus(DWORD word) {
    return static_cast<Byte>(word & 0xFF);
}
inline constexpr Byte midiData1(DWORD word) {
    return static_cast<Byte>((word >> 8) & 0xFF);
}
inline constexpr Byte midiData2(DWORD word) {
    return static_cast<Byte>((word >> 16) & 0xFF);
}

// Bytes of the message that starts with this status byte, or 0 when it
// cannot travel as a short message (data byte, system exclusive,
// undefined system common).
inline constexpr int midiMessageLength(Byte status) {
    if (status < 0x80)
        return 0;
    if (status < 0xC0 || (status >= 0xE0 && status < 0xF0))
        return 3;
    if (status < 0xE0)
        return 2;
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    case 0xF6:
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF:
        return 1;
    default:
        return 0;
    }
}

} // namespace tambolin
