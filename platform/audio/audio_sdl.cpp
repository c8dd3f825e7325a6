#include "platform/audio/audio_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace tambolin {

namespace {

// The SDL audio subsystem, held for as long as a stream is open.
class AudioSubsystem final {
public:
    AudioSubsystem() : m_ok(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {}
    ~AudioSubsystem() {
        if (m_ok)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    AudioSubsystem(const AudioSubsystem &) = delete;
    AudioSubsystem &operator=(const AudioSubsystem &) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

SDL_AudioFormat sdlFormat(const AudioFormat &f) {
    if (f.isFloat)
        return AUDIO_F32LSB;
    switch (f.bitsPerSample) {
    case 8:
        return AUDIO_U8;
    case 16:
        return AUDIO_S16LSB;
    default:
        return AUDIO_S32LSB;
    }
}

class SdlAudioStream final : public AudioStream {
public:
    explicit SdlAudioStream(std::shared_ptr<const AudioClip> clip) : m_clip(std::move(clip)) {}
    ~SdlAudioStream() override {
        if (m_device)
            SDL_CloseAudioDevice(m_device);
    }
    SdlAudioStream(const SdlAudioStream &) = delete;
    SdlAudioStream &operator=(const SdlAudioStream &) = delete;

    bool open(QString &error) {
        if (!m_subsystem.ok()) {
            error = QString::fromUtf8(SDL_GetError());
            return false;
        }
        SDL_AudioSpec want{};
        want.freq = m_clip->format.sampleRate;
        want.format = sdlFormat(m_clip->format);
        want.channels = static_cast<Uint8>(m_clip->format.channels);
        want.samples = 1024;
        want.callback = &SdlAudioStream::fill;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to what the hardware takes.
        m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!m_device) {
            error = QString::fromUtf8(SDL_GetError());
            return false;
        }
        m_silence = have.silence;
        return true;
    }

    void play(std::int64_t fromFrame, std::int64_t toFrame) override {
        SDL_LockAudioDevice(m_device);
        m_position = std::clamp<std::int64_t>(fromFrame, 0, m_clip->frames());
        m_end = std::clamp<std::int64_t>(toFrame, m_position, m_clip->frames());
        SDL_UnlockAudioDevice(m_device);
        SDL_PauseAudioDevice(m_device, 0);
    }
    void pause() override { SDL_PauseAudioDevice(m_device, 1); }
    std::int64_t position() const override {
        SDL_LockAudioDevice(m_device);
        const std::int64_t p = m_position;
        SDL_UnlockAudioDevice(m_device);
        return p;
    }
    bool finished() const override {
        SDL_LockAudioDevice(m_device);
        const bool done = m_position >= m_end;
        SDL_UnlockAudioDevice(m_device);
        return done;
    }

private:
    // Runs on SDL's audio thread with the device locked.
    static void fill(void *userdata, Uint8 *out, int length) {
        auto *self = static_cast<SdlAudioStream *>(userdata);
        const int frameBytes = self->m_clip->format.bytesPerFrame();
        const std::int64_t frames =
            std::min<std::int64_t>(length / frameBytes, self->m_end - self->m_position);
        const int bytes = frames > 0 ? static_cast<int>(frames * frameBytes) : 0;
        if (bytes > 0) {
            std::memcpy(out, self->m_clip->pcm.constData() + self->m_position * frameBytes, bytes);
            self->m_position += frames;
        }
        std::memset(out + bytes, self->m_silence, length - bytes);
    }

    AudioSubsystem m_subsystem;
    std::shared_ptr<const AudioClip> m_clip;
    SDL_AudioDeviceID m_device = 0;
    Uint8 m_silence = 0;
    std::int64_t m_position = 0;
    std::int64_t m_end = 0;
};

} // namespace

std::unique_ptr<AudioStream> SdlAudioOutput::open(std::shared_ptr<const AudioClip> clip,
                                                  QString &error) {
    if (!clip || clip->format.bytesPerFrame() == 0) {
        error = QStringLiteral("no clip");
        return nullptr;
    }
    auto stream = std::make_unique<SdlAudioStream>(std::move(clip));
    if (!stream->open(error))
        return nullptr;
    return stream;
}

} // namespace tambolin
