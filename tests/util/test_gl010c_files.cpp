#include "util/cl_gl010c.h"

#include "support/temp_files.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tambolin;
using tambolin::testing::TempFolder;
using tambolin::testing::writeFile;

namespace {

class ScopedTmpDir {
public:
    explicit ScopedTmpDir(const QByteArray &value)
        : m_old(qgetenv("TMPDIR")), m_had(qEnvironmentVariableIsSet("TMPDIR")) {
        qputenv("TMPDIR", value);
    }
    ~ScopedTmpDir() {
        if (m_had)
            qputenv("TMPDIR", m_old);
        else
            qunsetenv("TMPDIR");
    }

private:
    QByteArray m_old;
    bool m_had;
};

class Gl010cFiles : public ::testing::Test {
protected:
    CL_GL010C util;
    TempFolder dir;

    QString path(const QString &name = {}) { return dir.path(name); }
};

} // namespace

TEST_F(Gl010cFiles, FilesizeOfMissingEmptyAndFullFiles) {
    QString missing = path("missing"), empty = path("empty"), full = path("full"), folder = path();
    ASSERT_TRUE(writeFile(empty, {}));
    ASSERT_TRUE(writeFile(full, QByteArray(1234, 'x')));
    EXPECT_EQ(util.RVN_Filesize(missing), -1);
    EXPECT_EQ(util.RVN_Filesize(empty), 0);
    EXPECT_EQ(util.RVN_Filesize(full), 1234);
    EXPECT_EQ(util.RVN_Filesize(folder), -1);
}

TEST_F(Gl010cFiles, FilekillSingleFileAndWildcards) {
    for (const char *name : {"a.tbn", "b.tbn", "keep.txt", "x1", "x22"})
        ASSERT_TRUE(writeFile(path(name), "x"));
    QString one = path("a.tbn");
    EXPECT_EQ(util.RVN_Filekill(one), True);
    EXPECT_EQ(util.RVN_Filekill(one), False); // gone already
    QString stars = path("*.tbn");
    EXPECT_EQ(util.RVN_Filekill(stars), True);
    QString question = path("x?");
    EXPECT_EQ(util.RVN_Filekill(question), True);
    EXPECT_EQ(QDir(path()).entryList(QDir::Files, QDir::Name), QStringList({"keep.txt", "x22"}));
    QString none = path("*.mid"), empty;
    EXPECT_EQ(util.RVN_Filekill(none), False);
    EXPECT_EQ(util.RVN_Filekill(empty), False);
}

TEST_F(Gl010cFiles, MkdirOneLevelWithOrWithoutTrailingSlash) {
    QString withSlash = path("new/");
    EXPECT_EQ(util.RVN_Mkdir(withSlash), True);
    EXPECT_TRUE(QFileInfo(path("new")).isDir());
    EXPECT_EQ(util.RVN_Mkdir(withSlash), False); // exists
    QString root = QStringLiteral("/");
    EXPECT_EQ(util.RVN_Mkdir(root), False);
    QString deep = path("a/b");
    EXPECT_EQ(util.RVN_Mkdir(deep), False);
    QString empty;
    EXPECT_EQ(util.RVN_Mkdir(empty), False);
}

