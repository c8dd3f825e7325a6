// String formatting and text helpers.

#include "platform/desktop/handles.h"
#include "util/cl_gl010c.h"
#include "util/gl010c_numformat.h"

#include <QFontMetrics>
#include <QRandomGenerator>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tambolin;

namespace {

QString formatChange(const QString &mdat, const QString &fstr) {
    CL_GL010C gl;
    QString m = mdat, f = fstr;
    return gl.RVN_FormatChange(m, f);
}

QString charChange(const QString &buf, const QString &schr, const QString &dchr,
                   std::optional<Integer> mode) {
    CL_GL010C gl;
    QString b = buf, s = schr, d = dchr;
    Integer m = mode.value_or(0);
    return gl.RVN_CharChange(b, s, d, mode ? &m : nullptr);
}

StringArray array(Long lower, QStringList items) {
    StringArray a;
    a.lower = lower;
    for (const QString &s : items)
        a.items.push_back(s);
    return a;
}

} // namespace

TEST(FormatChange, DirectivesOnANumber) {
    EXPECT_EQ(formatChange("12.5", "Total %D"), "Total 13");
    EXPECT_EQ(formatChange("12.5", "[%5D]"), "[   13]");
    EXPECT_EQ(formatChange("12.5", "%3Z"), "2.5"); // cut on the left
    EXPECT_EQ(formatChange("12.5", "%S!"), "12.5!");
    EXPECT_EQ(formatChange("12.5", "%#,##0.00A"), "12.50");
    EXPECT_EQ(formatChange("12.5", "50%"), "50%");
    EXPECT_EQ(formatChange("12.5", "%d and %s"), "13 and 12.5");
    EXPECT_EQ(formatChange("12.5", "%F|%6F|%2F"), "12.5|  12.5|.5");
    EXPECT_EQ(formatChange("7", "%1Z"), "7");
    EXPECT_EQ(formatChange("7", "%3Z"), "007");
    EXPECT_EQ(formatChange("7", "%0D|%xD"), "|"); // width 0 writes nothing
}

TEST(FormatChange, RoundsHalvesUpAndWritesNoLeadingZero) {
    EXPECT_EQ(formatChange("2.5", "%D"), "3");
    EXPECT_EQ(formatChange("-2.5", "%D"), "-2");
    EXPECT_EQ(formatChange(" 0.5 ", "%D"), "1");
    EXPECT_EQ(formatChange("0.5", "%F"), ".5");
    EXPECT_EQ(formatChange("-0.25", "%F"), "-.25");
    EXPECT_EQ(formatChange("1e20", "%F"), "1E+20");
    EXPECT_EQ(formatChange("12abc", "%F"), "12"); // the leading number
}

TEST(FormatChange, NonNumbersAndUnknownDirectives) {
    EXPECT_EQ(formatChange("abc", "x%Dy"), "y"); // the text before it goes with it
    EXPECT_EQ(formatChange("abc", "x%5Dy"), "y");
    EXPECT_EQ(formatChange("abc", "x%Fy"), "x0y");
    EXPECT_EQ(formatChange("abc", "x%Sy"), "xabcy");
    EXPECT_EQ(formatChange("12.5", "%12D"), "%12D"); // widths are one digit
    EXPECT_EQ(formatChange("12.5", "100% sure"), "100% sure");
    EXPECT_EQ(formatChange("12.5", "%"), "%");
    EXPECT_EQ(formatChange("12.5", ""), "");
}

TEST(FormatChange, NumericPatterns) {
    EXPECT_EQ(formatChange("1234567.891", "%#,##0.00A"), "1,234,567.89");
    EXPECT_EQ(formatChange("0.125", "%0.00A"), "0.13"); // halves away from zero
    EXPECT_EQ(formatChange("-1.25", "%0.0;(0.0)A kg"), "(1.3) kg");
    EXPECT_EQ(formatChange("0.256", "%0%A"), "26%");
    EXPECT_EQ(formatChange("5", "%000A|%##A|%#.##A"), "005|5|5.");
    EXPECT_EQ(formatChange("0.5", "%#.##A"), ".5");
    EXPECT_EQ(formatChange("1234", "%00-00A"), "12-34");
    EXPECT_EQ(formatChange("1234567", "%#,A"), "1235"); // a trailing comma divides by 1000
    EXPECT_EQ(formatNumber(-0.004, "0.00"), "0.00");    // nothing left to be negative
    EXPECT_EQ(formatNumber(-5, "\"n=\"0"), "-n=5");
    EXPECT_EQ(formatNumber(0, "0;-0;\"zero\""), "zero");
    EXPECT_EQ(formatNumber(99.995, "0.00"), "100.00");
    EXPECT_EQ(formatNumber(12.5, ""), "12.5");
}

