#pragma once
// Renders short messages to samples with the General MIDI synthesizer and
// no audio output: for writing a melody to a sound file, and for checking
// what the synthesizer makes of our messages.

#include "platform/midi/midi_mmsystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tambolin {

struct TimedMidiMessage {
    Long timeMs; // from the start of the rendering
    DWORD word;  // status | data1 << 8 | data2 << 16
};

class OfflineSynth final {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channels = 2; // samples are interleaved left, right

    // soundFont empty: the usual search ($TAMBOLIN_SOUNDFONT, then the
    // system's GM font). Null with error set when it cannot be made.
    static std::unique_ptr<OfflineSynth> create(const std::string &soundFont, std::string &error);
    ~OfflineSynth();
    OfflineSynth(const OfflineSynth &) = delete;
    OfflineSynth &operator=(const OfflineSynth &) = delete;

    // Plays the messages at their times (in time order; equal times keep
    // their order) and renders durationMs of sound from the start. Each
    // call starts from silence with every channel on its default program.
    // Throws std::runtime_error if the sound font has gone since create().
    std::vector<float> renderFloat(const std::vector<TimedMidiMessage> &messages, Long durationMs);
    std::vector<std::int16_t> renderInt16(const std::vector<TimedMidiMessage> &messages,
                                          Long durationMs);

private:
    struct Impl;
    explicit OfflineSynth(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

// Float samples in -1..1 to 16-bit, rounded and clipped.
std::vector<std::int16_t> toInt16(const std::vector<float> &samples);

} // namespace tambolin
