#pragma once
// Where the embedded synthesizer's sound goes: an audio stream that pulls
// stereo frames period by period from a render function on its own thread.
// The stream runs only while started, so a silent synthesizer costs nothing.

#include <cstdint>
#include <functional>

namespace tambolin {

class SynthSink {
public:
    // Fills frames samples of left and right (zeroed on entry). nowMicros is
    // the sink's clock when the period began: the same clock nowMicros()
    // reads, so the renderer can tie that clock to its frame count.
    using Render =
        std::function<void(float *left, float *right, int frames, std::int64_t nowMicros)>;

    virtual ~SynthSink() = default;
    virtual double sampleRate() const = 0;
    // The clock that stamps the periods, in microseconds.
    virtual std::int64_t nowMicros() const = 0;
    // Starts pulling from render; false when no output opens.
    virtual bool start(Render render) = 0;
    // Stops pulling; render is not called any more once this returns. Never
    // called from inside render.
    virtual void stop() = 0;
};

} // namespace tambolin
