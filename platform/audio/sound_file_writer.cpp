#include "platform/audio/sound_file_writer.h"

#include "platform/files/filesystem.h"

#include <QFile>
#include <QFileInfo>
#include <sndfile.h>

namespace tambolin {

namespace {

int formatOf(SoundFileType type) {
    switch (type) {
    case SoundFileType::Wav:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SoundFileType::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case SoundFileType::OggVorbis:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    }
    return 0;
}

QString libraryError(SNDFILE *file) {
    return QString::fromLocal8Bit(sf_strerror(file));
}

} // namespace

std::optional<SoundFileType> soundFileTypeFor(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    // "x.wav" has the suffix; ".wav" alone is a hidden file with no name.
    if (QFileInfo(path).completeBaseName().isEmpty())
        return std::nullopt;
    if (suffix == u"wav")
        return SoundFileType::Wav;
    if (suffix == u"flac")
        return SoundFileType::Flac;
    if (suffix == u"ogg")
        return SoundFileType::OggVorbis;
    return std::nullopt;
}

std::unique_ptr<SoundFileWriter> SoundFileWriter::create(const QString &path, SoundFileType type,
                                                         int channels, int sampleRate,
                                                         QString &error) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = formatOf(type);
    if (sampleRate < 1 || channels < 1 || channels > 8 || !sf_format_check(&info)) {
        error = QStringLiteral("invalid sample layout");
        return nullptr;
    }
    const QString partial = createFileBeside(path);
    if (partial.isEmpty()) {
        error = QStringLiteral("cannot create a file in ") + QFileInfo(path).absolutePath();
        return nullptr;
    }
    SNDFILE *file = sf_open(QFile::encodeName(partial).constData(), SFM_WRITE, &info);
    if (!file) {
        error = libraryError(nullptr);
        QFile::remove(partial);
        return nullptr;
    }
    return std::unique_ptr<SoundFileWriter>(new SoundFileWriter(path, partial, file));
}

SoundFileWriter::SoundFileWriter(QString target, QString partial, sf_private_tag *file)
    : m_target(std::move(target)), m_partial(std::move(partial)), m_file(file) {}

SoundFileWriter::~SoundFileWriter() {
    abandon();
}

void SoundFileWriter::abandon() {
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
    }
    if (!m_partial.isEmpty()) {
        QFile::remove(m_partial);
        m_partial.clear();
    }
}

bool SoundFileWriter::write(const std::int16_t *samples, std::size_t frames, QString &error) {
    if (!m_file) {
        error = QStringLiteral("the file is closed");
        return false;
    }
    const auto wanted = static_cast<sf_count_t>(frames);
    if (sf_writef_short(m_file, samples, wanted) != wanted) {
        error = libraryError(m_file);
        abandon();
        return false;
    }
    return true;
}

bool SoundFileWriter::finish(QString &error) {
    if (!m_file) {
        error = QStringLiteral("the file is closed");
        return false;
    }
    // The header and the encoder's last pages are written on close.
    const int closed = sf_close(m_file);
    m_file = nullptr;
    if (closed != 0) {
        error = QString::fromLocal8Bit(sf_error_number(closed));
        abandon();
        return false;
    }
    if (!replaceFile(m_partial, m_target)) {
        error = QStringLiteral("cannot put the file in place of ") + m_target;
        abandon();
        return false;
    }
    m_partial.clear();
    return true;
}

} // namespace tambolin
