#include "platform/services/services.h"

#include "platform/audio/audio_device.h"
#include "platform/midi/midi_setup.h"

namespace tambolin {

ScopedServices::ScopedServices(Services chosen) : m_chosen(std::move(chosen)) {
    if (m_chosen.clock)
        m_clock = std::make_unique<ScopedClock>(*m_chosen.clock);
    if (m_chosen.messageBoxes)
        m_previousBoxes = setMessageBoxHook(*m_chosen.messageBoxes);
    if (m_chosen.dialogs)
        m_dialogs = std::make_unique<ScopedDialogs>(*m_chosen.dialogs);
    if (m_chosen.shellDialogs)
        m_previousShellDialogs = setShellDialogHook(*m_chosen.shellDialogs);
    if (m_chosen.shell) {
        m_previousShell = currentShellLauncher();
        setShellLauncher(m_chosen.shell);
    }
    if (m_chosen.buses)
        setDesktopBuses(m_chosen.buses);
    if (m_chosen.audio)
        setAudioOutput(m_chosen.audio);
    if (m_chosen.midiDevices)
        setMidiBackends(*m_chosen.midiDevices);
    if (m_chosen.download)
        setCurrentBinetx(m_chosen.download);
}

ScopedServices::~ScopedServices() {
    // The process-wide ones go back to the real services: nothing else
    // installs them while a scope of this kind is alive.
    if (m_chosen.download)
        setCurrentBinetx(nullptr);
    if (m_chosen.midiDevices)
        useDefaultMidiBackends();
    if (m_chosen.audio)
        setAudioOutput(nullptr);
    if (m_chosen.buses)
        setDesktopBuses(std::nullopt);
    if (m_chosen.shell)
        setShellLauncher(m_previousShell);
    if (m_chosen.shellDialogs)
        setShellDialogHook(std::move(m_previousShellDialogs));
    m_dialogs.reset();
    if (m_chosen.messageBoxes)
        setMessageBoxHook(std::move(m_previousBoxes));
    m_clock.reset();
}

} // namespace tambolin
