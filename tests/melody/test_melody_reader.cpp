#include "melody/melody_reader.h"

#include "melody_fixture.h"

#include <QRandomGenerator>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

const QByteArray Header = bytes({27, 36, 68});

class MelodyReader : public MelodyTest {
protected:
    // Loads content from a file into emptied parts.
    void load(const QByteArray &content) {
        const QString file = path(QStringLiteral("m.tbn"));
        ASSERT_TRUE(writeFile(file, content));
        for (int p = 1; p <= 3; ++p)
            mod().onpcnt(p) = 0;
        QString name = file;
        FileLoad(name);
    }
    // A file with a short title (so it is long enough to be read) and one part.
    void loadPart(const QByteArray &body) {
        load(QByteArray("Test title") + Header + body + '\x0f');
    }
};

} // namespace

TEST_F(MelodyReader, ShortFilesAreIgnored) {
    mod().mtitle = QStringLiteral("before");
    mod().tempo = 3;
    setPart(1, {{2, 5}});
    load(bytes({65, 66, 27, 36, 68, 88, 89, 90, 91, 92, 93, 15}));
    EXPECT_EQ(mod().mtitle, QStringLiteral("before"));
    EXPECT_EQ(mod().tempo, 3);

    const QByteArray thirteen = bytes({65, 66, 27, 36, 68, 33, 40, 88, 89, 90, 91, 92, 15});
    load(thirteen);
    EXPECT_EQ(mod().mtitle, QStringLiteral("before"));
    EXPECT_TRUE(part(1).empty());

    QString missing = path(QStringLiteral("missing.tbn"));
    FileLoad(missing);
    QString folder = path(QString());
    FileLoad(folder);
    EXPECT_EQ(mod().mtitle, QStringLiteral("before"));
}

TEST_F(MelodyReader, FourteenBytesAreAMelody) {
    load(bytes({65, 66, 27, 36, 68, 33, 40, 88, 89, 90, 91, 92, 93, 15}));
    EXPECT_EQ(mod().mtitle, QStringLiteral("AB"));
    EXPECT_EQ(mod().tempo, 0);
    EXPECT_EQ(part(1), (Part{{4, 21}, {3, 21}, {2, 21}, {1, 21}, {4, 22}, {3, 22}}));
    EXPECT_TRUE(part(2).empty());
    EXPECT_FALSE(IsOpen(mod().fno)); // closed before returning
}

TEST_F(MelodyReader, TiesMakeWholeDottedAndSplitNotes) {
    loadPart(bytes({55, 34, 55}));
    EXPECT_EQ(part(1), (Part{{0, 12}}));
    loadPart(bytes({38, 34, 37}));
    EXPECT_EQ(part(1), (Part{{41, 0}}));
    loadPart(bytes({38, 34, 38}));
    EXPECT_EQ(part(1), (Part{{30, 0}}));
    loadPart(bytes({55, 34, 55, 34, 54}));
    EXPECT_EQ(part(1), (Part{{0, 12}, {33, 12}}));
    loadPart(bytes({56, 34, 59}));
    EXPECT_EQ(part(1), (Part{{1, 13}, {34, 13}}));
    loadPart(bytes({54, 34, 53}));
    EXPECT_EQ(part(1), (Part{{12, 12}}));
}

TEST_F(MelodyReader, TieRulesInOrder) {
    loadPart(bytes({53, 34, 55})); // p + 2: eighth + 8
    EXPECT_EQ(part(1), (Part{{11, 12}}));
    loadPart(bytes({53, 34, 54})); // p + 1: eighth + 9
    EXPECT_EQ(part(1), (Part{{12, 12}}));
    // Equal quarter notes: the first stays and the second follows.
    loadPart(bytes({54, 34, 54}));
    EXPECT_EQ(part(1), (Part{{2, 12}, {2, 12}}));
    // No rule: the length of the earlier note, the later byte dropped.
    loadPart(bytes({54, 34, 70}));
    EXPECT_EQ(part(1), (Part{{2, 12}}));
    // Rests are not lengthened past 20 by the +8 and +9 rules.
    loadPart(bytes({36, 34, 37}));
    EXPECT_EQ(part(1), (Part{{33, 0}}));
}

