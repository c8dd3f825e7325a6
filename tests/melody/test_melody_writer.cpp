#include "melody/melody_reader.h"
#include "melody/melody_writer.h"

#include "melody_fixture.h"
#include "platform/runtime/message_box.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

const QString TripletSentence =
    QStringLiteral("3連符が3つ続いていないため正常なﾌｧｲﾙ保存ができませんでした。");

class MelodyWriter : public MelodyTest {
protected:
    QByteArray save(const QString &name = QStringLiteral("out.tbn")) {
        QString file = path(name);
        FileSave(file);
        return readFile(file);
    }
    void reload(const QString &name = QStringLiteral("out.tbn")) {
        for (int p = 1; p <= 3; ++p)
            mod().onpcnt(p) = 0;
        QString file = path(name);
        FileLoad(file);
    }
    QStringList leftovers() const {
        return QDir(path(QString())).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    MessageBoxRecorder m_boxes;
};

// Limits the size of files this process writes, so that a save runs out of room.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

} // namespace

TEST_F(MelodyWriter, EmptyMelodyWritesTheTitleOnly) {
    mod().mtitle = QStringLiteral("AB");
    EXPECT_EQ(save(), QByteArray("AB"));
    mod().mtitle.clear();
    EXPECT_EQ(save(), QByteArray());
    EXPECT_TRUE(QFileInfo::exists(path("out.tbn")));
}

TEST_F(MelodyWriter, PartsStartFromOctaveOneWithTheTempoHeader) {
    setPart(1, {{2, 5}, {2, 20}});
    EXPECT_EQ(save(), bytes({27, 36, 68, 33, 35, 74, 33, 36, 86, 15}));
    setPart(2, {{2, 5}});
    setPart(1, {{2, 5}});
    EXPECT_EQ(save(), bytes({27, 36, 68, 33, 35, 74, 15, 27, 36, 68, 33, 35, 74, 15}));
}

TEST_F(MelodyWriter, HeaderByTempoCode) {
    setPart(1, {{2, 12}});
    const std::pair<int, QByteArray> cases[] = {
        {0, bytes({27, 36, 68, 33, 40, 54, 15})},
        {1, bytes({27, 36, 68, 54, 15})},
        {2, bytes({27, 36, 68, 33, 42, 54, 15})},
        {3, bytes({27, 36, 68, 33, 43, 54, 15})},
        {7, bytes({54, 15})},
        {-1, bytes({54, 15})},
    };
    for (const auto &[tempo, expected] : cases) {
        mod().tempo = static_cast<Integer>(tempo);
        EXPECT_EQ(save(), expected) << "tempo " << tempo;
    }
}

TEST_F(MelodyWriter, EmptyPartsWriteNothingAndLaterPartsMoveUp) {
    mod().mtitle = QStringLiteral("Test title");
    setPart(1, {{2, 12}});
    setPart(3, {{2, 13}});
    save();
    reload();
    EXPECT_EQ(part(1), (Part{{2, 12}}));
    EXPECT_EQ(part(2), (Part{{2, 13}}));
    EXPECT_TRUE(part(3).empty());
}

TEST_F(MelodyWriter, RestsAndCodesTheFormatCannotHold) {
    setPart(1, {{30, 0},
                {31, 0},
                {32, 0},
                {33, 0},
                {34, 0},
                {41, 0},
                {42, 0},
                {43, 0},
                {44, 0},
                {51, 0},
                {-1, 0}});
    EXPECT_EQ(save(), bytes({27, 36, 68, 38, 34, 38, 38, 37, 36, 35,
                             38, 34, 37, 37, 34, 36, 36, 34, 35, 15}));
    setPart(1, {{11, 30}, {14, 12}, {9, 12}});
    EXPECT_EQ(save(), bytes({27, 36, 68, 39, 34, 126, 52, 52, 15}));
}

TEST_F(MelodyWriter, OctaveCommandsFollowThePitch) {
    setPart(1, {{2, 0}, {2, 12}, {2, 19}, {2, 31}, {2, 14}, {2, 5}, {2, 35}, {2, 20}});
    EXPECT_EQ(save(), bytes({27, 36, 68, 33,  35, 54, 102, 33, 36, 82, 33, 34,
                             82, 33, 35, 110, 74, 33, 34,  98, 33, 36, 86, 15}));
    reload();
    EXPECT_EQ(part(1),
              (Part{{2, 0}, {2, 12}, {2, 19}, {2, 31}, {2, 14}, {2, 5}, {2, 35}, {2, 20}}));
}

