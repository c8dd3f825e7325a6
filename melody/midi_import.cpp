#include "melody/midi_import.h"

#include "melody/midi_voices.h"
#include "melody/mod_tambolin.h"
#include "melody/note_duration.h"
#include "melody/smf_tracks.h"
#include "melody/title_text.h"
#include "platform/registry/codepage932.h"

#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tambolin {

namespace {

constexpr int kParts = 3;
constexpr int kKeyOfPitch0 = 48;
constexpr Integer kHighestPitch = 35;
constexpr double kPlayedShare = 0.99; // the player plays every note at 99 %

bool titleCodingHolds(QChar c) {
    return c == u'?' || cp932::fromUnicode(QString(c)) != "?";
}

bool isControl(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
}

// The quarter note of tempo code t in nominal milliseconds.
double quarterOf(Integer t) {
    return nominalDuration(t, 2);
}

Integer nearestTempo(double songQuarterUs) {
    Integer best = 1;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (Integer t = 0; t <= 3; ++t) {
        const double distance =
            std::abs(std::log(quarterOf(t) * 1000 * kPlayedShare / songQuarterUs));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = t;
        }
    }
    return best;
}

Integer foldedPitch(int key, bool &folded) {
    int pitch = key - kKeyOfPitch0;
    folded = pitch < 0 || pitch > kHighestPitch;
    while (pitch < 0)
        pitch += 12;
    while (pitch > kHighestPitch)
        pitch -= 12;
    return static_cast<Integer>(pitch);
}

// Which sources give the parts, and which voice of each.
struct PartChoice {
    std::size_t source;
    int voice; // 0-based
};

bool chooseParts(const std::vector<MidiSource> &sources,
                 const std::vector<std::vector<Voice>> &voices, const MidiImportOptions &options,
                 bool channels, std::vector<PartChoice> &out, QString &error) {
    if (!options.parts.empty()) {
        std::vector<int> used(sources.size(), 0);
        for (int number : options.parts) {
            const auto found =
                std::find_if(sources.begin(), sources.end(),
                             [&](const MidiSource &s) { return s.number == number; });
            const QString what =
                (channels ? QStringLiteral("channel ") : QStringLiteral("track ")) +
                QString::number(number);
            if (found == sources.end()) {
                error = QStringLiteral("--parts: the song has no ") + what;
                return false;
            }
            const auto index = static_cast<std::size_t>(found - sources.begin());
            if (used[index] >= static_cast<int>(voices[index].size())) {
                error = QStringLiteral("--parts: ") + what +
                        (voices[index].empty() ? QStringLiteral(" holds no notes")
                                               : QStringLiteral(" has only ") +
                                                     QString::number(voices[index].size()) +
                                                     QStringLiteral(" voice(s)"));
                return false;
            }
            out.push_back({index, used[index]++});
        }
        return true;
    }
    std::vector<std::size_t> busiest;
    for (std::size_t i = 0; i < sources.size(); ++i)
        if (!voices[i].empty())
            busiest.push_back(i);
    std::stable_sort(busiest.begin(), busiest.end(), [&](std::size_t a, std::size_t b) {
        return sources[a].notes.size() > sources[b].notes.size();
    });
    if (busiest.size() > kParts)
        busiest.resize(kParts);
    std::sort(busiest.begin(), busiest.end());
    for (int voice = 0; voice < kParts && std::ssize(out) < kParts; ++voice)
        for (std::size_t s : busiest)
            if (voice < std::ssize(voices[s]) && std::ssize(out) < kParts)
                out.push_back({s, voice});
    return true;
}

QString fittedTitle(const QString &wanted, bool &changed) {
    QString clean;
    for (QChar c : wanted)
        if (!isControl(c) && !c.isSurrogate() && titleCodingHolds(c))
            clean.append(c);
    const QString fitted = decodeTitle(encodeTitle(clean));
    changed = fitted != wanted;
    return fitted;
}

} // namespace

QString songText(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError() && std::all_of(asUtf8.begin(), asUtf8.end(), [](QChar c) {
            return c.isSurrogate() || titleCodingHolds(c);
        }))
        return asUtf8;
    const QString asCp932 = cp932::toUnicode(bytes);
    if (!asCp932.contains(QChar(0xFFFD)))
        return asCp932;
    return QString::fromLatin1(bytes);
}

