#pragma once
// Conversion between Unicode and code page 932 (Shift_JIS with the NEC and
// IBM extensions), the code page of the player's titles and texts.
//
// Encoding follows the system's best fit (U+301C, U+2016, U+2212 and U+00A5
// become 81 60, 81 61, 81 7C and 5C); a character with no form in the code
// page becomes "?", one per UTF-16 code unit.
// Decoding: a lead byte with no valid second byte, and a pair that is no
// character, give U+FFFD; 80, A0 and FD..FF give U+0080, U+F8F0 and
// U+F8F1..U+F8F3.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tambolin::cp932 {

QByteArray fromUnicode(const QString &text);
QString toUnicode(const QByteArray &bytes);

// The character of one byte standing alone (a lead byte alone is U+FFFD).
QChar charOf(unsigned char b);
// The character of a two-byte pair; U+FFFD when the pair is no character.
QChar charOf(unsigned char lead, unsigned char trail);

// Bytes text takes in code page 932.
qsizetype byteLength(const QString &text);

// The first byte of a two-byte character: 81..9F and E0..FC.
constexpr bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
// A byte that may follow a lead byte: 40..7E and 80..FC.
constexpr bool isTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Where the single-byte character c first stands in bytes, from index from;
// -1 when nowhere. The trail byte of a two-byte character is never taken
// for it: 表 is 95 5C, whose second byte is no "\".
qsizetype indexOfChar(QByteArrayView bytes, char c, qsizetype from = 0);

} // namespace tambolin::cp932