TEST_F(MelodyWriter, EveryCellOfTheOctaveTable) {
    // Every part starts in octave 1; a first note of pitch 5 moves it to 0
    // ("!#", byte 72) and one of pitch 33 to 2 ('!"', byte 88). The note
    // after it, a sixteenth (position 0), then shows the octave command the
    // table asks for, if any, and its byte (pitch - 12 * octave) * 4 + 52.
    const QByteArray command[3] = {bytes({33, 35}), bytes({33, 36}), bytes({33, 34})};
    const QByteArray setUp[3] = {command[0] + bytes({72}), QByteArray(), command[2] + bytes({88})};
    const int setUpPitch[3] = {5, -1, 33};
    // Where each region of pitches moves each octave; -1 stays.
    const struct {
        int low, high;
        int to[3]; // from octave 0, 1, 2
    } regions[] = {
        {0, 11, {-1, 0, 0}},
        {12, 18, {-1, -1, 0}},
        {19, 30, {1, -1, 1}},
        {31, 35, {2, 2, -1}},
    };
    for (int from = 0; from <= 2; ++from) {
        for (const auto &region : regions) {
            for (int pitch : {region.low, (region.low + region.high) / 2, region.high}) {
                Part notes;
                if (setUpPitch[from] >= 0)
                    notes.push_back({4, setUpPitch[from]});
                notes.push_back({4, pitch});
                setPart(1, notes);
                const int to = region.to[from] < 0 ? from : region.to[from];
                QByteArray expected = bytes({27, 36, 68}) + setUp[from];
                if (region.to[from] >= 0)
                    expected += command[to];
                expected += bytes({(pitch - 12 * to) * 4 + 52, 15});
                EXPECT_EQ(save(), expected) << "from octave " << from << ", pitch " << pitch;
            }
        }
    }
    // Outside every region nothing moves the octave.
    for (int pitch : {-1, 43}) {
        setPart(1, {{4, pitch}});
        EXPECT_EQ(save(), bytes({27, 36, 68, (pitch - 12) * 4 + 52, 15})) << "pitch " << pitch;
    }
}

TEST_F(MelodyWriter, CompleteTripletGroupsSaveQuietly) {
    setPart(1, {{21, 12}, {21, 12}, {21, 12}, {22, 13}, {32, 0}, {22, 13}, {22, 13}});
    EXPECT_EQ(save(), bytes({27, 36, 68, 33, 38, 55, 55, 55, 33, 38, 58, 37, 58, 58, 15}));
    EXPECT_TRUE(m_boxes.calls().empty());
}

TEST_F(MelodyWriter, IncompleteTripletGroupIsReportedAfterWriting) {
    setPart(1, {{21, 12}, {21, 12}, {2, 12}, {21, 12}, {2, 12}});
    EXPECT_EQ(save(), bytes({27, 36, 68, 33, 38, 55, 55, 54, 33, 38, 55, 54, 15}));
    ASSERT_EQ(m_boxes.calls().size(), 1u); // the second broken group is not reported
    const MessageBoxCall &box = m_boxes.calls().front();
    EXPECT_EQ(box.prompt, QStringLiteral("旋律1の3音目の\r\n") + TripletSentence);
    EXPECT_EQ(box.style, 16);
    EXPECT_EQ(box.title, QStringLiteral("ﾌｧｲﾙ保存ｴﾗｰ"));
}

TEST_F(MelodyWriter, TripletCountCarriesAcrossParts) {
    setPart(1, {{2, 12}, {2, 12}, {2, 12}, {2, 12}, {21, 12}, {21, 12}});
    setPart(2, {{2, 12}});
    save();
    ASSERT_EQ(m_boxes.calls().size(), 1u);
    EXPECT_TRUE(m_boxes.calls().front().prompt.startsWith(QStringLiteral("旋律2の1音目の\r\n")));
}

TEST_F(MelodyWriter, IncompleteGroupAtTheEndIsNotReported) {
    setPart(1, {{2, 12}, {21, 12}, {21, 12}});
    save();
    EXPECT_TRUE(m_boxes.calls().empty());
    setPart(1, {{21, 12}, {21, 12}, {21, 12}, {21, 12}, {2, 12}});
    save();
    ASSERT_EQ(m_boxes.calls().size(), 1u);
    EXPECT_TRUE(m_boxes.calls().front().prompt.startsWith(QStringLiteral("旋律1の5音目の")));
}

TEST_F(MelodyWriter, PitchesAboveTheRangeStayInTheirPart) {
    // Repeated triplets can leave pitches up to 42 in the store.
    setPart(1, {{21, 42}, {21, 40}, {21, 36}, {2, 12}, {2, 13}});
    const QByteArray written = save();
    for (char c : written)
        EXPECT_LT(static_cast<unsigned char>(c), 128);
    reload();
    EXPECT_EQ(part(1), (Part{{21, 35}, {21, 35}, {21, 35}, {2, 12}, {2, 13}}));
}

