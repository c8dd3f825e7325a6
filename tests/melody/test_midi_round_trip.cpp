// Melodies written as MIDI files by the export and read back by the import:
// every melody whose notes a MIDI file can carry comes back as it was.

#include "melody/melody_writer.h"
#include "melody/midi_import.h"
#include "melody/note_duration.h"
#include "melody/player_store.h"
#include "melody/smf_chunks.h"
#include "melody/smf_writer_parts.h"
#include "melody_fixture.h"

#include <QStringList>
#include <random>

namespace tambolin::testing {
namespace {

constexpr std::int64_t kHour = 3'600'000;

const QStringList kTitles = {QString(),
                             QStringLiteral("Ode"),
                             QStringLiteral("ｻｸﾗ ｻｸﾗ"),
                             QStringLiteral("さくら"),
                             QStringLiteral("A long title of 24 bytes"),
                             QStringLiteral("夜の曲 No.2")};

// A melody the file format holds as written: notes of every length code,
// triplet groups of three, single rests between notes (two rests in a row
// come back as the fewest rests that fill their time), pitches 0..35.
class MelodyMaker {
public:
    explicit MelodyMaker(unsigned seed) : m_random(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    Part part(int most) {
        static constexpr int notes[] = {0, 1, 2, 3, 4, 11, 12, 13};
        static constexpr int rests[] = {30, 31, 32, 33, 34, 41, 42, 43};
        Part out;
        bool afterRest = false;
        const int wanted = 1 + below(most);
        while (static_cast<int>(out.size()) < wanted) {
            const int kind = below(10);
            if (kind < 2 && !afterRest) {
                out.emplace_back(rests[below(8)], 0);
                afterRest = true;
                continue;
            }
            if (kind < 4 && static_cast<int>(out.size()) + 3 <= wanted) {
                const int code = 21 + below(4);
                for (int i = 0; i < 3; ++i)
                    out.emplace_back(code, below(36));
            } else {
                out.emplace_back(notes[below(8)], below(36));
            }
            afterRest = false;
        }
        if (std::none_of(out.begin(), out.end(), [](const Note &n) { return n.first < 30; }))
            out.front() = {2, below(36)};
        return out;
    }

private:
    std::mt19937 m_random;
};

struct Melody {
    QString title;
    int tempo = 1;
    std::vector<Part> parts;
};

class MidiRoundTrip : public MelodyTest {
protected:
    // The melody as the reader gives it back from a file.
    Melody throughFile(const Melody &m) {
        MOD_TAMBOLIN &store = mod();
        store.mtitle = m.title;
        store.tempo = static_cast<Integer>(m.tempo);
        for (int p = 1; p <= 3; ++p)
            setPart(p, p <= static_cast<int>(m.parts.size()) ? m.parts[p - 1] : Part{});
        const QString file = path(QStringLiteral("m.tbn"));
        EXPECT_TRUE(saveMelody(file));
        loadIntoStore(file);
        return current();
    }
    Melody current() {
        Melody out{mod().mtitle, mod().tempo, {}};
        for (int p = 1; p <= 3; ++p)
            if (!part(p).empty())
                out.parts.push_back(part(p));
        return out;
    }
    static Melody fromImport(const ImportedMelody &m) {
        Melody out{m.title, m.tempo, {}};
        for (const auto &notes : m.parts) {
            Part p;
            for (const MelodyNote &n : notes)
                p.emplace_back(n.length, n.pitch);
            if (!p.empty())
                out.parts.push_back(p);
        }
        return out;
    }
};

void expectSame(const Melody &a, const Melody &b, const std::string &what) {
    EXPECT_EQ(a.title, b.title) << what;
    EXPECT_EQ(a.tempo, b.tempo) << what;
    ASSERT_EQ(a.parts.size(), b.parts.size()) << what;
    for (std::size_t p = 0; p < a.parts.size(); ++p)
        EXPECT_EQ(a.parts[p], b.parts[p]) << what << ", part " << p + 1;
}

TEST_F(MidiRoundTrip, GeneratedMelodiesComeBackUnchanged) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        MelodyMaker maker(seed);
        Melody wanted;
        wanted.tempo = maker.below(4);
        wanted.title = kTitles[maker.below(static_cast<int>(kTitles.size()))];
        const int parts = 1 + maker.below(3);
        const int most = seed % 10 == 0 ? 200 : 40;
        for (int p = 0; p < parts; ++p)
            wanted.parts.push_back(maker.part(most));
        // The reader ignores a file of less than 14 bytes.
        if (wanted.parts[0].size() < 12)
            wanted.title = kTitles.last();
        const std::string what = "seed " + std::to_string(seed);

