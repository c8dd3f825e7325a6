#include "platform/registry/codepage932.h"

#include "support/temp_files.h"

#include <gtest/gtest.h>

using tambolin::testing::bytes;
namespace cp932 = tambolin::cp932;

namespace {

QString units(std::initializer_list<char16_t> u) {
    QString s;
    for (char16_t c : u)
        s.append(QChar(c));
    return s;
}

} // namespace

TEST(CodePage932, AsciiAndYenSignKeepTheirBytes) {
    EXPECT_EQ(cp932::fromUnicode(QStringLiteral("A\\~z")), QByteArray("A\\~z"));
    EXPECT_EQ(cp932::toUnicode(QByteArray("A\\~z")), QStringLiteral("A\\~z"));
}

TEST(CodePage932, EncodingUsesTheSystemsBestFit) {
    EXPECT_EQ(cp932::fromUnicode(units({0x301C})), bytes({0x81, 0x60}));
    EXPECT_EQ(cp932::fromUnicode(units({0x2016})), bytes({0x81, 0x61}));
    EXPECT_EQ(cp932::fromUnicode(units({0x2212})), bytes({0x81, 0x7C}));
    EXPECT_EQ(cp932::fromUnicode(units({0x00A5})), bytes({0x5C}));
    // The full-width tilde is 81 60's own character, both ways.
    EXPECT_EQ(cp932::fromUnicode(units({0xFF5E})), bytes({0x81, 0x60}));
    EXPECT_EQ(cp932::toUnicode(bytes({0x81, 0x60})), units({0xFF5E}));
}

TEST(CodePage932, NecAndIbmExtensions) {
    EXPECT_EQ(cp932::toUnicode(bytes({0x87, 0x40})), units({0x2460}));
    EXPECT_EQ(cp932::toUnicode(bytes({0xFA, 0x40})), units({0x2170}));
    EXPECT_EQ(cp932::toUnicode(bytes({0xED, 0x40})), units({0x7E8A}));
    EXPECT_EQ(cp932::fromUnicode(units({0x2460})), bytes({0x87, 0x40}));
    EXPECT_EQ(cp932::fromUnicode(units({0x2170})), bytes({0xFA, 0x40}));
}

TEST(CodePage932, KanjiKanaAndHalfWidthKatakana) {
    const QString text = QStringLiteral("夜桜ひらがなｱｲｳﾟ");
    const QByteArray encoded = cp932::fromUnicode(text);
    EXPECT_EQ(encoded.left(4), bytes({0x96, 0xE9, 0x8D, 0xF7}));
    EXPECT_EQ(encoded.right(4), bytes({0xB1, 0xB2, 0xB3, 0xDF}));
    EXPECT_EQ(cp932::toUnicode(encoded), text);
}

TEST(CodePage932, HalfWidthKatakanaFromFirstToLast) {
    // A1..DF are U+FF61..U+FF9F one for one, edges included; A0 and E0 are not.
    const int edges[] = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xB1, 0xDE, 0xDF};
    for (int b : edges) {
        const QString c = units({char16_t(0xFF61 + (b - 0xA1))});
        EXPECT_EQ(cp932::charOf(static_cast<unsigned char>(b)), c.at(0)) << std::hex << b;
        EXPECT_EQ(cp932::toUnicode(bytes({b})), c) << std::hex << b;
        EXPECT_EQ(cp932::fromUnicode(c), bytes({b})) << std::hex << b;
        EXPECT_EQ(cp932::byteLength(c), 1) << std::hex << b;
    }
    EXPECT_EQ(cp932::toUnicode(bytes({0xA1, 0xA5, 0x41, 0xDF})),
              units({0xFF61, 0xFF65, 0x41, 0xFF9F}));
    EXPECT_EQ(cp932::fromUnicode(units({0xFF60})), QByteArray("?")) << "one before the range";
    EXPECT_EQ(cp932::fromUnicode(units({0xFFA0})), QByteArray("?")) << "one after the range";
}

TEST(CodePage932, BytesWithoutACharacterOfTheirOwn) {
    // A lead byte at the end, or before a byte that cannot follow it.
    EXPECT_EQ(cp932::toUnicode(bytes({0x41, 0x81})), units({0x41, 0xFFFD}));
    EXPECT_EQ(cp932::toUnicode(bytes({0xE0, 0x20, 0x42})), units({0xFFFD, 0x20, 0x42}));
    // A well-formed pair that is no character is one replacement, not two.
    EXPECT_EQ(cp932::toUnicode(bytes({0x85, 0x40, 0x43})), units({0xFFFD, 0x43}));
    EXPECT_EQ(cp932::toUnicode(bytes({0x80, 0xA0, 0xFD, 0xFE, 0xFF})),
              units({0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3}));
    // ... and they come back as the same bytes.
    EXPECT_EQ(cp932::fromUnicode(units({0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3})),
              bytes({0x80, 0xA0, 0xFD, 0xFE, 0xFF}));
}

TEST(CodePage932, CharacterWithoutAFormBecomesOneQuestionMarkPerUnit) {
    EXPECT_EQ(cp932::fromUnicode(units({0x00A6})), QByteArray("?"));
    EXPECT_EQ(cp932::fromUnicode(QStringLiteral("a\U0001F600b")), QByteArray("a??b"));
    EXPECT_EQ(cp932::fromUnicode(units({0xD800, 0x41})), QByteArray("?A"));
}

TEST(CodePage932, ByteLengthCountsTwoForDoubleByteCharacters) {
    EXPECT_EQ(cp932::byteLength(QStringLiteral("あいう")), 6);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("abc")), 3);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("ｱｲ")), 2);
    EXPECT_EQ(cp932::byteLength(QString()), 0);
}

TEST(CodePage932, SingleBytesAndPairsOnTheirOwn) {
    EXPECT_EQ(cp932::charOf(0x41), QChar(u'A'));
    EXPECT_EQ(cp932::charOf(0xB1), QChar(0xFF71));
    EXPECT_EQ(cp932::charOf(0x81), QChar(0xFFFD));
    EXPECT_EQ(cp932::charOf(0x82, 0xA0), QChar(0x3042));
    EXPECT_EQ(cp932::charOf(0x81, 0x7F), QChar(0xFFFD));
    EXPECT_EQ(cp932::charOf(0x41, 0x41), QChar(0xFFFD));
}

TEST(CodePage932, EveryDecodedPairEncodesBackToItself) {
    int checked = 0;
    for (int lead = 0x81; lead <= 0x9F; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!cp932::isTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const QChar c =
                cp932::charOf(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            if (c.unicode() == 0xFFFD)
                continue;
            const QByteArray back = cp932::fromUnicode(QString(c));
            // Row 13 repeats a few math signs of row 2; those encode to row 2.
            if (lead == 0x87 && back.at(0) == '\x81')
                continue;
            EXPECT_EQ(back, bytes({lead, trail})) << std::hex << lead << " " << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 4900);
}
