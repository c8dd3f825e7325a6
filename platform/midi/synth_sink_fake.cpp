#include "platform/midi/synth_sink_fake.h"

namespace tambolin {

FakeSynthSink::FakeSynthSink(double sampleRate, std::function<std::int64_t()> now)
    : m_rate(sampleRate), m_now(std::move(now)) {}

bool FakeSynthSink::start(Render render) {
    if (m_failStarts)
        return false;
    std::lock_guard lock(m_mutex);
    m_render = std::move(render);
    m_running = true;
    m_startFrames.push_back(m_left.size());
    ++m_starts;
    return true;
}

void FakeSynthSink::stop() {
    std::lock_guard lock(m_mutex);
    m_running = false;
    m_render = nullptr;
}

bool FakeSynthSink::running() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

void FakeSynthSink::pull(int frames) {
    std::lock_guard lock(m_mutex);
    if (!m_running || frames <= 0)
        return;
    std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
    m_render(left.data(), right.data(), frames, m_now());
    m_left.insert(m_left.end(), left.begin(), left.end());
}

std::vector<float> FakeSynthSink::left() const {
    std::lock_guard lock(m_mutex);
    return m_left;
}

std::vector<std::size_t> FakeSynthSink::startFrames() const {
    std::lock_guard lock(m_mutex);
    return m_startFrames;
}

} // namespace tambolin
