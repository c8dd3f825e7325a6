#include "platform/midi/midi_out.h"

#include "platform/midi/midi_errors.h"
#include "platform/midi/midi_registry.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tambolin {

namespace {

// No failure inside a backend may reach the player as an exception.
template <class F> MMRESULT guarded(F &&call) noexcept {
    try {
        return call();
    } catch (const std::bad_alloc &) {
        return MMSYSERR_NOMEM;
    } catch (...) {
        return MMSYSERR_ERROR;
    }
}

} // namespace

UINT midiOutGetNumDevs() noexcept {
    try {
        return MidiRegistry::instance().deviceCount();
    } catch (...) {
        return 0;
    }
}

MMRESULT midiOutGetDevCapsA(UINT_PTR uDeviceID, MIDIOUTCAPSA *pmoc, UINT cbmoc) noexcept {
    if (!pmoc)
        return MMSYSERR_INVALPARAM;
    return guarded([&] {
        MIDIOUTCAPSA caps;
        const MMRESULT result = MidiRegistry::instance().capabilities(uDeviceID, caps);
        if (result == MMSYSERR_NOERROR)
            std::memcpy(pmoc, &caps, std::min<std::size_t>(cbmoc, sizeof caps));
        return result;
    });
}

MMRESULT midiOutOpen(HMIDIOUT *phmo, UINT uDeviceID, DWORD_PTR, DWORD_PTR, DWORD fdwOpen) noexcept {
    if (!phmo)
        return MMSYSERR_INVALPARAM;
    *phmo = 0;
    const DWORD kind = fdwOpen & CALLBACK_TYPEMASK;
    if ((fdwOpen & ~CALLBACK_TYPEMASK) != 0 ||
        (kind != CALLBACK_NULL && kind != CALLBACK_WINDOW && kind != CALLBACK_THREAD &&
         kind != CALLBACK_FUNCTION && kind != CALLBACK_EVENT))
        return MMSYSERR_INVALFLAG;
    return guarded([&] { return MidiRegistry::instance().open(uDeviceID, *phmo); });
}

MMRESULT midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg) noexcept {
    return guarded([&] { return MidiRegistry::instance().shortMsg(hmo, dwMsg); });
}

MMRESULT midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg, std::int64_t dueMs) noexcept {
    return guarded([&] { return MidiRegistry::instance().shortMsg(hmo, dwMsg, dueMs); });
}

MMRESULT midiOutReset(HMIDIOUT hmo) noexcept {
    return guarded([&] { return MidiRegistry::instance().reset(hmo); });
}

MMRESULT midiOutClose(HMIDIOUT hmo) noexcept {
    return guarded([&] { return MidiRegistry::instance().close(hmo); });
}

MMRESULT midiOutGetErrorTextA(MMRESULT mmrError, char *pszText, UINT cchText) noexcept {
    if (!pszText || cchText == 0)
        return MMSYSERR_INVALPARAM;
    const char *text = midiOutErrorText(mmrError);
    if (!text)
        return MMSYSERR_BADERRNUM;
    const std::size_t length = std::min<std::size_t>(std::strlen(text), cchText - 1);
    std::memcpy(pszText, text, length);
    pszText[length] = '\0';
    return MMSYSERR_NOERROR;
}

} // namespace tambolin
