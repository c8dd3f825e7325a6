#include "platform/files/filesystem.h"

#include "support/temp_files.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tambolin;
using tambolin::testing::readFile;
using tambolin::testing::TempFolder;
using tambolin::testing::writeFile;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

QStringList namesIn(const QString &dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(Wildcards, StarAndQuestionMark) {
    EXPECT_TRUE(wildcardMatch("*.tbn", "song.tbn"));
    EXPECT_FALSE(wildcardMatch("*.tbn", "song.tbn.bak"));
    EXPECT_TRUE(wildcardMatch("s?ng.*", "sung.txt"));
    EXPECT_FALSE(wildcardMatch("s?ng", "sng"));
    EXPECT_TRUE(wildcardMatch("*a*b", "xxaxxab"));
    EXPECT_FALSE(wildcardMatch("*a*b", "xxaxxa"));
    EXPECT_TRUE(wildcardMatch("*", "anything"));
    EXPECT_TRUE(wildcardMatch("~tambol.tbn", "~tambol.tbn"));
    EXPECT_FALSE(wildcardMatch("Song.tbn", "song.tbn")); // names are case-sensitive here
    // A leading dot is matched only by a pattern that has one.
    EXPECT_FALSE(wildcardMatch("*", ".hidden"));
    EXPECT_TRUE(wildcardMatch(".*", ".hidden"));
}

TEST(DeleteFiles, PatternDeletesOnlyMatchingFilesOfThatFolder) {
    TempFolder dir;
    for (const char *name : {"a.tbn", "b.tbn", "c.txt", "sub/d.tbn"}) {
        QDir().mkpath(QFileInfo(dir.path(name)).path());
        ASSERT_TRUE(writeFile(dir.path(name), "x"));
    }
    EXPECT_TRUE(deleteFiles(dir.path("*.tbn")));
    EXPECT_EQ(namesIn(dir.path()), QStringList({"c.txt", "sub"}));
    EXPECT_TRUE(QFileInfo::exists(dir.path("sub/d.tbn")));
    EXPECT_FALSE(deleteFiles(dir.path("*.tbn"))); // nothing left to match
}

TEST(DeleteFiles, SingleNamesAndFailures) {
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.path("one"), "x"));
    EXPECT_TRUE(deleteFiles(dir.path("one")));
    EXPECT_FALSE(QFileInfo::exists(dir.path("one")));
    EXPECT_FALSE(deleteFiles(dir.path("one")));
    EXPECT_FALSE(deleteFiles(QString()));
    EXPECT_FALSE(deleteFiles(dir.path("no/such/*")));
    QDir(dir.path()).mkdir("folder");
    EXPECT_FALSE(deleteFiles(dir.path("folder")));
    EXPECT_TRUE(QFileInfo(dir.path("folder")).isDir());
}

TEST(DeleteFiles, WriteProtectedFileStopsTheDeletion) {
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.path("a.tbn"), "x"));
    ASSERT_TRUE(writeFile(dir.path("b.tbn"), "x"));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path("a.tbn")).constData(), 0444), 0);
    EXPECT_FALSE(deleteFiles(dir.path("*.tbn")));
    EXPECT_TRUE(QFileInfo::exists(dir.path("a.tbn")));
    EXPECT_FALSE(deleteFiles(dir.path("a.tbn")));
}

TEST(TempFolderQuery, ReportsTheFolderWithItsTrailingSlash) {
    TempFolder dir;
    ScopedEnv env("TMPDIR", QFile::encodeName(dir.path()));
    QByteArray buffer(256, '\0');
    const quint32 n = GetTempPathA(256, buffer);
    EXPECT_EQ(buffer.left(n), QFile::encodeName(dir.path()) + '/');
    EXPECT_EQ(buffer.size(), 256);
    EXPECT_EQ(buffer.at(n), '\0');
}

