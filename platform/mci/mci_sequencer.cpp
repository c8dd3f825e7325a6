#include "platform/mci/mci_sequencer.h"

#include "platform/clock/clock.h"
#include "platform/clock/clock_ms.h"
#include "platform/midi/midi_out.h"

#include <algorithm>

namespace tambolin {

namespace {

// Fine enough that notes start within a few milliseconds of their time.
constexpr int kTickMs = 2;

bool isNote(std::uint32_t word) {
    const std::uint32_t kind = word & 0xF0;
    return kind == 0x80 || kind == 0x90;
}

MCIERROR openError(MMRESULT result) {
    switch (result) {
    case MIDIERR_NODEVICE:
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER:
        return MCIERR_SEQ_NOMIDIPRESENT;
    case MMSYSERR_ALLOCATED:
        return MCIERR_SEQ_PORT_INUSE;
    default:
        return MCIERR_SEQ_PORT_MISCERROR;
    }
}

} // namespace

MciSequencer::MciSequencer(SmfSequence sequence)
    : m_sequence(std::move(sequence)), m_timerOwner(std::make_unique<QObject>()) {
    m_timer = currentClock().createTimer(m_timerOwner.get());
    m_timer->setInterval(kTickMs);
    QObject::connect(m_timer, &WindowTimer::tick, m_timerOwner.get(), [this] { pump(); });
}

MciSequencer::~MciSequencer() {
    closeOutput();
}

std::int64_t MciSequencer::lengthMs() const {
    return (m_sequence.lengthUs + 999) / 1000;
}

std::int64_t MciSequencer::positionMs() const {
    if (m_mode != Mode::Playing)
        return m_positionMs;
    return std::min(m_toMs, m_fromMs + (clockMilliseconds() - m_startClock));
}

std::size_t MciSequencer::firstEventAt(std::int64_t us) const {
    const auto &events = m_sequence.events;
    return std::lower_bound(events.begin(), events.end(), us,
                            [](const SmfEvent &e, std::int64_t t) { return e.timeUs < t; }) -
           events.begin();
}

MCIERROR MciSequencer::play(std::int64_t fromMs, std::int64_t toMs) {
    halt(Mode::Stopped);
    if (!m_out) {
        const MMRESULT opened = midiOutOpen(&m_out, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
        if (opened != MMSYSERR_NOERROR) {
            m_out = 0;
            return openError(opened);
        }
    }
    m_fromMs = fromMs;
    m_toMs = toMs;
    m_next = firstEventAt(fromMs * 1000);
    // Starting inside the file: programs, controllers and bends set before
    // that point still apply; the notes do not.
    for (std::size_t i = 0; i < m_next; ++i) {
        if (!isNote(m_sequence.events[i].word))
            midiOutShortMsg(m_out, m_sequence.events[i].word);
    }
    m_startClock = clockMilliseconds();
    m_mode = Mode::Playing;
    m_timer->setEnabled(true);
    pump();
    return 0;
}

void MciSequencer::pump() {
    if (m_mode != Mode::Playing)
        return;
    const std::int64_t nowMs = m_fromMs + (clockMilliseconds() - m_startClock);
    const std::int64_t dueUs = std::min(nowMs, m_toMs) * 1000;
    const std::int64_t endUs = m_toMs * 1000;
    const auto &events = m_sequence.events;
    while (m_next < events.size() && events[m_next].timeUs <= dueUs &&
           events[m_next].timeUs < endUs) {
        midiOutShortMsg(m_out, events[m_next].word);
        ++m_next;
    }
    if (nowMs >= m_toMs) {
        halt(Mode::Stopped);
        m_positionMs = m_toMs;
    }
}

void MciSequencer::halt(Mode mode) {
    if (m_mode == Mode::Playing)
        m_positionMs = positionMs();
    m_mode = mode;
    m_timer->setEnabled(false);
    closeOutput();
}

void MciSequencer::closeOutput() {
    if (!m_out)
        return;
    // Notes still sounding end here rather than hang on.
    midiOutReset(m_out);
    midiOutClose(m_out);
    m_out = 0;
}

void MciSequencer::pause() {
    pump();
    if (m_mode == Mode::Playing)
        halt(Mode::Paused);
}

void MciSequencer::stop() {
    pump();
    halt(Mode::Stopped);
}

MCIERROR MciSequencer::resume() {
    if (m_mode != Mode::Paused)
        return 0;
    return play(m_positionMs, m_toMs);
}

void MciSequencer::seek(std::int64_t ms) {
    halt(Mode::Stopped);
    m_positionMs = ms;
}

} // namespace tambolin
