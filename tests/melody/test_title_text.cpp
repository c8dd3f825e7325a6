#include "melody/title_text.h"

#include "melody_fixture.h"

#include <QDir>

using namespace tambolin;
using tambolin::testing::bytes;
using tambolin::testing::MelodyTest;

namespace {

// Title bytes as the reader hands them over: element 0 unused.
QString get(const QByteArray &title, int size = -1) {
    QByteArray buffer = QByteArray(1, '\0') + title;
    Integer tsize = static_cast<Integer>(size < 0 ? title.size() : size);
    return TitleName_Get(buffer, tsize).toString();
}

class TitleText : public MelodyTest {
protected:
    QByteArray put(const QString &title) {
        mod().mtitle = title;
        return captureWrites([] {
            Integer pnum = mod().fno;
            TitleName_Put(pnum);
        });
    }
};

} // namespace

TEST(TitleGet, TwoByteRunsAndSingleBytes) {
    EXPECT_EQ(get(bytes({27, 36, 66, 36, 70, 36, 57, 36, 72, 27, 40, 66})),
              QStringLiteral("てすと"));
    EXPECT_EQ(get("AB"), QStringLiteral("AB"));
    EXPECT_EQ(get("AB", 0), QString());
    EXPECT_EQ(get(bytes({0x41, 27, 36, 66, 0x3A, 0x79, 27, 40, 66, 0xB1})), QStringLiteral("A桜ｱ"));
}

TEST(TitleGet, OddAndUnknownBytes) {
    // A last odd byte in two-byte mode is a single byte.
    EXPECT_EQ(get(bytes({27, 36, 66, 0x24, 0x22, 0x41})), QStringLiteral("あA"));
    // Other escapes are plain characters.
    EXPECT_EQ(get(bytes({27, 36, 64, 0x41})), QString(QChar(27)) + QStringLiteral("$@A"));
    // A pair with no Shift_JIS form is two NULs.
    EXPECT_EQ(get(bytes({27, 36, 66, 0x7F, 0x21})), QString(2, QChar(0)));
    // A pair that converts but is no character is one replacement character.
    EXPECT_EQ(get(bytes({27, 36, 66, 0x29, 0x21})), QString(QChar(0xFFFD)));
    // A lone lead byte outside two-byte mode.
    EXPECT_EQ(get(bytes({0x41, 0x82})), QStringLiteral("A") + QChar(0xFFFD));
    EXPECT_EQ(get(bytes({0x80, 0xA0, 0xFF})), QString(QChar(0x80)) + QChar(0xF8F0) + QChar(0xF8F3));
}

TEST(TitleGet, SizeBeyondTheArrayOrNegative) {
    EXPECT_EQ(get("AB", 10), QStringLiteral("AB"));
    QByteArray ab("\0AB", 3);
    Integer negative = -3;
    EXPECT_EQ(TitleName_Get(ab, negative).toString(), QString());
    QByteArray empty;
    Integer size = 5;
    EXPECT_EQ(TitleName_Get(empty, size).toString(), QString());
    EXPECT_EQ(get("ABC", 2), QStringLiteral("AB"));
}

TEST(TitleGet, EscapeSplitByTheSizeIsTakenAsSingleBytes) {
    EXPECT_EQ(get(bytes({65, 27, 36, 66}), 3), QString(QChar(65)) + QChar(27) + QChar(36));
}

TEST_F(TitleText, SingleByteTitlesAreCutTo24Bytes) {
    EXPECT_EQ(put(QString(30, u'A')), QByteArray(24, 'A'));
    EXPECT_EQ(put(QStringLiteral("ｻｸﾗ")), bytes({0xBB, 0xB8, 0xD7}));
    EXPECT_EQ(put(QString()), QByteArray());
}

TEST_F(TitleText, TwoByteRunsFitIn25Bytes) {
    const QByteArray letters15(15, 'a');
    EXPECT_EQ(put(QString(15, u'a') + QStringLiteral("夜桜月")),
              letters15 + bytes({27, 36, 66, 0x4C, 0x6B, 0x3A, 0x79, 27, 40, 66}));
    EXPECT_EQ(put(QString(15, u'a') + QStringLiteral("夜桜月")).size(), 25);
    EXPECT_EQ(put(QString(17, u'a') + QStringLiteral("夜")), QByteArray(17, 'a'));
    EXPECT_EQ(put(QString(16, u'a') + QStringLiteral("夜")),
              QByteArray(16, 'a') + bytes({27, 36, 66, 0x4C, 0x6B, 27, 40, 66}));
}

TEST_F(TitleText, ClosingSequenceCountsBeforeALaterSingleByte) {
    EXPECT_EQ(put(QStringLiteral("夜B")), bytes({27, 36, 66, 0x4C, 0x6B, 27, 40, 66, 'B'}));
    // Twelve kanji: the run stops while its closing still fits.
    const QByteArray written = put(QString(12, QChar(0x685C)));
    EXPECT_EQ(written.size(), 3 + 9 * 2 + 3);
    EXPECT_EQ(written.right(3), bytes({27, 40, 66}));
}

TEST_F(TitleText, CharactersWithoutAFormAndTheUserArea) {
    EXPECT_EQ(put(QStringLiteral("a\U0001F600")), QByteArray("a??"));
    // U+E000 is F0 40, which has no JIS form: it is written as two zeros.
    EXPECT_EQ(put(QString(QChar(0xE000))), bytes({27, 36, 66, 0, 0, 27, 40, 66}));
}

TEST_F(TitleText, WrittenTitlesReadBack) {
    for (const QString &title : {QStringLiteral("夜桜"), QStringLiteral("ｻﾝﾚﾝﾌﾟ ﾏｰﾁ"),
                                 QStringLiteral("朝のTrio"), QStringLiteral("A\"B\\C")}) {
        EXPECT_EQ(decodeTitle(put(title)), title);
    }
}

TEST_F(TitleText, NoOpenFileWritesNothing) {
    // Another file is open meanwhile: a title for a number naming no open
    // file must not end up in it, nor anywhere else.
    const QByteArray written = captureWrites([] {
        mod().mtitle = QStringLiteral("夜桜 A");
        for (Integer pnum : {Integer{0}, Integer{-1}, Integer{300}, Integer(mod().fno + 1)})
            EXPECT_NO_THROW(TitleName_Put(pnum));
    });
    EXPECT_EQ(written, QByteArray());
    EXPECT_EQ(QDir(path(QString())).entryList(QDir::Files | QDir::Hidden),
              QStringList{"capture.bin"});
}

TEST_F(TitleText, HalfWidthKatakanaAtTheEdgesOfTheirRangeRoundTrip) {
    // ｡ ｢ ｣ ､ ･ open the single-byte range A1..A5 and ﾟ closes it at DF.
    const QString title = QString::fromUtf16(u"\uFF61\uFF62\uFF63\uFF64\uFF65\uFF9F");
    const QByteArray expected = bytes({0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xDF});
    EXPECT_EQ(put(title), expected);
    EXPECT_EQ(decodeTitle(expected), title);
    EXPECT_EQ(get(expected), title);
}
