#pragma once
// The two lists of the MIDI settings: output devices (the mapper first,
// then each device) and the 128 General MIDI instruments; their texts, and
// what choosing an entry does.

#include "platform/midi/midi_mmsystem.h"
#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <QStringList>
#include <array>

namespace tambolin {

// The single entry of the device list when no output device exists.
QString noMidiDeviceText();

// The device name of a capabilities record: its 32 bytes cut at the first NUL.
QString midiDeviceName(const MIDIOUTCAPSA &caps);

// Entry k of the device list: k, ": " and the device name.
QString midiDeviceEntry(int k, const QString &name);

struct MidiDeviceList {
    QStringList entries; // entry 0 is the mapper (device -1), entry k device k-1
    bool enabled = true; // false: no device, the one entry only says so
};

// The device list from the devices present now.
MidiDeviceList midiDeviceList();

// General MIDI program names, program 1 at index 0, spelled as the player
// has always shown them.
const std::array<const char *, 128> &instrumentNames();

// Entry of program 1..128: three digits, ": " and the name ("001: GrandPiano").
QString instrumentEntry(int program);

// All 128 entries, program 1 first.
QStringList instrumentList();

// Device list entry `entry` chosen: closes the shared output device and
// opens entry k's device (k-1; entry 0 the mapper). A device that does not
// open says why in a message box. `window` is told of the device's events.
void openMidiDevice(Integer entry, DWORD_PTR window);

// Instrument list entry `entry` chosen: its program change on channel 1.
void sendProgramChange(Integer entry);

} // namespace tambolin
