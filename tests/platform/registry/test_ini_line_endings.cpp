// Profile files with any line endings, and profiles that are no files.

#include "platform/registry/private_profile.h"

#include "support/config_home.h"
#include "support/temp_files.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

#include <string>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

std::string get(const char *section, const char *key, const std::string &file) {
    char buffer[256];
    GetPrivateProfileStringA(section, key, "(none)", buffer, sizeof buffer, file.c_str());
    return buffer;
}

TEST(IniLineEndings, WritingKeepsEveryEntryWhateverTheLineEndings) {
    ConfigHome home;
    TempFolder dir;
    const std::string file = QFile::encodeName(dir.path(QStringLiteral("t.ini"))).toStdString();
    const QByteArray variants[] = {
        "[s]\na=1\nb=2\r",       // the last line ends in a lone CR
        "[s]\ra=1\rb=2\r",       // CR only
        "[s]\r\na=1\r\nb=2\r\n", // CR LF
        "[s]\na=1\nb=2",         // no line ending at the end
        "[s]\r\na=1\rb=2\n",     // all three mixed
    };
    for (const QByteArray &text : variants) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_TRUE(writeFile(QString::fromStdString(file), text));
        ASSERT_TRUE(WritePrivateProfileStringA("s", "c", "3", file.c_str()));
        ASSERT_TRUE(WritePrivateProfileStringA("t", "d", "4", file.c_str()));
        EXPECT_EQ(get("s", "a", file), "1");
        EXPECT_EQ(get("s", "b", file), "2");
        EXPECT_EQ(get("s", "c", file), "3");
        EXPECT_EQ(get("t", "d", file), "4");
        ASSERT_TRUE(WritePrivateProfileStringA("s", "b", "22", file.c_str()));
        EXPECT_EQ(get("s", "b", file), "22");
        EXPECT_EQ(get("s", "a", file), "1");
        EXPECT_EQ(get("s", "c", file), "3");
    }
}

TEST(IniLineEndings, ANewKeyFollowsTheFilesOwnLineEnding) {
    ConfigHome home;
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("t.ini"));
    const std::string file = QFile::encodeName(path).toStdString();
    ASSERT_TRUE(writeFile(path, "[s]\ra=1\r"));
    ASSERT_TRUE(WritePrivateProfileStringA("s", "b", "2", file.c_str()));
    EXPECT_EQ(readFile(path), QByteArray("[s]\ra=1\rb=2\r"));
}

TEST(IniLimits, DevicesAndHugeFilesReadAsEmptyAndAreNotWritten) {
    ConfigHome home;
    EXPECT_EQ(get("s", "a", "/dev/zero"), "(none)");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "a", "1", "/dev/zero"));
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("huge.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.write("[s]\na=1\n") > 0);
        ASSERT_TRUE(f.resize(qint64(64) << 20)); // sparse
    }
    const std::string file = QFile::encodeName(path).toStdString();
    EXPECT_EQ(get("s", "a", file), "(none)");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "b", "2", file.c_str()));
    EXPECT_EQ(QFile(path).size(), qint64(64) << 20);
}

TEST(IniNames, ASectionNameEndingInALeadByteIsRefused) {
    ConfigHome home;
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("t.ini"));
    const std::string file = QFile::encodeName(path).toStdString();
    // The lead byte would take the closing "]" as its second byte, and every
    // later write would add the section again.
    EXPECT_FALSE(WritePrivateProfileStringA("ab\xE8", "k", "1", file.c_str()));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(WritePrivateProfileStringA("\x93\xFA\x96\x7B", "k", "1", file.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("\x93\xFA\x96\x7B", "k", "2", file.c_str()));
    EXPECT_EQ(get("\x93\xFA\x96\x7B", "k", file), "2");
    EXPECT_EQ(readFile(path).count('['), 1);
}

} // namespace