TEST_F(MelodyReader, TripletsAndRepeatedTriplets) {
    loadPart(bytes({33, 38, 54, 58, 62, 54}));
    EXPECT_EQ(part(1), (Part{{22, 12}, {22, 13}, {22, 14}, {2, 12}}));
    loadPart(bytes({33, 37, 54, 58, 37}));
    EXPECT_EQ(part(1), (Part{{22, 12},
                             {22, 12},
                             {22, 12},
                             {22, 13},
                             {22, 13},
                             {22, 13},
                             {52, 0},
                             {52, 0},
                             {52, 0}}));
}

TEST_F(MelodyReader, RepeatedTripletCopiesKeepPitchesAboveTheRange) {
    loadPart(bytes({33, 34, 33, 37, 39}));
    EXPECT_EQ(part(1), (Part{{21, 42}, {21, 42}, {21, 35}}));
}

TEST_F(MelodyReader, ByteThirtyNineIsOneTwentySeven) {
    loadPart(bytes({39}));
    EXPECT_EQ(part(1), (Part{{1, 30}}));
    loadPart(bytes({39, 34, 126}));
    EXPECT_EQ(part(1), (Part{{11, 30}}));
}

TEST_F(MelodyReader, TempoAndOctaveCommands) {
    loadPart(bytes({54}));
    EXPECT_EQ(mod().tempo, 1);
    for (int code = 0; code <= 3; ++code) {
        loadPart(bytes({33, 40 + code, 54}));
        EXPECT_EQ(mod().tempo, code);
    }
    // An octave command holds to the end of its part only.
    load(QByteArray("Title") + Header + bytes({33, 35, 54, 15}) + Header +
         bytes({54, 33, 34, 54, 15}));
    EXPECT_EQ(part(1), (Part{{2, 0}}));
    EXPECT_EQ(part(2), (Part{{2, 12}, {2, 24}}));
}

TEST_F(MelodyReader, PartsBeyondTheThirdAreIgnored) {
    QByteArray file("Title");
    for (int p = 0; p < 5; ++p)
        file += Header + QByteArray(1, static_cast<char>(52 + 4 * p)) + '\x0f';
    load(file);
    EXPECT_EQ(part(1), (Part{{4, 12}}));
    EXPECT_EQ(part(2), (Part{{4, 13}}));
    EXPECT_EQ(part(3), (Part{{4, 14}}));
}

TEST_F(MelodyReader, FileWithoutHeaderIsAllTitle) {
    load(QByteArray("Just a title, no melody \"!#$"));
    EXPECT_EQ(mod().mtitle, QStringLiteral("Just a title, no melody \"!#$"));
    EXPECT_TRUE(part(1).empty());
    EXPECT_EQ(mod().tempo, 1);
}

TEST_F(MelodyReader, UnknownBytesLeaveTheTokenOpenUntilTheNextHeader) {
    load(QByteArray("Title") + Header + bytes({54, 33, 70, 54, 58, 15}) + Header + bytes({58, 15}));
    EXPECT_EQ(part(1), (Part{{2, 12}}));
    EXPECT_EQ(part(2), (Part{{2, 13}}));
    load(QByteArray("Title") + Header + bytes({54, 200, 54, 27, 36, 54}) + Header + bytes({58}));
    EXPECT_EQ(part(1), (Part{{2, 12}}));
    EXPECT_EQ(part(2), (Part{{2, 13}}));
}

TEST_F(MelodyReader, LongTitlesAreDecodedWhole) {
    QByteArray title;
    for (int i = 0; i < 150; ++i)
        title.append(static_cast<char>('A' + i % 26));
    title += bytes({27, 36, 66, 0x4C, 0x6B, 0x3A, 0x79, 27, 40, 66});
    load(title + Header + bytes({54, 15}));
    EXPECT_EQ(mod().mtitle.size(), 152);
    EXPECT_TRUE(mod().mtitle.endsWith(QStringLiteral("夜桜")));
    EXPECT_TRUE(mod().mtitle.startsWith(QStringLiteral("ABC")));
    EXPECT_EQ(part(1), (Part{{2, 12}}));
}

