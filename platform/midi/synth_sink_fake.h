#pragma once
// A synthesizer sink for tests: it renders only when the test pulls a
// period, stamps it with the test's clock, and keeps every frame it got.

#include "platform/midi/synth_sink.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace tambolin {

class FakeSynthSink final : public SynthSink {
public:
    FakeSynthSink(double sampleRate, std::function<std::int64_t()> now);

    double sampleRate() const override { return m_rate; }
    std::int64_t nowMicros() const override { return m_now(); }
    bool start(Render render) override;
    void stop() override;

    // Whether the synthesizer wants sound now.
    bool running() const;
    // One period of frames, stamped with the clock; nothing while stopped.
    void pull(int frames);
    // Makes the next start fail, as an output that does not open.
    void failStarts(bool fail) { m_failStarts = fail; }
    int starts() const { return m_starts; }

    // Everything rendered so far, period after period, and the stream frame
    // at which each start began (the frame count of left() then).
    std::vector<float> left() const;
    std::vector<std::size_t> startFrames() const;

private:
    double m_rate;
    std::function<std::int64_t()> m_now;
    mutable std::mutex m_mutex;
    Render m_render;
    bool m_running = false;
    std::atomic<bool> m_failStarts{false};
    std::atomic<int> m_starts{0};
    std::vector<float> m_left;
    std::vector<std::size_t> m_startFrames;
};

} // namespace tambolin
