#pragma once
// Sound output for whole clips of PCM samples: a clip is opened on the
// output, then played between two frame positions, paused, and asked how far
// it got. One output serves the whole process: the sound system by default,
// or one a test installs.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

namespace tambolin {

struct AudioFormat {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0; // 8 (unsigned), 16 or 32 (signed), or 32 with isFloat
    bool isFloat = false;
    int bytesPerFrame() const { return channels * (bitsPerSample / 8); }
};

struct AudioClip {
    AudioFormat format;
    QByteArray pcm; // interleaved little-endian frames
    std::int64_t frames() const {
        return format.bytesPerFrame() ? pcm.size() / format.bytesPerFrame() : 0;
    }
};

// A clip open on the output. Destroying it stops the sound.
class AudioStream {
public:
    virtual ~AudioStream() = default;
    // Plays frames from..to-1 of the clip, in place of anything playing.
    virtual void play(std::int64_t fromFrame, std::int64_t toFrame) = 0;
    // Stops where it is; position() stays.
    virtual void pause() = 0;
    // The next frame the output will take.
    virtual std::int64_t position() const = 0;
    // True once the range of the last play() has been taken whole.
    virtual bool finished() const = 0;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Null with error set when the output cannot play the clip's format.
    virtual std::unique_ptr<AudioStream> open(std::shared_ptr<const AudioClip> clip,
                                              QString &error) = 0;
};

} // namespace tambolin
