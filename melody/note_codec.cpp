#include "melody/note_codec.h"

#include "melody/mod_tambolin.h"
#include "platform/files/file_numbers.h"

namespace tambolin {

namespace {

constexpr Byte TieByte = 34;
constexpr Byte CommandByte = 33;

// Writes one byte to the melody file; a value outside 0..255 is not a byte
// and is not written.
void put(Integer value) {
    step([&] {
        if (value < 0 || value > 255)
            failStep();
        PutByte(mod().fno, static_cast<Byte>(value));
    });
}

enum class Kind { Plain, Whole, Dotted, Triplet };

struct Position {
    Integer r;
    Kind kind;
};

Position positionOf(Integer onpdat) {
    switch (onpdat) {
    case 0:
        return {3, Kind::Whole};
    case 1:
        return {3, Kind::Plain};
    case 2:
        return {2, Kind::Plain};
    case 3:
        return {1, Kind::Plain};
    case 4:
        return {0, Kind::Plain};
    case 11:
        return {3, Kind::Dotted};
    case 12:
        return {2, Kind::Dotted};
    case 13:
        return {1, Kind::Dotted};
    case 21:
        return {3, Kind::Triplet};
    case 22:
        return {2, Kind::Triplet};
    case 23:
        return {1, Kind::Triplet};
    case 24:
        return {0, Kind::Triplet};
    default:
        return {0, Kind::Plain};
    }
}

} // namespace

void onpdatget(Integer &dat, Integer &onpdat, Integer &kaidat) {
    if (dat >= 35 && dat <= 38) {
        kaidat = 0;
        onpdat = static_cast<Integer>(34 - (dat - 35)); // rests: 35 sixteenth .. 38 half
        return;
    }
    Integer a = 0;
    Integer r = 0;
    step([&] { a = toInteger(dat - 52); });
    if (a < 0) {
        kaidat = static_cast<Integer>(dat / 4 - 1);
        r = static_cast<Integer>(dat % 4);
    } else {
        kaidat = static_cast<Integer>(a / 4);
        r = static_cast<Integer>(a % 4);
        if (mod().kijyun == 1)
            kaidat = static_cast<Integer>(kaidat + 12);
        else if (mod().kijyun == 2)
            kaidat = static_cast<Integer>(kaidat + 24);
    }
    // Within each group of four bytes the lowest is the shortest note.
    if (r >= 0)
        onpdat = static_cast<Integer>(4 - r);
    else
        onpdat = r;
}

void onpdatput(Integer &onpdat, Integer &kaidat, Boolean &sanrflg, Integer &sanrcnt) {
    const Position pos = positionOf(onpdat);
    const Integer kijyun = mod().kijyun;
    Integer b = 0;
    step([&] {
        if (kijyun >= 0 && kijyun <= 2) {
            const Integer octaveBase = toInteger(12 * kijyun);
            b = toInteger(toInteger(toInteger(toInteger(kaidat - octaveBase) * 4) + 52) + pos.r);
        } else {
            b = kaidat;
        }
    });
    // 127 never appears in a file: it travels as 39.
    bool raised = false;
    if (b == 127) {
        b = 39;
        raised = true;
    }
    sanrflg = False;
    switch (pos.kind) {
    case Kind::Plain:
        put(b);
        break;
    case Kind::Whole: // two tied halves
        put(b);
        put(TieByte);
        put(b);
        break;
    case Kind::Dotted: // the note tied to the next shorter one of the same pitch
        put(b);
        put(TieByte);
        if (raised)
            put(126);
        else
            step([&] { put(toInteger(b - 1)); });
        break;
    case Kind::Triplet:
        if (sanrcnt == 0) {
            put(CommandByte);
            put(38);
        }
        put(b);
        sanrflg = True;
        break;
    }
}

void kijyunput(Integer &kno) {
    mod().kijyun = kno;
    put(CommandByte);
    switch (kno) {
    case 0:
        put(35);
        break;
    case 1:
        put(36);
        break;
    case 2:
        put(TieByte);
        break;
    default:
        break;
    }
}

} // namespace tambolin