std::optional<ImportedMelody> importMidi(const QByteArray &bytes, const MidiImportOptions &options,
                                         ImportReport &report, QString &error) {
    report = ImportReport{};
    const std::optional<SmfSong> song = readSmfSong(bytes, error);
    if (!song) {
        error = QStringLiteral("not a Standard MIDI File (") + error + u')';
        return std::nullopt;
    }
    const bool channels = song->format == 0;
    bool drumsAsked = false;
    for (int number : options.parts)
        drumsAsked = drumsAsked || (channels && number == 10);
    std::vector<MidiSource> sources = midiSources(*song, drumsAsked, report.drumNotes);

    // Notes that end where they start are never heard.
    std::vector<long long> silent(sources.size(), 0);
    std::vector<std::vector<Voice>> voices(sources.size());
    for (std::size_t s = 0; s < sources.size(); ++s) {
        std::vector<VoiceNote> &notes = sources[s].notes;
        const auto heard = std::remove_if(notes.begin(), notes.end(),
                                          [](const VoiceNote &n) { return n.endUs <= n.startUs; });
        silent[s] = notes.end() - heard;
        notes.erase(heard, notes.end());
        long long beyondVoices = 0; // counted with the other chord notes not taken
        voices[s] = splitVoices(notes, kParts, beyondVoices);
    }
    std::vector<PartChoice> choice;
    if (!chooseParts(sources, voices, options, channels, choice, error))
        return std::nullopt;
    if (choice.empty()) {
        error = QStringLiteral("the song holds no notes (drums on channel 10 are left out)");
        return std::nullopt;
    }

    ImportedMelody melody;
    const double songQuarterUs = song->quarterUs;
    melody.tempo = options.tempo.value_or(nearestTempo(songQuarterUs));
    report.tempo = melody.tempo;
    report.tempoGiven = options.tempo.has_value();
    report.songQuarterMs = songQuarterUs / 1000;
    report.melodyQuarterMs = quarterOf(melody.tempo) * kPlayedShare;
    // The song's quarter note becomes the melody's: its tempo changes then
    // change the lengths of its notes.
    const double scale = quarterOf(melody.tempo) / songQuarterUs;
    const double tolerance = kImportToleranceMs / kPlayedShare;

    // Parts that share a track (channels of a type 0 file, voices of one
    // track) share its end: only the one that sounds last rests until then;
    // the melody starts again when its longest part ends in any case.
    std::vector<std::int64_t> partEnd(choice.size());
    for (std::size_t p = 0; p < choice.size(); ++p) {
        const MidiSource &source = sources[choice[p].source];
        const std::int64_t last =
            voices[choice[p].source][static_cast<std::size_t>(choice[p].voice)].back().endUs;
        partEnd[p] = source.endUs;
        for (const PartChoice &other : choice) {
            const MidiSource &o = sources[other.source];
            if (o.track == source.track &&
                voices[other.source][static_cast<std::size_t>(other.voice)].back().endUs > last)
                partEnd[p] = last;
        }
    }
    std::vector<bool> chosen(sources.size(), false);
    std::vector<long long> taken(sources.size(), 0);
    for (std::size_t p = 0; p < choice.size(); ++p) {
        const MidiSource &source = sources[choice[p].source];
        const Voice &voice = voices[choice[p].source][static_cast<std::size_t>(choice[p].voice)];
        std::vector<TimedNote> timed;
        timed.reserve(voice.size());
        for (const VoiceNote &n : voice) {
            bool folded = false;
            const Integer pitch = foldedPitch(n.key, folded);
            report.folded += folded ? 1 : 0;
            timed.push_back({double(n.startUs) * scale, double(n.endUs) * scale, pitch});
        }
        QuantisedPart part =
            quantisePart(timed, double(partEnd[p]) * scale, melody.tempo, tolerance);
        report.moved += part.moved;
        report.largestMoveMs = std::max(report.largestMoveMs, part.largestMove * kPlayedShare);
        report.droppedPast200 += part.dropped;
        melody.parts[p] = std::move(part.notes);
        chosen[choice[p].source] = true;
        taken[choice[p].source] += static_cast<long long>(voice.size());
        report.parts.push_back({source.number, source.channel, songText(source.name),
                                choice[p].voice + 1, static_cast<long long>(voice.size())});
    }
    for (std::size_t s = 0; s < sources.size(); ++s) {
        if (!chosen[s] && !sources[s].notes.empty())
            report.leftOut.push_back({sources[s].number, sources[s].channel,
                                      songText(sources[s].name), 1,
                                      static_cast<long long>(sources[s].notes.size())});
        if (chosen[s]) {
            report.droppedSilent += silent[s];
            report.droppedInChords += static_cast<long long>(sources[s].notes.size()) - taken[s];
        }
    }

    QString wanted = options.fallbackTitle;
    if (options.title) {
        wanted = *options.title;
    } else {
        for (const SmfSongTrack &track : song->tracks)
            if (track.name) {
                wanted = songText(*track.name);
                break;
            }
    }
    melody.title = fittedTitle(wanted, report.titleChanged);
    report.title = melody.title;
    return melody;
}

void putInStore(const ImportedMelody &melody, MOD_TAMBOLIN &store) {
    store.mtitle = melody.title;
    store.tempo = melody.tempo;
    for (int p = 0; p < kParts; ++p) {
        const auto &notes = melody.parts[static_cast<std::size_t>(p)];
        store.onpcnt(p + 1) = static_cast<Integer>(notes.size());
        for (std::size_t n = 0; n < notes.size(); ++n) {
            store.onpary(static_cast<long long>(n + 1), p + 1) = notes[n].length;
            store.kaiary(static_cast<long long>(n + 1), p + 1) = notes[n].pitch;
        }
    }
}

} // namespace tambolin
