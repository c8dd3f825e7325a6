#pragma once
// The sequencer device: a Standard MIDI File played on the MIDI mapper,
// its messages sent on time from the clock layer's window timer. The MIDI
// output is open only while the file plays.

#include "melody/smf_reader.h"
#include "platform/mci/mci_device.h"
#include "platform/midi/midi_mmsystem.h"

#include <QObject>
#include <memory>

namespace tambolin {

class WindowTimer;

class MciSequencer final : public MciDevice {
public:
    explicit MciSequencer(SmfSequence sequence);
    ~MciSequencer() override;
    MciSequencer(const MciSequencer &) = delete;
    MciSequencer &operator=(const MciSequencer &) = delete;

    QString type() const override { return QStringLiteral("sequencer"); }
    std::int64_t lengthMs() const override;
    std::int64_t positionMs() const override;
    Mode mode() const override { return m_mode; }
    MCIERROR play(std::int64_t fromMs, std::int64_t toMs) override;
    void pause() override;
    void stop() override;
    MCIERROR resume() override;
    void seek(std::int64_t ms) override;
    void pump() override;

private:
    void halt(Mode mode);
    void closeOutput();
    std::size_t firstEventAt(std::int64_t us) const;

    SmfSequence m_sequence;
    Mode m_mode = Mode::Stopped;
    std::int64_t m_positionMs = 0; // while not playing
    std::int64_t m_fromMs = 0;     // of the current play
    std::int64_t m_toMs = 0;
    std::int64_t m_startClock = 0;
    std::size_t m_next = 0; // the next event to send
    HMIDIOUT m_out = 0;
    std::unique_ptr<QObject> m_timerOwner;
    WindowTimer *m_timer = nullptr;
};

} // namespace tambolin