TEST_F(MelodyWriter, SaveLeavesTheStoreAndClosesTheFile) {
    mod().tempo = 2;
    mod().mtitle = QStringLiteral("夜桜");
    setPart(1, {{2, 31}});
    save();
    EXPECT_FALSE(IsOpen(mod().fno));
    EXPECT_EQ(mod().kijyun, 2);
    EXPECT_EQ(part(1), (Part{{2, 31}}));
    EXPECT_EQ(mod().tempo, 2);
    EXPECT_EQ(mod().mtitle, QStringLiteral("夜桜"));
    EXPECT_EQ(leftovers(), QStringList({"out.tbn"}));
}

TEST_F(MelodyWriter, WrittenMelodiesReadBackNoteForNote) {
    static const int codes[] = {0, 1, 2, 3, 4, 11, 12, 13, 30, 31, 32, 33, 34, 41, 42, 43};
    QRandomGenerator random(77);
    for (int round = 0; round < 40; ++round) {
        Part parts[3];
        for (int p = 0; p < 3; ++p) {
            const int count = random.bounded(1, 201);
            for (int n = 0; n < count; ++n) {
                const int code = codes[random.bounded(static_cast<int>(std::size(codes)))];
                parts[p].emplace_back(code, code >= 30 ? 0 : random.bounded(36));
            }
            setPart(p + 1, parts[p]);
        }
        // Triplet groups of three, kept together.
        const int at = random.bounded(0, 150);
        const int code = 21 + random.bounded(4);
        const int pitch = random.bounded(36);
        if (at + 3 <= static_cast<int>(parts[0].size())) {
            for (int i = 0; i < 3; ++i)
                parts[0][static_cast<std::size_t>(at + i)] = {code, pitch};
            setPart(1, parts[0]);
        }
        mod().tempo = static_cast<Integer>(random.bounded(4));
        mod().mtitle = QStringLiteral("ｻﾝﾌﾟﾙ曲");
        const Integer tempo = mod().tempo;
        save();
        reload();
        ASSERT_EQ(part(1), parts[0]) << "round " << round;
        ASSERT_EQ(part(2), parts[1]) << "round " << round;
        ASSERT_EQ(part(3), parts[2]) << "round " << round;
        ASSERT_EQ(mod().tempo, tempo);
        ASSERT_EQ(mod().mtitle, QStringLiteral("ｻﾝﾌﾟﾙ曲"));
    }
    EXPECT_TRUE(m_boxes.calls().empty());
}

TEST_F(MelodyWriter, FailedSaveKeepsTheOldFile) {
    ASSERT_TRUE(writeFile(path("song.tbn"), "the old melody, kept"));
    setPart(1, std::vector<Note>(200, {2, 12}));
    {
        FileSizeLimit limit(16); // the new file runs out of room half-way
        save(QStringLiteral("song.tbn"));
    }
    EXPECT_EQ(readFile(path("song.tbn")), QByteArray("the old melody, kept"));
    EXPECT_EQ(leftovers(), QStringList({"song.tbn"}));
}

TEST_F(MelodyWriter, SaveIntoAMissingFolderOrOntoAFolderWritesNothing) {
    setPart(1, {{2, 12}, {21, 12}, {2, 12}});
    QString missing = path("no/such/song.tbn");
    FileSave(missing);
    EXPECT_FALSE(QFileInfo::exists(missing));
    QDir(path(QString())).mkdir("folder");
    QString folder = path("folder");
    FileSave(folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(leftovers().isEmpty());
    EXPECT_EQ(m_boxes.calls().size(), 2u); // the check runs all the same
    QString empty;
    EXPECT_FALSE(saveMelody(empty));
}

TEST_F(MelodyWriter, SaveReplacesTheOldFileAndKeepsItsPermissions) {
    const QString file = path("song.tbn");
    ASSERT_TRUE(writeFile(file, QByteArray(500, 'x')));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0600), 0);
    setPart(1, {{2, 12}});
    EXPECT_TRUE(saveMelody(file));
    EXPECT_EQ(readFile(file), bytes({27, 36, 68, 54, 15}));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(MelodyWriter, WildcardsInTheNameDeleteNothing) {
    ASSERT_TRUE(writeFile(path("a.tbn"), "keep"));
    ASSERT_TRUE(writeFile(path("b.tbn"), "keep"));
    setPart(1, {{2, 12}});
    save(QStringLiteral("*.tbn"));
    EXPECT_EQ(readFile(path("a.tbn")), QByteArray("keep"));
    EXPECT_EQ(readFile(path("b.tbn")), QByteArray("keep"));
}
