#include "platform/audio/audio_fake.h"

#include "platform/clock/clock_ms.h"

#include <algorithm>
#include <mutex>

namespace tambolin {

struct FakeAudioOutput::Log {
    mutable std::mutex mutex;
    bool unavailable = false;
    std::vector<AudioFormat> formats;
    QByteArray played;
    int open = 0;
};

namespace {

class FakeAudioStream final : public AudioStream {
public:
    FakeAudioStream(std::shared_ptr<const AudioClip> clip,
                    std::shared_ptr<FakeAudioOutput::Log> log)
        : m_clip(std::move(clip)), m_log(std::move(log)) {}
    ~FakeAudioStream() override {
        take();
        std::lock_guard lock(m_log->mutex);
        --m_log->open;
    }
    FakeAudioStream(const FakeAudioStream &) = delete;
    FakeAudioStream &operator=(const FakeAudioStream &) = delete;

    void play(std::int64_t fromFrame, std::int64_t toFrame) override {
        take();
        m_position = std::clamp<std::int64_t>(fromFrame, 0, m_clip->frames());
        m_end = std::clamp<std::int64_t>(toFrame, m_position, m_clip->frames());
        m_startFrame = m_position;
        m_startMs = clockMilliseconds();
        m_running = true;
    }
    void pause() override {
        take();
        m_running = false;
    }
    std::int64_t position() const override {
        take();
        return m_position;
    }
    bool finished() const override {
        take();
        return m_position >= m_end;
    }

private:
    // Takes the frames due by now and logs their bytes.
    void take() const {
        if (!m_running)
            return;
        const std::int64_t elapsed = std::max<std::int64_t>(0, clockMilliseconds() - m_startMs);
        const std::int64_t due =
            std::min(m_end, m_startFrame + elapsed * m_clip->format.sampleRate / 1000);
        if (due <= m_position)
            return;
        const int frameBytes = m_clip->format.bytesPerFrame();
        std::lock_guard lock(m_log->mutex);
        m_log->played.append(m_clip->pcm.constData() + m_position * frameBytes,
                             (due - m_position) * frameBytes);
        m_position = due;
    }

    std::shared_ptr<const AudioClip> m_clip;
    std::shared_ptr<FakeAudioOutput::Log> m_log;
    mutable std::int64_t m_position = 0;
    std::int64_t m_end = 0;
    std::int64_t m_startFrame = 0;
    std::int64_t m_startMs = 0;
    bool m_running = false;
};

} // namespace

FakeAudioOutput::FakeAudioOutput() : m_log(std::make_shared<Log>()) {}

std::unique_ptr<AudioStream> FakeAudioOutput::open(std::shared_ptr<const AudioClip> clip,
                                                   QString &error) {
    std::lock_guard lock(m_log->mutex);
    if (m_log->unavailable || !clip || clip->format.bytesPerFrame() == 0) {
        error = QStringLiteral("no audio device");
        return nullptr;
    }
    m_log->formats.push_back(clip->format);
    ++m_log->open;
    return std::make_unique<FakeAudioStream>(std::move(clip), m_log);
}

void FakeAudioOutput::setUnavailable(bool unavailable) {
    std::lock_guard lock(m_log->mutex);
    m_log->unavailable = unavailable;
}

std::vector<AudioFormat> FakeAudioOutput::openedFormats() const {
    std::lock_guard lock(m_log->mutex);
    return m_log->formats;
}

QByteArray FakeAudioOutput::played() const {
    std::lock_guard lock(m_log->mutex);
    return m_log->played;
}

int FakeAudioOutput::openStreams() const {
    std::lock_guard lock(m_log->mutex);
    return m_log->open;
}

} // namespace tambolin