TEST_F(Gl010cFiles, PathAddsExactlyOneTrailingSlash) {
    EXPECT_EQ(util.RVN_Path(QString()), QString());
    EXPECT_EQ(util.RVN_Path(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(util.RVN_Path(QStringLiteral("/data")), QStringLiteral("/data/"));
    EXPECT_EQ(util.RVN_Path(QStringLiteral("/data/")), QStringLiteral("/data/"));
    EXPECT_EQ(util.RVN_Path(QStringLiteral("/data//")), QStringLiteral("/data//"));
}

TEST_F(Gl010cFiles, PathcheckPrefixesRelativeNamesWithoutASeparator) {
    QString name = QStringLiteral("a.tbn");
    QString withSlash = QStringLiteral("/data/"), without = QStringLiteral("/data");
    EXPECT_EQ(util.RVN_Pathcheck(name, withSlash), QStringLiteral("/data/a.tbn"));
    EXPECT_EQ(util.RVN_Pathcheck(name, without), QStringLiteral("/dataa.tbn"));
    QString absolute = QStringLiteral("/x/y.tbn"), network = QStringLiteral("//server/share/y.tbn");
    EXPECT_EQ(util.RVN_Pathcheck(absolute, withSlash), absolute);
    EXPECT_EQ(util.RVN_Pathcheck(network, withSlash), network);
    QString relative = QStringLiteral("sub/x");
    EXPECT_EQ(util.RVN_Pathcheck(relative, withSlash), QStringLiteral("/data/sub/x"));
}

TEST_F(Gl010cFiles, GetFileNameTakesTheLastComponent) {
    auto name = [&](QString p) { return util.RVN_GetFileName(p); };
    EXPECT_EQ(name(QString()), QString());
    EXPECT_EQ(name("/dir/"), QString());
    EXPECT_EQ(name("/dir/x.tbn"), QStringLiteral("x.tbn"));
    // Both separators count once the path has a "/" at all ...
    EXPECT_EQ(name("/dir\\x.tbn"), QStringLiteral("x.tbn"));
    // ... and a name with only backslashes comes back whole.
    EXPECT_EQ(name("dir\\x.tbn"), QStringLiteral("dir\\x.tbn"));
    EXPECT_EQ(name("x.tbn"), QStringLiteral("x.tbn"));
}

TEST_F(Gl010cFiles, GetFileExtIsTheTextAfterTheLastDot) {
    auto ext = [&](QString p) { return util.RVN_GetFileExt(p); };
    EXPECT_EQ(ext("song.tbn"), QStringLiteral("tbn"));
    EXPECT_EQ(ext("a.b.c"), QStringLiteral("c"));
    EXPECT_EQ(ext("song."), QString());
    EXPECT_EQ(ext("song"), QString());
    EXPECT_EQ(ext(QString()), QString());
    EXPECT_EQ(ext("/old.d/name"), QStringLiteral("d/name")); // the scan does not stop at a folder
}

TEST_F(Gl010cFiles, TempPathAsTheSystemReportsIt) {
    ScopedTmpDir env(QFile::encodeName(path()));
    EXPECT_EQ(util.RVN_TempPath(), path() + u'/');
}

TEST_F(Gl010cFiles, TempPathTooLongForTheBufferIsEmpty) {
    QString longPath = path();
    while (longPath.size() < 300)
        longPath += QStringLiteral("/deeper-folder-name");
    ASSERT_TRUE(QDir().mkpath(longPath));
    ScopedTmpDir env(QFile::encodeName(longPath));
    EXPECT_EQ(util.RVN_TempPath(), QString());
    QString prefix = QStringLiteral("tbn");
    EXPECT_EQ(util.RVN_TempFilename(prefix), QString());
}

TEST_F(Gl010cFiles, TempFilenameCreatesNewEmptyFiles) {
    ScopedTmpDir env(QFile::encodeName(path()));
    QString prefix = QStringLiteral("tambolin");
    const QString a = util.RVN_TempFilename(prefix);
    const QString b = util.RVN_TempFilename(prefix);
    EXPECT_NE(a, b);
    for (const QString &name : {a, b}) {
        EXPECT_TRUE(name.startsWith(path() + QStringLiteral("/tam"))) << name.toStdString();
        EXPECT_TRUE(name.endsWith(QStringLiteral(".tmp")));
        EXPECT_FALSE(name.contains(QChar(0)));
        EXPECT_TRUE(QFileInfo(name).isFile());
        EXPECT_EQ(QFileInfo(name).size(), 0);
    }
}

TEST_F(Gl010cFiles, LenBCountsCodePageBytes) {
    QString kana = QStringLiteral("あいう"), ascii = QStringLiteral("abc"),
            mixed = QStringLiteral("夜桜ab"), empty;
    EXPECT_EQ(util.RVN_LenB(kana), 6);
    EXPECT_EQ(util.RVN_LenB(ascii), 3);
    EXPECT_EQ(util.RVN_LenB(mixed), 6);
    EXPECT_EQ(util.RVN_LenB(empty), 0);
}

TEST_F(Gl010cFiles, MidBNeverSplitsADoubleByteCharacter) {
    QString s = QStringLiteral("漢字abc"); // 7 bytes
    auto mid = [&](Long start, QVariant *len) { return util.RVN_MidB(s, start, len); };
    QVariant two(2);
    EXPECT_EQ(mid(3, &two), QStringLiteral("字"));
    EXPECT_EQ(mid(2, &two), QStringLiteral("漢")); // its second byte is the start byte
    EXPECT_EQ(mid(6, nullptr), QStringLiteral("bc"));
    EXPECT_EQ(mid(9, nullptr), QString());
    EXPECT_EQ(mid(1, nullptr), s);
    QVariant one(1);
    EXPECT_EQ(mid(1, &one), QString()); // the first character ends past the range
}

TEST_F(Gl010cFiles, MidBConvertsTheLengthOrFails) {
    QString s = QStringLiteral("abcdef");
    Long start = 2;
    QVariant text(QStringLiteral(" 3 ")), half(2.5), bad(QStringLiteral("three")), empty,
        huge(3e12);
    EXPECT_EQ(util.RVN_MidB(s, start, &text), QStringLiteral("bcd"));
    EXPECT_EQ(util.RVN_MidB(s, start, &half), QStringLiteral("bc")); // 2.5 rounds to even
    EXPECT_EQ(util.RVN_MidB(s, start, &bad), QString());
    EXPECT_EQ(util.RVN_MidB(s, start, &empty), QString());
    EXPECT_EQ(util.RVN_MidB(s, start, &huge), QString());
    Long big = 2147483647;
    QVariant len(5);
    EXPECT_EQ(util.RVN_MidB(s, big, &len), QString());
}
