// MIDI output: the device and instrument lists, single notes for the
// sequencer, and closing the device at the end. Everything plays on channel 1.

#include "control/checked.h"
#include "control/frm_tboset.h"
#include "control/midi_lists.h"
#include "control/playctrl.h"
#include "melody/mod_tambolin.h"
#include "platform/midi/midi_out.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace tambolin {

namespace {

// Adds an entry without selecting anything: only MidiInit's explicit
// selections may run the lists' handlers.
void appendEntry(QComboBox *list, const QString &text) {
    const QSignalBlocker quiet(list);
    const int selected = list->currentIndex();
    list->addItem(text);
    list->setCurrentIndex(selected);
}

// Selecting an entry runs the list's handler; an entry the list does not
// have fails the statement, so nothing is opened or sent.
void selectEntry(QComboBox *list, Integer entry) {
    if (entry < -1 || entry >= list->count())
        failStep();
    list->setCurrentIndex(entry);
}

// A choice made as the user makes it: only an entry the list shows.
void chooseEntry(QComboBox *list, Integer entry) {
    if (entry < 0 || entry >= list->count())
        failStep();
    list->setCurrentIndex(entry);
}

} // namespace

void PLAYCTRL::MidiInit() {
    MOD_TAMBOLIN &m = mod();
    QComboBox *devices = nullptr;
    QComboBox *instruments = nullptr;
    step([&] {
        devices = checked(m_settings).cmbOutDevice();
        instruments = checked(m_settings).lstMusicalInstruments();
    });

    Long n = 0;
    step([&] { n = static_cast<Long>(midiOutGetNumDevs()); });
    if (n <= 0) {
        step([&] { appendEntry(&checked(devices), noMidiDeviceText()); });
        step([&] { checked(devices).setEnabled(false); });
        // Still tries the mapper.
        step([&] { selectEntry(&checked(devices), 0); });
    } else {
        // The mapper (device -1) first, then each device.
        Integer k = 0;
        for (Long d = -1; d <= n - 1; ++d)
            step([&] {
                MIDIOUTCAPSA caps{};
                midiOutGetDevCapsA(static_cast<UINT_PTR>(static_cast<UINT>(d)), &caps, sizeof caps);
                appendEntry(&checked(devices), midiDeviceEntry(k, midiDeviceName(caps)));
                k = toInteger(k + 1);
            });
        step([&] { selectEntry(&checked(devices), m.midiport); });
    }

    step([&] {
        for (const QString &entry : instrumentList())
            appendEntry(&checked(instruments), entry);
    });
    step([&] { selectEntry(&checked(instruments), m.midisource); });
    step([&] { m.keybase = 48; });
}

void PLAYCTRL::MidiOn(Integer &kk) {
    MOD_TAMBOLIN &m = mod();
    step([&] { m.midimsg = toLong((static_cast<long long>(kk) + m.keybase) * 256 + 0x790090); });
    step([&] {
        m.midiret = static_cast<Long>(
            m_noteDue ? midiOutShortMsg(m.hmidiout, static_cast<DWORD>(m.midimsg), *m_noteDue)
                      : midiOutShortMsg(m.hmidiout, static_cast<DWORD>(m.midimsg)));
    });
}

void PLAYCTRL::MidiOff(Integer &kk) {
    MOD_TAMBOLIN &m = mod();
    step([&] { m.midimsg = toLong((static_cast<long long>(kk) + m.keybase) * 256 + 0x100080); });
    step([&] {
        m.midiret = static_cast<Long>(
            m_noteDue ? midiOutShortMsg(m.hmidiout, static_cast<DWORD>(m.midimsg), *m_noteDue)
                      : midiOutShortMsg(m.hmidiout, static_cast<DWORD>(m.midimsg)));
    });
}

void PLAYCTRL::MidiEnd() {
    MOD_TAMBOLIN &m = mod();
    step([&] { m.midiret = static_cast<Long>(midiOutReset(m.hmidiout)); });
    step([&] { m.midiret = static_cast<Long>(midiOutClose(m.hmidiout)); });
}

void PLAYCTRL::selectMidiDevice(Integer entry) {
    step([&] { chooseEntry(&checked(checked(m_settings).cmbOutDevice()), entry); });
}

void PLAYCTRL::selectInstrument(Integer entry) {
    step([&] { chooseEntry(&checked(checked(m_settings).lstMusicalInstruments()), entry); });
}

void PLAYCTRL::settingsAction() {
    step([&] {
        // The control keeps its one form; it comes back only if it was unloaded.
        if (!m_settings)
            m_settings = new FRM_TBOSET(this);
        m_settings->ShowModal();
    });
}

} // namespace tambolin
