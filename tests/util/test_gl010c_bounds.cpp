// Utility methods on input chosen to exhaust time, memory or the files.

#include "util/cl_gl010c.h"

#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

QString subst(QString buf, QString sstr, QString dstr) {
    CL_GL010C gl;
    return gl.RVN_StrSubst(buf, sstr, dstr);
}

TEST(StrSubstBounds, RescanningStillReplacesOccurrencesThatReplacementsForm) {
    EXPECT_EQ(subst("aab", "ab", "b"), "b");
    EXPECT_EQ(subst("aabb", "ab", "ba"), "bbaa");
    EXPECT_EQ(subst("xaaby", "ab", "bba"), "xbbbbaay");
    EXPECT_EQ(subst("abcabc", "bc", "b"), "abab");
    EXPECT_EQ(subst("aXa", "a", "aa"), "aaXaa"); // dstr holds sstr: one pass
    EXPECT_EQ(subst("nothing", "zz", "y"), "nothing");
}

TEST(StrSubstBounds, GrowthPastTheCapFailsWithAnEmptyResult) {
    // Each "a" doubles the "b"s after it: 2^40 characters without the cap.
    EXPECT_EQ(subst(QString(40, u'a') + u'b', "ab", "bba"), QString());
    // Just under the cap it still works.
    const QString fits = subst(QString(19, u'a') + u'b', "ab", "bba");
    EXPECT_EQ(fits.size(), (1 << 19) + 19);
    EXPECT_EQ(fits.count(u'b'), 1 << 19);
    // A replacement that holds the text it replaces grows past the cap too.
    EXPECT_EQ(subst(QString(1 << 16, u'a'), "a", QString(32, u'a')), QString());
    // Swapping without growth still ends: the work is bounded.
    EXPECT_EQ(subst(QString(20000, u'a') + QString(20000, u'b'), "ab", "ba"), QString());
}

TEST(FilekillBounds, EveryMatchingFileGoesAndFoldersArePassedOver) {
    CL_GL010C gl;
    TempFolder dir;
    for (const char *name : {"a.txt", "c.txt", "e.txt"})
        ASSERT_TRUE(writeFile(dir.path(QString::fromLatin1(name)), "x"));
    ASSERT_TRUE(QDir().mkdir(dir.path(QStringLiteral("b.txt"))));
    ASSERT_TRUE(QDir().mkdir(dir.path(QStringLiteral("d"))));
    QString all = dir.path(QStringLiteral("*"));
    EXPECT_EQ(gl.RVN_Filekill(all), True);
    EXPECT_FALSE(QFile::exists(dir.path(QStringLiteral("a.txt"))));
    EXPECT_FALSE(QFile::exists(dir.path(QStringLiteral("c.txt"))));
    EXPECT_FALSE(QFile::exists(dir.path(QStringLiteral("e.txt"))));
    EXPECT_TRUE(QDir(dir.path(QStringLiteral("b.txt"))).exists());
    // Only folders match: nothing deleted, False.
    EXPECT_EQ(gl.RVN_Filekill(all), False);
    // A read-only file stays and makes the result False; the others still go.
    ASSERT_TRUE(writeFile(dir.path(QStringLiteral("f.txt")), "x"));
    ASSERT_TRUE(writeFile(dir.path(QStringLiteral("g.txt")), "x"));
    ASSERT_TRUE(QFile::setPermissions(dir.path(QStringLiteral("f.txt")), QFile::ReadOwner));
    QString txt = dir.path(QStringLiteral("*.txt"));
    EXPECT_EQ(gl.RVN_Filekill(txt), False);
    EXPECT_TRUE(QFile::exists(dir.path(QStringLiteral("f.txt"))));
    EXPECT_FALSE(QFile::exists(dir.path(QStringLiteral("g.txt"))));
    // A folder named without a wildcard is not a file.
    QString folder = dir.path(QStringLiteral("d"));
    EXPECT_EQ(gl.RVN_Filekill(folder), False);
}

} // namespace