TEST(TempFolderQuery, FallsBackToTmpAndReportsTheSizeNeeded) {
    {
        ScopedEnv env("TMPDIR", "relative/dir");
        QByteArray buffer(256, '\0');
        EXPECT_EQ(buffer.left(GetTempPathA(256, buffer)), QByteArray("/tmp/"));
    }
    {
        ScopedEnv env("TMPDIR", "/no/such/folder/at/all");
        QByteArray buffer(256, '\0');
        EXPECT_EQ(buffer.left(GetTempPathA(256, buffer)), QByteArray("/tmp/"));
    }
    ScopedEnv env("TMPDIR", "/tmp");
    QByteArray small(4, 'z');
    EXPECT_EQ(GetTempPathA(4, small), 6u); // "/tmp/" and its NUL
    EXPECT_EQ(small, QByteArray("zzzz"));
}

TEST(TempFileName, CreatesANewEmptyFileFromThePrefix) {
    TempFolder dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    QByteArray first(260, '\0'), second(260, '\0');
    const quint32 a = GetTempFileNameA(folder, "tambolin", 0, first);
    const quint32 b = GetTempFileNameA(folder, "tambolin", 0, second);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    const QString nameA = QFile::decodeName(first.left(first.indexOf('\0')));
    const QString nameB = QFile::decodeName(second.left(second.indexOf('\0')));
    EXPECT_NE(nameA, nameB);
    EXPECT_EQ(nameA,
              dir.path() + QStringLiteral("/tam") + QString::number(a, 16).toUpper() + ".tmp");
    EXPECT_TRUE(QFileInfo(nameA).isFile());
    EXPECT_EQ(QFileInfo(nameA).size(), 0);
}

TEST(TempFileName, GivenNumberOnlyNamesAndBadInputFails) {
    TempFolder dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    QByteArray name(260, '\0');
    EXPECT_EQ(GetTempFileNameA(folder, "x", 0x2a, name), 0x2au);
    EXPECT_EQ(name.left(name.indexOf('\0')), folder + "/x2A.tmp");
    EXPECT_TRUE(namesIn(dir.path()).isEmpty());
    EXPECT_EQ(GetTempFileNameA(folder + "/missing", "x", 0, name), 0u);
    EXPECT_EQ(GetTempFileNameA(folder, "../", 0, name), 0u); // would leave the folder
    EXPECT_EQ(GetTempFileNameA(QByteArray(300, 'a').prepend('/'), "x", 0, name), 0u);
}

TEST(ReplaceFile, TakesThePlaceOfTheTargetAndKeepsItsPermissions) {
    TempFolder dir;
    const QString target = dir.path("song.tbn");
    ASSERT_TRUE(writeFile(target, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    const QString beside = createFileBeside(target);
    ASSERT_FALSE(beside.isEmpty());
    EXPECT_EQ(QFileInfo(beside).path(), dir.path());
    ASSERT_TRUE(writeFile(beside, "new"));
    EXPECT_TRUE(replaceFile(beside, target));
    EXPECT_EQ(readFile(target), QByteArray("new"));
    EXPECT_FALSE(QFileInfo::exists(beside));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ReplaceFile, FailureLeavesBothFiles) {
    TempFolder dir;
    QDir(dir.path()).mkdir("folder");
    const QString beside = createFileBeside(dir.path("folder"));
    ASSERT_TRUE(writeFile(beside, "new"));
    EXPECT_FALSE(replaceFile(beside, dir.path("folder")));
    EXPECT_TRUE(QFileInfo(dir.path("folder")).isDir());
    EXPECT_EQ(readFile(beside), QByteArray("new"));
    EXPECT_TRUE(createFileBeside(dir.path("missing/song.tbn")).isEmpty());
}

TEST(Folders, CreateOneLevelOnly) {
    TempFolder dir;
    EXPECT_TRUE(createFolder(dir.path("new")));
    EXPECT_FALSE(createFolder(dir.path("new")));
    EXPECT_FALSE(createFolder(dir.path("a/b")));
    EXPECT_FALSE(createFolder(QString()));
}

TEST(FileSizes, RegularFilesOnly) {
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.path("five"), "12345"));
    EXPECT_EQ(fileSize(dir.path("five")), 5);
    EXPECT_EQ(fileSize(dir.path("missing")), -1);
    EXPECT_EQ(fileSize(dir.path()), -1);
    EXPECT_EQ(fileSize(QStringLiteral("/dev/zero")), -1);
    EXPECT_EQ(fileSize(QString()), -1);
}