TEST_F(MelodyReader, HeaderIsFoundAfterALongOpenToken) {
    QByteArray body = bytes({54, 200});
    body += QByteArray(500, 'x'); // never a note: the token stays open
    load(QByteArray("Title") + Header + body + Header + bytes({58}));
    EXPECT_EQ(part(1), (Part{{2, 12}}));
    EXPECT_EQ(part(2), (Part{{2, 13}}));
}

TEST_F(MelodyReader, TieBeforeTheFirstNoteOfAPartIsIgnored) {
    loadPart(bytes({34, 58, 55, 34, 55}));
    EXPECT_EQ(part(1), (Part{{2, 13}, {0, 12}}));
    // Nor does a tie at the start of part 2 reach back into part 1.
    load(QByteArray("Title") + Header + bytes({54, 15}) + Header + bytes({34, 54, 34, 53, 15}));
    EXPECT_EQ(part(1), (Part{{2, 12}}));
    EXPECT_EQ(part(2), (Part{{12, 12}})); // 54 alone, then 54 tied to 53 as usual
    loadPart(bytes({34, 34, 55}));
    EXPECT_EQ(part(1), (Part{{1, 12}}));
}

TEST_F(MelodyReader, TwoHundredNotesAtMostAndATieStillReplacesTheLast) {
    loadPart(QByteArray(250, static_cast<char>(54)));
    EXPECT_EQ(part(1).size(), 200u);
    // The 201st note is dropped, but the tie on it still replaces the 200th.
    loadPart(QByteArray(200, static_cast<char>(54)) + bytes({55, 34, 55}));
    ASSERT_EQ(part(1).size(), 200u);
    EXPECT_EQ(part(1)[198], (Note{2, 12}));
    EXPECT_EQ(part(1).back(), (Note{0, 12}));
    loadPart(QByteArray(199, static_cast<char>(54)) + bytes({55, 34, 55}));
    ASSERT_EQ(part(1).size(), 200u);
    EXPECT_EQ(part(1).back(), (Note{0, 12}));
    // The split note is dropped when there is no room left for it.
    loadPart(QByteArray(198, static_cast<char>(54)) + bytes({56, 34, 59}));
    ASSERT_EQ(part(1).size(), 200u);
    EXPECT_EQ(part(1)[198], (Note{1, 13}));
    EXPECT_EQ(part(1)[199], (Note{34, 13}));
}

TEST_F(MelodyReader, AppendsToWhatThePartsHold) {
    const QString file = path(QStringLiteral("m.tbn"));
    ASSERT_TRUE(writeFile(file, QByteArray("Test title") + Header + bytes({54, 58, 15})));
    setPart(1, {{4, 1}});
    QString name = file;
    FileLoad(name);
    EXPECT_EQ(part(1), (Part{{4, 1}, {2, 12}, {2, 13}}));
}

TEST_F(MelodyReader, HostileBytesNeverLeaveTheArrays) {
    QRandomGenerator random(20240601);
    for (int round = 0; round < 300; ++round) {
        QByteArray content(static_cast<qsizetype>(random.bounded(14, 3000)), '\0');
        for (auto &c : content)
            c = static_cast<char>(random.bounded(256));
        // Sprinkle headers, ties and commands so that the parts fill up.
        for (int i = 0; i < 20; ++i) {
            const auto at =
                static_cast<qsizetype>(random.bounded(static_cast<int>(content.size())));
            content.replace(at, 0, random.bounded(2) ? Header : bytes({33, 37, 34}));
        }
        load(content);
        for (int p = 1; p <= 3; ++p) {
            ASSERT_GE(mod().onpcnt(p), 0);
            ASSERT_LE(mod().onpcnt(p), 200);
            for (const Note &n : part(p)) {
                ASSERT_GE(n.second, 0);
                ASSERT_LE(n.second, 42);
            }
        }
    }
}

TEST_F(MelodyReader, ThousandsOfTiesOverflowTheCounterWithoutHarm) {
    QByteArray body = bytes({54});
    body += QByteArray(40000, static_cast<char>(34));
    body += bytes({53, 58});
    loadPart(body);
    // The counter stops at its 16-bit limit instead of wrapping: still "above
    // 2", so the chain adds 32 and keeps the note it started from.
    EXPECT_EQ(part(1), (Part{{2, 12}, {34, 12}, {2, 13}}));
}