TEST(CharChange, ReplacesBySideAccordingToTheMode) {
    const QString text = "  a b  ";
    EXPECT_EQ(charChange(text, " ", "", 0), "ab");
    EXPECT_EQ(charChange(text, " ", "", 1), "a b  ");
    EXPECT_EQ(charChange(text, " ", "", 2), "  a b");
    EXPECT_EQ(charChange(text, " ", "", 3), "a b");
    EXPECT_EQ(charChange(text, " ", "_", 3), "__a b__");
    EXPECT_EQ(charChange(text, " ", "", 4), "");
    EXPECT_EQ(charChange(text, " ", "", -1), "");
    EXPECT_EQ(charChange(text, " ", "-", std::nullopt), "--a-b--");
    EXPECT_EQ(charChange(text, "  ", "", 0), text); // two characters never equal one
    EXPECT_EQ(charChange("    ", " ", "", 3), "");
}

TEST(CharDoubleCheck, ReplacesRunsLeftToRightWithoutOverlap) {
    CL_GL010C gl;
    QString buf = "a   b  c", schr = " x", dchr = "_";
    Integer two = 2;
    EXPECT_EQ(gl.RVN_CharDoubleCheck(buf, schr, two, dchr), "a_ b_c");
    Integer one = 1;
    EXPECT_EQ(gl.RVN_CharDoubleCheck(buf, schr, one, dchr), "a___b__c");
    // A run of no characters would match everywhere: nothing is replaced.
    Integer zero = 0, negative = -3;
    EXPECT_EQ(gl.RVN_CharDoubleCheck(buf, schr, zero, dchr), buf);
    EXPECT_EQ(gl.RVN_CharDoubleCheck(buf, schr, negative, dchr), buf);
    QString none;
    EXPECT_EQ(gl.RVN_CharDoubleCheck(buf, none, two, dchr), buf);
}

TEST(CharLet, SplitsKeyAndValueAndTrimsThem) {
    CL_GL010C gl;
    QString line = "  name   =   \"Taro\"  ", hed = "old", dat = "old";
    EXPECT_EQ(gl.RVN_CharLet(line, hed, dat), True);
    EXPECT_EQ(hed, "name");
    EXPECT_EQ(dat, "Taro");

    QString inner = "k= \" a=b \" ";
    EXPECT_EQ(gl.RVN_CharLet(inner, hed, dat), True);
    EXPECT_EQ(hed, "k");
    EXPECT_EQ(dat, " a=b "); // quotes go, spaces inside them stay

    QString noEquals = "name Taro";
    hed = "kept", dat = "kept too";
    EXPECT_EQ(gl.RVN_CharLet(noEquals, hed, dat), False);
    EXPECT_EQ(hed, "kept");
    EXPECT_EQ(dat, "kept too");
}

