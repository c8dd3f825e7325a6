#pragma once
// Every service the player's code reaches through a replaceable slot, in one
// place. Each is the real one (the system's clock, boxes and dialogs on the
// screen, the desktop's shell and buses, the sound system, the MIDI devices
// present, the download library) until a test or the tool puts in another.
//
//   service         what stands in for it in tests      reach        layer
//   clock           VirtualClock                        this thread  clock
//   message boxes   a hook that answers each box        this thread  runtime
//   common dialogs  a CommonDialogs of the test's own   this thread  desktop
//   shell dialogs   a hook that answers each dialog     this thread  desktop
//   shell           a ShellLauncher that records        process      desktop
//   desktop buses   a private session and system bus    process      desktop
//   audio sink      FakeAudioOutput                     process      audio
//   MIDI devices    MidiRecorder (or any backends)      process      midi
//   download        a BinetxLibrary of the test's own   process      files
//
// ScopedServices puts in the ones a Services names for as long as it lives,
// and puts back the ones that were there before when it goes. Each layer's
// own slot (setCurrentClock, setMidiBackends, ...) stays the mechanism below.

#include "platform/clock/clock.h"
#include "platform/desktop/common_dialogs.h"
#include "platform/desktop/desktop_buses.h"
#include "platform/desktop/shell_dialogs.h"
#include "platform/desktop/shell_execute.h"
#include "platform/files/binetx_loader.h"
#include "platform/midi/midi_backend.h"
#include "platform/runtime/message_box.h"

#include <memory>
#include <optional>
#include <vector>

namespace tambolin {

class AudioOutput;

// What to put in; what is left empty stays as it is.
struct Services {
    Clock *clock = nullptr;
    std::optional<MessageBoxHook> messageBoxes;
    CommonDialogs *dialogs = nullptr;
    std::optional<ShellDialogHook> shellDialogs;
    std::shared_ptr<ShellLauncher> shell;
    std::optional<DesktopBuses> buses;
    std::shared_ptr<AudioOutput> audio;
    std::optional<std::vector<std::shared_ptr<MidiBackend>>> midiDevices;
    BinetxLibrary *download = nullptr;
};

class ScopedServices final {
public:
    explicit ScopedServices(Services chosen);
    ~ScopedServices();
    ScopedServices(const ScopedServices &) = delete;
    ScopedServices &operator=(const ScopedServices &) = delete;

private:
    Services m_chosen;
    std::unique_ptr<ScopedClock> m_clock;
    std::unique_ptr<ScopedDialogs> m_dialogs;
    MessageBoxHook m_previousBoxes;
    ShellDialogHook m_previousShellDialogs;
    std::shared_ptr<ShellLauncher> m_previousShell;
};

} // namespace tambolin
