#include "melody/note_codec.h"

#include "melody_fixture.h"

using namespace tambolin;
using tambolin::testing::bytes;
using tambolin::testing::MelodyTest;

namespace {

struct Decoded {
    Integer length;
    Integer pitch;
    bool operator==(const Decoded &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Decoded &d) {
    return os << "(" << d.length << ", " << d.pitch << ")";
}

Decoded get(int byte, Integer kijyun) {
    mod().kijyun = kijyun;
    Integer dat = static_cast<Integer>(byte), length = -99, pitch = -99;
    onpdatget(dat, length, pitch);
    return {length, pitch};
}

class NoteCodec : public MelodyTest {
protected:
    QByteArray put(int length, int pitch, Integer kijyun, Integer sanrcnt = 0,
                   Boolean *flag = nullptr) {
        mod().kijyun = kijyun;
        Integer onpdat = static_cast<Integer>(length), kaidat = static_cast<Integer>(pitch);
        Boolean sanrflg = 12345;
        const QByteArray written =
            captureWrites([&] { onpdatput(onpdat, kaidat, sanrflg, sanrcnt); });
        if (flag)
            *flag = sanrflg;
        return written;
    }
};

} // namespace

TEST_F(NoteCodec, DecodesNoteBytesUnderTheReferenceOctave) {
    EXPECT_EQ(get(52, 1), (Decoded{4, 12}));
    EXPECT_EQ(get(52, 0), (Decoded{4, 0}));
    EXPECT_EQ(get(127, 1), (Decoded{1, 30}));
    EXPECT_EQ(get(127, 2), (Decoded{1, 42})); // the reader limits it, not the codec
    EXPECT_EQ(get(53, 2), (Decoded{3, 24}));
    EXPECT_EQ(get(55, 7), (Decoded{1, 0})); // an unknown octave adds nothing
}

TEST_F(NoteCodec, LowBytesReachPitchesNineToElevenInEveryOctave) {
    for (Integer k : {0, 1, 2}) {
        EXPECT_EQ(get(51, k), (Decoded{1, 11}));
        EXPECT_EQ(get(40, k), (Decoded{4, 9}));
        EXPECT_EQ(get(46, k), (Decoded{2, 10}));
    }
}

TEST_F(NoteCodec, RestsIgnoreTheOctave) {
    EXPECT_EQ(get(35, 2), (Decoded{34, 0}));
    EXPECT_EQ(get(36, 1), (Decoded{33, 0}));
    EXPECT_EQ(get(37, 0), (Decoded{32, 0}));
    EXPECT_EQ(get(38, 1), (Decoded{31, 0}));
}

TEST_F(NoteCodec, OutOfTableBytesFollowTheSameFormulas) {
    EXPECT_EQ(get(10, 1), (Decoded{2, 1}));
    EXPECT_EQ(get(-5, 1), (Decoded{-1, -2})); // a negative remainder stays as it is
    EXPECT_EQ(get(300, 0), (Decoded{4, 62}));
    // dat - 52 overflows 16 bits: that statement is skipped and a stays 0.
    EXPECT_EQ(get(-32768, 1), (Decoded{4, 12}));
}

TEST_F(NoteCodec, EncodesPlainWholeAndDottedNotes) {
    EXPECT_EQ(put(1, 30, 1), bytes({39})); // 127 travels as 39
    EXPECT_EQ(put(11, 30, 1), bytes({39, 34, 126}));
    EXPECT_EQ(put(0, 12, 1), bytes({55, 34, 55}));
    EXPECT_EQ(put(12, 12, 1), bytes({54, 34, 53}));
    EXPECT_EQ(put(4, 5, 0), bytes({72}));
    EXPECT_EQ(put(0, 30, 1), bytes({39, 34, 39}));
}

TEST_F(NoteCodec, TripletNotesOpenTheirGroupOnlyAtTheFirstNote) {
    Boolean flag = 0;
    EXPECT_EQ(put(21, 12, 1, 0, &flag), bytes({33, 38, 55}));
    EXPECT_EQ(flag, True);
    EXPECT_EQ(put(21, 12, 1, 1, &flag), bytes({55}));
    EXPECT_EQ(put(24, 12, 1, 2, &flag), bytes({52}));
    EXPECT_EQ(flag, True);
    EXPECT_EQ(put(2, 12, 1, 0, &flag), bytes({54}));
    EXPECT_EQ(flag, False);
}

TEST_F(NoteCodec, CodesOutsideTheTableAndBytesOutsideARange) {
    EXPECT_EQ(put(7, 12, 1), bytes({52}));
    EXPECT_EQ(put(14, 12, 1), bytes({52}));
    EXPECT_EQ(put(2, 100, 5), bytes({100}));  // unknown octave: the pitch is the byte
    EXPECT_EQ(put(2, 300, 5), QByteArray());  // not a byte: nothing written
    EXPECT_EQ(put(12, 0, 5), bytes({0, 34})); // 0 - 1 is no byte
    EXPECT_EQ(put(2, -20, 0), QByteArray());
    // (8200 - 12) * 4 overflows 16 bits: b keeps its starting value 0.
    EXPECT_EQ(put(2, 8200, 1), bytes({0}));
}

TEST_F(NoteCodec, OctaveCommands) {
    Integer kno = 0;
    EXPECT_EQ(captureWrites([&] { kijyunput(kno); }), bytes({33, 35}));
    EXPECT_EQ(mod().kijyun, 0);
    kno = 1;
    EXPECT_EQ(captureWrites([&] { kijyunput(kno); }), bytes({33, 36}));
    kno = 2;
    EXPECT_EQ(captureWrites([&] { kijyunput(kno); }), bytes({33, 34}));
    EXPECT_EQ(mod().kijyun, 2);
    kno = 3;
    EXPECT_EQ(captureWrites([&] { kijyunput(kno); }), bytes({33}));
    EXPECT_EQ(mod().kijyun, 3);
}

TEST_F(NoteCodec, WithoutAnOpenFileOnlyTheMemoryChanges) {
    mod().fno = 0;
    mod().kijyun = 1;
    Integer onpdat = 21, kaidat = 12, sanrcnt = 0;
    Boolean flag = False;
    onpdatput(onpdat, kaidat, flag, sanrcnt);
    EXPECT_EQ(flag, True);
    Integer kno = 2;
    kijyunput(kno);
    EXPECT_EQ(mod().kijyun, 2);
}

TEST_F(NoteCodec, EveryWritableNoteDecodesBack) {
    // Each octave reaches 19 pitches from 12 x octave; octave 1 also reaches
    // 9..11 through the bytes 40..51.
    auto check = [&](Integer k, int pitch) {
        for (int length : {1, 2, 3, 4}) {
            const QByteArray b = put(length, pitch, k);
            ASSERT_EQ(b.size(), 1) << "octave " << k << " pitch " << pitch;
            const auto raw = static_cast<unsigned char>(b[0]);
            EXPECT_EQ(get(raw == 39 ? 127 : raw, k),
                      (Decoded{static_cast<Integer>(length), static_cast<Integer>(pitch)}))
                << "octave " << k << " pitch " << pitch << " length " << length;
        }
    };
    for (Integer k : {0, 1, 2})
        for (int pitch = 12 * k; pitch <= 12 * k + 18; ++pitch)
            check(k, pitch);
    for (int pitch = 9; pitch <= 11; ++pitch)
        check(1, pitch);
}
