#pragma once
// Sound files by name, through libsndfile: 16-bit PCM WAV, FLAC, or Ogg
// Vorbis. The file is written beside its target under a hidden temporary
// name and takes the target's place only when complete; one that fails or
// is abandoned is removed, so the target is never left half written.

#include "platform/audio/sound_writer.h"

#include <QString>
#include <memory>
#include <optional>

struct sf_private_tag;

namespace tambolin {

enum class SoundFileType { Wav, Flac, OggVorbis };

// The type a file name's extension asks for, in any case: ".wav", ".flac",
// ".ogg"; nullopt for any other name.
std::optional<SoundFileType> soundFileTypeFor(const QString &path);

// The extensions soundFileTypeFor() knows, for messages.
inline constexpr const char *soundFileExtensions = ".wav, .flac or .ogg";

class SoundFileWriter final : public SoundWriter {
public:
    // Null, with error set, when no file can be made beside path.
    static std::unique_ptr<SoundFileWriter> create(const QString &path, SoundFileType type,
                                                   int channels, int sampleRate, QString &error);
    // Unfinished: the temporary file is removed and the target left alone.
    ~SoundFileWriter() override;
    SoundFileWriter(const SoundFileWriter &) = delete;
    SoundFileWriter &operator=(const SoundFileWriter &) = delete;

    bool write(const std::int16_t *samples, std::size_t frames, QString &error) override;
    // Closes the file and puts it in place of the target.
    bool finish(QString &error) override;

private:
    SoundFileWriter(QString target, QString partial, sf_private_tag *file);
    void abandon();

    QString m_target;
    QString m_partial;      // empty once finished or abandoned
    sf_private_tag *m_file; // null once closed
};

} // namespace tambolin