        const Melody stored = throughFile(wanted);

        expectSame(stored, wanted, what + " (the melody file itself)");

        const PartsMidiFile midi = partsMidiFile(mod(), 0, 1, kHour);
        MidiImportOptions options;
        options.fallbackTitle = QStringLiteral("not this");
        ImportReport report;
        QString error;
        const auto imported = importMidi(midi.bytes, options, report, error);
        ASSERT_TRUE(imported) << what << ": " << error.toStdString();
        expectSame(fromImport(*imported), stored, what);
        EXPECT_FALSE(report.lossy())
            << what << ": " << importReportLines(report).join(u'\n').toStdString();

        // And written to a melody file, the import reads back the same.
        putInStore(*imported, mod());
        const QString file = path(QStringLiteral("back.tbn"));
        ASSERT_TRUE(saveMelody(file)) << what;
        loadIntoStore(file);
        expectSame(current(), stored, what + " (saved again)");
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST_F(MidiRoundTrip, LoopsFollowTheLongestPartAndStopAtTheCap) {
    // Part 1: 480 + 240 ms; part 2: one whole note of 1980 ms at tempo 1.
    const Melody m = throughFile({QStringLiteral("L"), 1, {{{2, 0}, {3, 2}}, {{0, 7}}}});
    ASSERT_EQ(m.parts.size(), 2u);
    const PartsMidiFile three = partsMidiFile(mod(), 5, 3, kHour);
    EXPECT_EQ(three.loops, 3);
    QString error;
    const auto chunks = readSmfChunks(three.bytes, error);
    ASSERT_TRUE(chunks) << error.toStdString();
    EXPECT_EQ(chunks->format, 1);
    EXPECT_EQ(chunks->division, 480);
    ASSERT_EQ(chunks->tracks.size(), 2u);
    EXPECT_EQ(chunks->tracks[0].name, QByteArray("L"));
    // Tempo 475200 us a quarter: 480 ticks played at 99 %.
    EXPECT_EQ(chunks->tracks[0].items.at(0).kind, SmfItemKind::Tempo);
    EXPECT_EQ(chunks->tracks[0].items.at(0).value, 475200u);
    std::vector<std::pair<std::int64_t, std::uint32_t>> first;
    for (const SmfItem &item : chunks->tracks[0].items)
        if (item.kind != SmfItemKind::Tempo)
            first.emplace_back(item.tick, item.value);
    const std::vector<std::pair<std::int64_t, std::uint32_t>> expected = {
        {0, 0x05C0},      {0, 0x793090},    {480, 0x103080},  {480, 0x793290},  {720, 0x103280},
        {1980, 0x793090}, {2460, 0x103080}, {2460, 0x793290}, {2700, 0x103280}, {3960, 0x793090},
        {4440, 0x103080}, {4440, 0x793290}, {4680, 0x103280}, {4680, 0}};
    EXPECT_EQ(first, expected);
    // The second track ends with its part's third whole note.
    EXPECT_EQ(chunks->tracks[1].items.back().tick, 3 * 1980);

    // Loops beyond the cap are not written; one always is.
    EXPECT_EQ(partsMidiFile(mod(), 0, 1000, 2 * 1980 + 5).loops, 2);
    EXPECT_EQ(partsMidiFile(mod(), 0, 1000, 10).loops, 1);
}

TEST_F(MidiRoundTrip, TrailingRestsEndTheTrackAndComeBack) {
    const Melody m = throughFile({QStringLiteral("Rests"), 3, {{{32, 0}, {2, 30}, {41, 0}}}});
    const PartsMidiFile midi = partsMidiFile(mod(), 0, 1, kHour);
    QString error;
    const auto chunks = readSmfChunks(midi.bytes, error);
    ASSERT_TRUE(chunks);
    EXPECT_EQ(chunks->tracks[0].items.back().tick, 640 + 640 + 1920);
    ImportReport report;
    const auto back = importMidi(midi.bytes, {}, report, error);
    ASSERT_TRUE(back) << error.toStdString();
    expectSame(fromImport(*back), m, "trailing rests");
}

} // namespace
} // namespace tambolin::testing
