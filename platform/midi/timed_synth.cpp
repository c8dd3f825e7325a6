#include "platform/midi/timed_synth.h"

#include "platform/clock/clock_ms.h"
#include "platform/midi/midi_fluid.h"
#include "platform/midi/midi_message.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tambolin {

namespace {

// Period stamps are grouped in buckets of this length; the earliest stamp
// of the last few buckets gives the stream's phase, since a period can
// start late but never early.
constexpr std::int64_t bucketMicros = 250000;

// Below this the output counts as silent (about -100 dB).
constexpr float silentLevel = 1e-5f;

bool startsNote(DWORD word) {
    return (midiStatus(word) & 0xF0) == 0x90 && midiData2(word) != 0;
}

} // namespace

TimedSynth::TimedSynth(fluid_synth_t *synth, SynthSink &sink, Options options)
    : m_synth(synth), m_sink(sink), m_options(options), m_rate(sink.sampleRate()),
      m_service([this] { service(); }) {}

TimedSynth::~TimedSynth() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_service.join();
    m_sink.stop();
}

bool TimedSynth::start() {
    {
        std::lock_guard lock(m_mutex);
        if (m_running)
            return true;
        m_running = true;
        m_wanted = false;
        m_idle = false;
    }
    m_fresh = true;
    m_silentFrames = 0;
    if (m_sink.start([this](float *l, float *r, int n, std::int64_t now) { render(l, r, n, now); }))
        return true;
    std::lock_guard lock(m_mutex);
    m_running = false;
    return false;
}

void TimedSynth::play(DWORD word, std::optional<std::int64_t> dueMs) {
    Event event{word, std::nullopt, false};
    if (dueMs) {
        // Read both clocks together: the distance to the due time carries
        // over from the clock layer to the sink's clock with no drift.
        const std::int64_t now = m_sink.nowMicros();
        event.deadline = now + (*dueMs * 1000 - clockMicroseconds()) + m_options.latencyMicros;
    }
    std::lock_guard lock(m_mutex);
    if (!m_running && m_queue.empty() && !startsNote(word)) {
        // Nothing sounds and nothing waits: a controller or note-off takes
        // effect at once without waking the output.
        fluid::play(m_synth, word);
        return;
    }
    enqueue(event);
}

void TimedSynth::reset() {
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    if (m_running || m_wanted)
        enqueue(Event{0, std::nullopt, true});
    else
        fluid_synth_all_sounds_off(m_synth, -1);
}

bool TimedSynth::streaming() const {
    std::lock_guard lock(m_mutex);
    return m_running || m_wanted;
}

void TimedSynth::enqueue(Event event) {
    // Never before what is already queued: the words keep their order.
    if (!m_queue.empty() && m_queue.back().deadline &&
        (!event.deadline || *event.deadline < *m_queue.back().deadline))
        event.deadline = m_queue.back().deadline;
    m_queue.push_back(event);
    m_idle = false;
    if (!m_running && !m_wanted) {
        m_wanted = true;
        m_wake.notify_one();
    }
}

void TimedSynth::service() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        // Sleeps without a timeout: no wakeups while nothing changes.
        m_wake.wait(lock, [&] {
            return m_quit || (m_wanted && !m_running) || (m_idle && m_running && m_queue.empty());
        });
        if (m_quit)
            return;
        if (m_wanted && !m_running) {
            m_wanted = false;
            lock.unlock();
            const bool started = start();
            lock.lock();
            if (!started) {
                // No output: what was queued still changes the
                // synthesizer's state (program, controllers), in order.
                for (const Event &event : m_queue)
                    event.reset ? (void)fluid_synth_all_sounds_off(m_synth, -1)
                                : fluid::play(m_synth, event.word);
                m_queue.clear();
            }
        } else {
            m_running = false;
            m_idle = false;
            // The audio thread takes m_mutex: stop it unlocked.
            lock.unlock();
            m_sink.stop();
            lock.lock();
            // A message that came while stopping wants the stream back.
            m_wanted = !m_queue.empty();
        }
    }
}

