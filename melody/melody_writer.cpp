#include "melody/melody_writer.h"

#include "melody/mod_tambolin.h"
#include "melody/note_codec.h"
#include "melody/title_text.h"
#include "platform/files/file_numbers.h"
#include "platform/files/filesystem.h"
#include "platform/runtime/message_box.h"

#include <QFile>
#include <initializer_list>

namespace tambolin {

namespace {

void put(Byte b) {
    step([&] { PutByte(mod().fno, b); });
}

void put(std::initializer_list<Byte> bytes) {
    for (Byte b : bytes)
        put(b);
}

template <class Header> void putHeader(const Header &header) {
    for (int i = Header::lower(); i <= Header::upper(); ++i)
        put(header(i));
}

void writePartHeader(Integer tempoCode) {
    MOD_TAMBOLIN &m = mod();
    switch (tempoCode) {
    case 0:
        putHeader(m.mhead0);
        break;
    case 1:
        putHeader(m.mhead1);
        break;
    case 2:
        putHeader(m.mhead2);
        break;
    case 3:
        putHeader(m.mhead3);
        break;
    default:
        break; // no header bytes
    }
}

// The reference octave a pitch needs, or -1 to keep the current one. Pitches
// 36..42 (repeated triplet notes keep them) have bytes only in octave 2.
Integer octaveFor(Integer kijyun, Integer pitch) {
    int region;
    if (pitch >= 0 && pitch <= 11)
        region = 0;
    else if (pitch >= 12 && pitch <= 18)
        region = 1;
    else if (pitch >= 19 && pitch <= 30)
        region = 2;
    else if (pitch >= 31 && pitch <= 42)
        region = 3;
    else
        return -1;
    static constexpr Integer table[3][4] = {
        {-1, -1, 1, 2}, // from octave 0
        {0, -1, -1, 2}, // from octave 1
        {0, 0, 1, -1},  // from octave 2
    };
    if (kijyun < 0 || kijyun > 2)
        return -1;
    return table[kijyun][region];
}

void writeRest(Integer length) {
    switch (length) {
    case 30:
        put({38, 34, 38});
        break;
    case 31:
        put(38);
        break;
    case 32:
        put(37);
        break;
    case 33:
        put(36);
        break;
    case 34:
        put(35);
        break;
    case 41:
        put({38, 34, 37});
        break;
    case 42:
        put({37, 34, 36});
        break;
    case 43:
        put({36, 34, 35});
        break;
    default:
        break; // not a rest the format can hold
    }
}

QString tripletMessage(const QString &position) {
    return position + QStringLiteral("の\r\n") +
           QStringLiteral("3連符が3つ続いていないため正常なﾌｧｲﾙ保存ができませんでした。");
}

} // namespace

bool saveMelody(const QString &fname) {
    MOD_TAMBOLIN &m = mod();
    const Integer tempoCode = m.tempo;
    m.kijyun = 1;

    const QString partial = fname.isEmpty() ? QString() : createFileBeside(fname);
    bool opened = false;
    if (!partial.isEmpty())
        opened = step([&] {
            m.fno = FreeFile();
            Open(partial, FileAccess::Write, m.fno);
        });
    if (!opened)
        m.fno = 0; // names no file: the writes below go nowhere

    TitleName_Put(m.fno);

    Boolean sanrflg = False;
    Integer sanrcnt = 0;
    bool tripletError = false;
    QString errorPosition;
    for (int part = 1; part <= 3; ++part) {
        Integer count = 0;
        step([&] { count = m.onpcnt(part); });
        for (int n = 1; n <= count; ++n) {
            if (n == 1) {
                writePartHeader(tempoCode);
                m.kijyun = 1; // the reader starts every part in octave 1
            }
            Integer pitch = 0;
            Integer length = 0;
            if (!step([&] {
                    pitch = m.kaiary(n, part);
                    length = m.onpary(n, part);
                }))
                continue;
            if (length >= 0 && length <= 29) {
                Integer octave = octaveFor(m.kijyun, pitch);
                if (octave >= 0)
                    kijyunput(octave);
                onpdatput(length, pitch, sanrflg, sanrcnt);
                if (sanrflg)
                    ++sanrcnt;
                // One or two triplet notes ended by another note.
                if (sanrcnt > 0 && sanrcnt < 3 && !sanrflg) {
                    if (!tripletError) {
                        tripletError = true;
                        errorPosition = QStringLiteral("旋律%1の%2音目").arg(part).arg(n);
                    }
                    sanrcnt = 0;
                }
                if (sanrcnt > 2 || !sanrflg) {
                    sanrcnt = 0;
                    sanrflg = False;
                }
            } else {
                writeRest(length);
            }
            if (n == count)
                put(m.mtail(0));
        }
    }

    const bool complete = opened && step([&] { Close(m.fno); });
    bool placed = false;
    if (complete)
        placed = replaceFile(partial, fname);
    if (!placed && !partial.isEmpty())
        QFile::remove(partial);

    if (tripletError)
        MsgBox(tripletMessage(errorPosition), vbCritical | vbOKOnly, QStringLiteral("ﾌｧｲﾙ保存ｴﾗｰ"));
    return placed;
}

void FileSave(QString &fname) {
    saveMelody(fname);
}

} // namespace tambolin
