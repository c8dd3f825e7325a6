#pragma once
// Renders short messages to samples with the General MIDI synthesizer and
// no audio output: for writing a melody to a sound file block by block, and
// for checking what the synthesizer makes of our messages.

#include "platform/midi/midi_mmsystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tambolin {

struct TimedMidiMessage {
    Long timeMs; // from the start of the rendering
    DWORD word;  // status | data1 << 8 | data2 << 16
};

// Where a rendering goes, one block of sound at a time.
class RenderSink {
public:
    virtual ~RenderSink() = default;
    // frames interleaved frames (left, right); every block holds
    // OfflineSynth::blockFrames frames except the last one. The samples are
    // only valid during the call. False stops the rendering.
    virtual bool take(const float *samples, std::size_t frames) = 0;
};

class OfflineSynth final {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channels = 2; // samples are interleaved left, right
    // Frames per block handed to a RenderSink: the rendering's memory stays
    // this one block however long the sound.
    static constexpr std::size_t blockFrames = 8192;

    // The frames a rendering of durationMs holds.
    static std::int64_t framesFor(Long durationMs);

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
    // False when sink refused a block (the rendering stops there).
    bool render(const std::vector<TimedMidiMessage> &messages, Long durationMs, RenderSink &sink);
    // The same, collected in memory: for short sounds.
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
void toInt16(const float *samples, std::size_t count, std::int16_t *out);

} // namespace tambolin