void TimedSynth::notePhase(std::int64_t now) {
    if (m_fresh) {
        // A new stream: its own phase, and the rate the output settled on
        // (a JACK server may run at another rate than the one asked for).
        m_rate = m_sink.sampleRate();
        for (Bucket &b : m_buckets)
            b = Bucket{};
        m_fresh = false;
    }
    const double phase = static_cast<double>(now) - static_cast<double>(m_frame) * 1e6 / m_rate;
    const std::int64_t index = now / bucketMicros;
    m_bucketNow = index;
    Bucket &slot = m_buckets[static_cast<std::size_t>(index) % std::size(m_buckets)];
    if (slot.index != index)
        slot = Bucket{index, phase};
    else
        slot.phase = std::min(slot.phase, phase);
}

double TimedSynth::phaseMicros() const {
    double phase = std::numeric_limits<double>::max();
    // Only the last few buckets: a stamp from long ago would hold on to an
    // old phase while the sample clock drifts from the system's.
    const auto recent = static_cast<std::int64_t>(std::size(m_buckets));
    for (const Bucket &b : m_buckets)
        if (b.index >= 0 && b.index > m_bucketNow - recent)
            phase = std::min(phase, b.phase);
    return phase;
}

std::int64_t TimedSynth::applyDue(std::int64_t blockEnd) {
    const double phase = phaseMicros();
    std::lock_guard lock(m_mutex);
    while (!m_queue.empty()) {
        const Event &event = m_queue.front();
        if (event.deadline) {
            const double frame =
                std::floor((static_cast<double>(*event.deadline) - phase) * m_rate / 1e6);
            if (frame >= static_cast<double>(blockEnd))
                return frame < 9e18 ? static_cast<std::int64_t>(frame) : noEvent;
        }
        if (event.reset)
            fluid_synth_all_sounds_off(m_synth, -1);
        else
            fluid::play(m_synth, event.word);
        m_queue.pop_front();
    }
    return noEvent;
}

void TimedSynth::render(float *left, float *right, int frames, std::int64_t now) {
    notePhase(now);
    float peak = 0.0f;
    int done = 0;
    while (done < frames) {
        const int offset = static_cast<int>(m_frame % blockFrames);
        int chunk = std::min(blockFrames - offset, frames - done);
        if (offset == 0) {
            // On in whole blocks up to the one that holds the next queued
            // event, in one call: each call costs more than the blocks it
            // renders. A message that comes meanwhile waits for the next
            // call; with the latency ahead of it, that is still in time.
            const std::int64_t next = applyDue(m_frame + blockFrames);
            const std::int64_t untilBlock = next / blockFrames * blockFrames - m_frame;
            chunk = static_cast<int>(std::clamp<std::int64_t>(untilBlock, chunk, frames - done));
        }
        float *dry[2] = {left + done, right + done};
        // Effects mixed into the dry pair: the sink has only two channels.
        float *fx[4] = {left + done, right + done, left + done, right + done};
        fluid_synth_process(m_synth, chunk, 4, fx, 2, dry);
        m_frame += chunk;
        done += chunk;
    }
    for (int i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});

    bool empty = false;
    {
        std::lock_guard lock(m_mutex);
        empty = m_queue.empty();
    }
    if (empty && peak < silentLevel && fluid_synth_get_active_voice_count(m_synth) == 0)
        m_silentFrames += frames;
    else
        m_silentFrames = 0;
    if (m_silentFrames >= static_cast<std::int64_t>(m_options.idleMicros * m_rate / 1e6)) {
        m_silentFrames = std::numeric_limits<std::int64_t>::min() / 2; // ask once
        std::lock_guard lock(m_mutex);
        m_idle = true;
        m_wake.notify_one();
    }
}

} // namespace tambolin
