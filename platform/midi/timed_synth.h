#pragma once
// The live synthesizer's scheduler: messages are queued with the moment they
// are meant to sound and applied, on the audio stream's own thread, at the
// start of the 64-frame synthesis block that holds that moment plus one
// constant latency. The stream runs only while something sounds.

#include "platform/midi/midi_mmsystem.h"
#include "platform/midi/synth_sink.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <fluidsynth.h>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>

namespace tambolin {

class TimedSynth final {
public:
    // FluidSynth synthesizes in blocks of this many frames and takes events
    // only between two blocks.
    static constexpr int blockFrames = 64;

    struct Options {
        // From the moment a message is meant to sound to the moment it does:
        // covers a late timer tick (the 10 ms grid and a few tens of
        // milliseconds under load), one period of the stream, and opening
        // the stream again after a silence (a JACK client takes 60-80 ms).
        std::int64_t latencyMicros = 100000;
        // How long the output must stay silent, with no voice left and
        // nothing queued, before the stream stops.
        std::int64_t idleMicros = 250000;
    };

    // Both must outlive this object.
    TimedSynth(fluid_synth_t *synth, SynthSink &sink, Options options);
    ~TimedSynth();
    TimedSynth(const TimedSynth &) = delete;
    TimedSynth &operator=(const TimedSynth &) = delete;

    // Starts the stream now, on this thread; false when no output opens.
    bool start();
    // Queues a message: dueMs in the clock layer's milliseconds
    // (clockMilliseconds() of this thread), or none for "as soon as
    // possible". Messages are applied in the order they were queued.
    void play(DWORD word, std::optional<std::int64_t> dueMs);
    // Drops everything queued and cuts all sound.
    void reset();
    // Whether the stream is running or about to start.
    bool streaming() const;

private:
    struct Event {
        DWORD word = 0;
        std::optional<std::int64_t> deadline; // the sink's clock; none: at once
        bool reset = false;
    };

    void render(float *left, float *right, int frames, std::int64_t now);
    // Applies what is due before blockEnd; the frame of the first message
    // left queued, or noEvent.
    std::int64_t applyDue(std::int64_t blockEnd);
    static constexpr std::int64_t noEvent = std::numeric_limits<std::int64_t>::max();
    void enqueue(Event event); // m_mutex held
    void service();
    double phaseMicros() const;
    void notePhase(std::int64_t now);

    fluid_synth_t *m_synth;
    SynthSink &m_sink;
    Options m_options;
    double m_rate;

    mutable std::mutex m_mutex;
    std::deque<Event> m_queue;
    bool m_running = false; // the sink is started (or starting)
    bool m_wanted = false;  // a start was asked for
    bool m_idle = false;    // the audio thread found the output silent
    bool m_quit = false;

    // Audio thread only.
    std::int64_t m_frame = 0; // next frame of the stream to render
    bool m_fresh = true;      // first period since a start
    std::int64_t m_silentFrames = 0;
    struct Bucket {
        std::int64_t index = -1;
        double phase = 0.0;
    };
    Bucket m_buckets[4];
    std::int64_t m_bucketNow = 0; // index of the bucket of the last period

    std::condition_variable m_wake; // the service thread: start or stop the stream
    std::thread m_service;
};

} // namespace tambolin
