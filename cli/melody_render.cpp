#include "cli/melody_render.h"

#include "cli/console.h"
#include "cli/melody_io.h"
#include "cli/output_path.h"
#include "cli/virtual_run_apart.h"
#include "platform/audio/sound_file_writer.h"
#include "platform/audio/wav_stream_writer.h"
#include "platform/midi/offline_synth.h"

#include <QFile>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tambolin::cli {

namespace {

// After the last note-off the sound dies away rather than stopping dead.
constexpr std::int64_t releaseTailMs = 1000;
// No melody, however many loops, makes a longer file than this.
constexpr std::int64_t longestSoundMs = 600'000;
// Rendering this much sound takes long enough to say so first.
constexpr std::int64_t announceAfterMs = 60'000;

QString minutesAndSeconds(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

// What the synthesizer plays: the run's messages, and how long the sound lasts.
struct Score {
    std::unique_ptr<OfflineSynth> synth;
    std::vector<TimedMidiMessage> messages;
    std::int64_t lengthMs = 0;
};

bool prepare(const QString &input, const RenderOptions &options, Score &score, QString &problem) {
    VirtualRun run = loopsRun(options.loops, longestSoundMs - releaseTailMs);
    run.program = options.program;
    VirtualRunResult result;
    // The player's control, widgets and fonts are done with before the
    // synthesizer loads, rather than held beside it for the whole sound.
    if (!runVirtualApart(input, run, result, problem))
        return false;
    if (result.stopped)
        complain("render", QStringLiteral("the sound is cut at %1 minutes, after %2 of %3 loops")
                               .arg(longestSoundMs / 60000)
                               .arg(result.melodyEnds)
                               .arg(options.loops));
    std::string error;
    score.synth = OfflineSynth::create(QFile::encodeName(options.soundFont).toStdString(), error);
    if (!score.synth) {
        problem = QString::fromLocal8Bit(error);
        return false;
    }
    score.messages.reserve(result.messages.size());
    for (const TimedWord &m : placed(result.messages, options.timing))
        score.messages.push_back({static_cast<Long>(m.ms), m.word});
    score.lengthMs = result.endMs + releaseTailMs;
    return true;
}

// Hands the synthesizer's blocks to a writer as 16-bit samples.
class WriterSink final : public RenderSink {
public:
    explicit WriterSink(SoundWriter &writer)
        : m_writer(writer), m_samples(OfflineSynth::blockFrames * OfflineSynth::channels) {}
    bool take(const float *samples, std::size_t frames) override {
        toInt16(samples, frames * OfflineSynth::channels, m_samples.data());
        return m_writer.write(m_samples.data(), frames, m_error);
    }
    QString m_error;

private:
    SoundWriter &m_writer;
    std::vector<std::int16_t> m_samples;
};

// Renders the score into writer; the exit status, with problem set unless 0.
int play(Score &score, SoundWriter &writer, const QString &outputName, QString &problem) {
    if (score.lengthMs > announceAfterMs)
        complain("render",
                 QStringLiteral("rendering %1 of sound...").arg(minutesAndSeconds(score.lengthMs)));
    WriterSink sink(writer);
    try {
        if (!score.synth->render(score.messages, static_cast<Long>(score.lengthMs), sink)) {
            problem = QStringLiteral("%1: %2").arg(outputName, sink.m_error);
            return 1;
        }
    } catch (const std::exception &e) {
        problem = QString::fromLocal8Bit(e.what());
        return 1;
    }
    QString error;
    if (!writer.finish(error)) {
        problem = QStringLiteral("%1: %2").arg(outputName, error);
        return 1;
    }
    return 0;
}

} // namespace

int renderMelody(const QString &input, const QString &output, const RenderOptions &options,
                 QString &problem) {
    // What is wrong with the target, then with the melody, then with the
    // target's name: the order the tool's other writers complain in.
    if (!checkOutputPath(output, problem) || !checkMelodyFile(input, problem))
        return 2;
    const std::optional<SoundFileType> type = soundFileTypeFor(output);
    if (!type) {
        problem = QStringLiteral("%1: unknown sound file type; the name must end in %2")
                      .arg(output, QLatin1String(soundFileExtensions));
        return 2;
    }
    Score score;
    if (!prepare(input, options, score, problem))
        return 2;
    QString error;
    const std::unique_ptr<SoundFileWriter> writer = SoundFileWriter::create(
        output, *type, OfflineSynth::channels, OfflineSynth::sampleRate, error);
    if (!writer) {
        problem = QStringLiteral("%1: %2").arg(output, error);
        return 1;
    }
    return play(score, *writer, output, problem);
}

int renderMelodyTo(const QString &input, int fd, const RenderOptions &options, QString &problem) {
    Score score;
    if (!prepare(input, options, score, problem))
        return 2;
    const auto frames =
        static_cast<std::uint64_t>(OfflineSynth::framesFor(static_cast<Long>(score.lengthMs)));
    QString error;
    const std::unique_ptr<WavStreamWriter> writer = WavStreamWriter::create(
        fd, OfflineSynth::channels, OfflineSynth::sampleRate, frames, error);
    const QString name = QStringLiteral("standard output");
    if (!writer) {
        problem = QStringLiteral("%1: %2").arg(name, error);
        return 1;
    }
    return play(score, *writer, name, problem);
}

} // namespace tambolin::cli