TEST(CharCutAndStrSubst, FindAndReplace) {
    CL_GL010C gl;
    QString buf = "key=value=x", eq = "=", none, missing = ";";
    EXPECT_EQ(gl.RVN_CharCut(buf, eq), "key");
    EXPECT_EQ(gl.RVN_CharCut(buf, missing), buf);
    EXPECT_EQ(gl.RVN_CharCut(buf, none), ""); // found at once

    auto subst = [&gl](QString b, QString s, QString d) { return gl.RVN_StrSubst(b, s, d); };
    EXPECT_EQ(subst("aab", "ab", "b"), "b"); // a replacement makes a new occurrence
    EXPECT_EQ(subst("xaaabbby", "ab", ""), "xy");
    EXPECT_EQ(subst("a-b-c", "-", "+"), "a+b+c");
    EXPECT_EQ(subst("abc", "", "x"), "abc");         // nothing to look for
    EXPECT_EQ(subst("a.b.c", ".", ".."), "a..b..c"); // would never end: once each
    EXPECT_EQ(subst("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(subst("", "a", "b"), "");
}

TEST(StrEnum, CountsEveryItemAndStoresThoseThatFit) {
    CL_GL010C gl;
    QString dat = "a,b,,c", comma = ",";
    StringArray oneBased = array(1, {"", "", "", "", "untouched"});
    EXPECT_EQ(gl.RVN_StrEnum(dat, comma, oneBased), 4);
    EXPECT_EQ(oneBased, array(1, {"a", "b", "", "c", "untouched"}));

    // Numbered from 1 whatever the lower bound; items past the end are counted only.
    StringArray zeroBased = array(0, {"z", "", ""});
    EXPECT_EQ(gl.RVN_StrEnum(dat, comma, zeroBased), 4);
    EXPECT_EQ(zeroBased, array(0, {"z", "a", "b"}));

    QString empty, trailing = "a,";
    StringArray out = array(1, {"", ""});
    EXPECT_EQ(gl.RVN_StrEnum(empty, comma, out), 0);
    EXPECT_EQ(gl.RVN_StrEnum(trailing, comma, out), 1);
    EXPECT_EQ(out, array(1, {"a", ""}));

    QString pair = "a::b", twoChars = "::";
    EXPECT_EQ(gl.RVN_StrEnum(pair, twoChars, out), 2);
    EXPECT_EQ(out, array(1, {"a", ":b"})); // only the separator's first character goes
}

TEST(ShellSort, SortsWhateverTheLowerBound) {
    CL_GL010C gl;
    for (Long lower : {1, 0, 2, 5, -3}) {
        SCOPED_TRACE(lower);
        StringArray a = array(lower, {"e", "d", "c", "b", "a"});
        gl.RVN_ShellSort(a);
        EXPECT_EQ(a, array(lower, {"a", "b", "c", "d", "e"}));
    }
    StringArray empty = array(1, {});
    gl.RVN_ShellSort(empty);
    EXPECT_TRUE(empty.items.empty());
}

TEST(ShellSort, KeepsEveryElementOfALargeArray) {
    CL_GL010C gl;
    QRandomGenerator random(42);
    StringArray a;
    a.lower = 1;
    for (int i = 0; i < 500; ++i)
        a.items.push_back(QString::number(random.bounded(100)) + QChar(0x3042 + random.bounded(3)));
    std::vector<QString> expected = a.items;
    std::sort(expected.begin(), expected.end()); // code-unit order
    gl.RVN_ShellSort(a);
    EXPECT_EQ(a.items, expected);
}

TEST(EllipsisString, ShortensAPathToTheWidthKeepingItsLastComponent) {
    QWidget widget;
    QFont font = widget.font();
    font.setPixelSize(12);
    widget.setFont(font);
    const QFontMetrics metrics(font);
    Long hdc = handleOf(&widget);
    CL_GL010C gl;

    const QString path = "/home/user/music/ringtones/classics/melody.tbn";
    const Long wide = metrics.horizontalAdvance(path) + 10;
    EXPECT_EQ(gl.RVN_EllipsisString(path, hdc, wide, 20), path);

    const Long narrow = metrics.horizontalAdvance("/home/us.../melody.tbn");
    const QString shortened = gl.RVN_EllipsisString(path, hdc, narrow, 20);
    EXPECT_TRUE(shortened.endsWith("/melody.tbn")) << shortened.toStdString();
    EXPECT_TRUE(shortened.startsWith("/home")) << shortened.toStdString();
    EXPECT_TRUE(shortened.contains("...")) << shortened.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shortened), narrow);
    EXPECT_LT(shortened.size(), path.size());

    // Too narrow even for the last component: that component is kept whole.
    EXPECT_EQ(gl.RVN_EllipsisString(path, hdc, 5, 20), ".../melody.tbn");

    // Without a folder the middle goes.
    const QString word = "abcdefghijklmnopqrstuvwxyz";
    const Long half = metrics.horizontalAdvance(word) / 2;
    const QString middle = gl.RVN_EllipsisString(word, hdc, half, 20);
    EXPECT_TRUE(middle.startsWith('a') && middle.endsWith('z') && middle.contains("..."))
        << middle.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(middle), half);

    // A handle that names no window leaves the text as it is.
    Long unknown = 0;
    EXPECT_EQ(gl.RVN_EllipsisString(path, unknown, 5, 20), path);
}
