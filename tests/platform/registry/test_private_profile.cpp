#include "platform/registry/private_profile.h"

#include "support/child_process.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tambolin;

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_hadXdg = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        m_saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + "/config"));
        m_file = QFile::encodeName(m_dir.path() + "/test.ini").toStdString();
    }
    void TearDown() override {
        if (m_hadXdg)
            qputenv("XDG_CONFIG_HOME", m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    void writeIni(const QByteArray &bytes) const {
        QFile f(QFile::decodeName(m_file.c_str()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readIni() const {
        QFile f(QFile::decodeName(m_file.c_str()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    std::string get(const char *section, const char *key, const char *def = "",
                    DWORD size = 256) const {
        std::vector<char> buf(size + 1, 'X');
        const DWORD n = GetPrivateProfileStringA(section, key, def, buf.data(), size, ini());
        EXPECT_EQ(buf[n], '\0') << "the result is NUL-ended";
        return std::string(buf.data(), n);
    }
    // A listing as the caller sees it: the bytes up to the double NUL.
    std::string list(const char *section, DWORD size = 256, DWORD *returned = nullptr) const {
        std::vector<char> buf(size, 'X');
        const DWORD n = GetPrivateProfileStringA(section, nullptr, "", buf.data(), size, ini());
        if (returned)
            *returned = n;
        const std::string text(buf.data(), size);
        const auto end = text.find(std::string("\0\0", 2));
        return end == std::string::npos ? "<no double NUL>" : text.substr(0, end);
    }
    const char *ini() const { return m_file.c_str(); }

    QTemporaryDir m_dir;
    QByteArray m_saved;
    bool m_hadXdg = false;
    std::string m_file;
};

const QByteArray kSample = "; player settings\r\n"
                           "stray line before any section\r\n"
                           "[Midi]\r\n"
                           "  Port = 2  \r\n"
                           "Source=\"  40 \"\r\n"
                           "quoted='x'\r\n"
                           "half=\"open\r\n"
                           "; a comment = not a key\r\n"
                           "flag\r\n"
                           "\r\n"
                           "[ Window ]\r\n"
                           "left=10\r\n"
                           "[midi]\r\n"
                           "extra=yes\r\n";

TEST_F(PrivateProfileTest, ReadsEntriesTheWayTheyAreWritten) {
    writeIni(kSample);
    EXPECT_EQ(get("midi", "PORT"), "2");
    EXPECT_EQ(get("MIDI", "source"), "  40 ") << "quotes go, the blanks inside them stay";
    EXPECT_EQ(get("Midi", "quoted"), "x");
    EXPECT_EQ(get("Midi", "half"), "\"open");
    EXPECT_EQ(get("Midi", "flag", "dflt"), "") << "a name without = is an empty entry";
    EXPECT_EQ(get("window", "left"), "10");
    EXPECT_EQ(get("Midi", "extra"), "yes") << "a repeated section adds to the first";
    EXPECT_EQ(get("Midi", "; a comment"), "");
    EXPECT_EQ(get("Midi", "absent", "fallback  "), "fallback");
    EXPECT_EQ(get("Absent", "Port", nullptr), "");
    EXPECT_EQ(get("", "stray line before any section", "d"), "d");
    EXPECT_EQ(get("Midi", "Port", "d", 1), "");
    EXPECT_EQ(get("Window", "left", "d", 2), "1") << "cut to the buffer, NUL-ended";
}

TEST_F(PrivateProfileTest, MissingFilesAndBareNames) {
    std::vector<char> buf(16, 'X');
    EXPECT_EQ(GetPrivateProfileStringA("a", "b", "def", buf.data(), 16, "/nonexistent/x.ini"), 3u);
    EXPECT_STREQ(buf.data(), "def");
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buf.data(), 16, "none.ini"), 0u);
    EXPECT_EQ(buf[0], '\0');

    // A bare name lives in our profile folder, created on the first write.
    EXPECT_EQ(profilePath("player.ini"), m_dir.path() + "/config/tamberlo/profiles/player.ini");
    EXPECT_EQ(profilePath("./player.ini"), "./player.ini");
    EXPECT_NE(WritePrivateProfileStringA("Midi", "Port", "4", "player.ini"), 0);
    EXPECT_TRUE(QFile::exists(m_dir.path() + "/config/tamberlo/profiles/player.ini"));
    EXPECT_EQ(GetPrivateProfileStringA("midi", "port", "", buf.data(), 16, "player.ini"), 1u);
    EXPECT_STREQ(buf.data(), "4");
    EXPECT_EQ(WritePrivateProfileStringA("Midi", "Port", "4", ""), 0);
    EXPECT_EQ(WritePrivateProfileStringA("Midi", "Port", "4", "/nonexistent/dir/x.ini"), 0);
}

TEST_F(PrivateProfileTest, NullNamesListSectionsAndKeys) {
    writeIni(kSample);
    DWORD n = 0;
    EXPECT_EQ(list(nullptr, 256, &n), std::string("Midi\0Window", 11));
    EXPECT_EQ(n, 12u) << "every name NUL-ended; the closing NUL not counted";

    std::vector<char> buf(64, 'X');
    n = GetPrivateProfileStringA("MIDI", nullptr, "", buf.data(), 64, ini());
    EXPECT_EQ(std::string(buf.data(), n + 1),
              std::string("Port\0Source\0quoted\0half\0flag\0extra\0", 36));
    EXPECT_EQ(buf[n], '\0');
    EXPECT_EQ(list("absent"), "");
}

TEST_F(PrivateProfileTest, AListTooLongForTheBufferIsCutAndEndsInTwoNuls) {
    writeIni(kSample);
    DWORD n = 0;
    // "Port\0Source\0..." into 10 bytes: "Port\0" fits, "Sou" then two NULs.
    EXPECT_EQ(list("Midi", 10, &n), std::string("Port\0Sou", 8));
    EXPECT_EQ(n, 8u);
    // The first name exactly filling the room before the final NUL.
    EXPECT_EQ(list("Midi", 6, &n), std::string("Port", 4));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(list("Midi", 7, &n), std::string("Port", 4));
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(list("Midi", 2, &n), "");
    EXPECT_EQ(n, 0u);
}

TEST_F(PrivateProfileTest, WritingChangesOnlyTheLinesConcerned) {
    writeIni(kSample);
    ASSERT_NE(WritePrivateProfileStringA("MIDI", "port", "7", ini()), 0);
    QByteArray expected = kSample;
    expected.replace("  Port = 2  \r\n", "  Port = 7\r\n");
    EXPECT_EQ(readIni(), expected);

    // A new key goes after the section's last line, before its blank separator.
    ASSERT_NE(WritePrivateProfileStringA("midi", "Volume", "90", ini()), 0);
    expected.replace("flag\r\n\r\n", "flag\r\nVolume=90\r\n\r\n");
    EXPECT_EQ(readIni(), expected);

    ASSERT_NE(WritePrivateProfileStringA("Midi", "flag", "on", ini()), 0);
    expected.replace("flag\r\n", "flag=on\r\n");
    EXPECT_EQ(readIni(), expected);

    // A new section is added at the end, in the file's own line endings.
    ASSERT_NE(WritePrivateProfileStringA("New", "k", "v", ini()), 0);
    expected += "\r\n[New]\r\nk=v\r\n";
    EXPECT_EQ(readIni(), expected);
    EXPECT_EQ(get("new", "K"), "v");
}

TEST_F(PrivateProfileTest, NullValueDeletesAKeyAndNullKeyASection) {
    writeIni(kSample);
    ASSERT_NE(WritePrivateProfileStringA("midi", "SOURCE", nullptr, ini()), 0);
    QByteArray expected = kSample;
    expected.replace("Source=\"  40 \"\r\n", "");
    EXPECT_EQ(readIni(), expected);
    EXPECT_EQ(get("Midi", "Source", "gone"), "gone");

    ASSERT_NE(WritePrivateProfileStringA("MIDI", nullptr, nullptr, ini()), 0);
    EXPECT_EQ(readIni(), QByteArray("; player settings\r\n"
                                    "stray line before any section\r\n"
                                    "[ Window ]\r\n"
                                    "left=10\r\n"));
    EXPECT_EQ(list(nullptr), "Window");

    // Deleting what is not there changes nothing and is no failure.
    EXPECT_NE(WritePrivateProfileStringA("Nope", nullptr, nullptr, ini()), 0);
    EXPECT_NE(WritePrivateProfileStringA("Window", "nope", nullptr, ini()), 0);
    EXPECT_EQ(get("Window", "left"), "10");
}

TEST_F(PrivateProfileTest, FilesWithoutFinalLineEndOrWithUnixEndingsKeepTheirStyle) {
    writeIni("[a]\nx=1");
    ASSERT_NE(WritePrivateProfileStringA("a", "y", "2", ini()), 0);
    EXPECT_EQ(readIni(), QByteArray("[a]\nx=1\ny=2"));
    ASSERT_NE(WritePrivateProfileStringA("b", "z", "3", ini()), 0);
    EXPECT_EQ(readIni(), QByteArray("[a]\nx=1\ny=2\n\n[b]\nz=3\n"));

    QFile::remove(QFile::decodeName(ini()));
    ASSERT_NE(WritePrivateProfileStringA("first", "k", "", ini()), 0);
    EXPECT_EQ(readIni(), QByteArray("[first]\nk=\n"));
}

TEST_F(PrivateProfileTest, RefusesWhatWouldNotReadBackAsWritten) {
    writeIni(kSample);
    EXPECT_EQ(WritePrivateProfileStringA("Midi", "Port", "1\r\n[Evil]\r\nx=1", ini()), 0);
    EXPECT_EQ(WritePrivateProfileStringA("Mi]di", "Port", "1", ini()), 0);
    EXPECT_EQ(WritePrivateProfileStringA("Midi", "a=b", "1", ini()), 0);
    EXPECT_EQ(WritePrivateProfileStringA("Midi", " [x", "1", ini()), 0);
    EXPECT_EQ(WritePrivateProfileStringA("Midi", ";x", "1", ini()), 0);
    EXPECT_EQ(WritePrivateProfileStringA("Mi\ndi", "k", "1", ini()), 0);
    EXPECT_EQ(WritePrivateProfileStringA(nullptr, "k", "1", ini()), 0);
    EXPECT_EQ(readIni(), kSample);
}

TEST_F(PrivateProfileTest, DoubleByteNamesWhoseSecondByteLooksLikeASeparator) {
    // 転 is 93 5D (a "]" second byte), ー is 81 5B (a "[" one); ア 83 41 and
    // ヂ 83 61 differ only in a second byte that looks like a letter, so they
    // are different names. ("=", 3D, is never a second byte in this code page.)
    const char *section = "\x93\x5D\x91\x97"; // 転送
    const char *bracketKey = "\x93\x5D";      // 転
    const char *openKey = "\x81\x5B\x41";     // ーA
    ASSERT_NE(WritePrivateProfileStringA(section, bracketKey, "1", ini()), 0);
    ASSERT_NE(WritePrivateProfileStringA(section, openKey, "2", ini()), 0);
    ASSERT_NE(WritePrivateProfileStringA(section, "\x83\x41", "a", ini()), 0);
    ASSERT_NE(WritePrivateProfileStringA(section, "\x83\x61", "b", ini()), 0);
    ASSERT_NE(WritePrivateProfileStringA(section, bracketKey, "3", ini()), 0);
    EXPECT_EQ(readIni(), QByteArray("[\x93\x5D\x91\x97]\n\x93\x5D=3\n\x81\x5B\x41=2\n"
                                    "\x83\x41=a\n\x83\x61=b\n"));

    EXPECT_EQ(get(section, bracketKey), "3");
    EXPECT_EQ(get(section, openKey), "2");
    EXPECT_EQ(get(section, "\x81\x5B\x61"), "2") << "the single-byte A still folds";
    EXPECT_EQ(get(section, "\x83\x41"), "a");
    EXPECT_EQ(get(section, "\x83\x61"), "b");
    EXPECT_EQ(list(section), std::string("\x93\x5D\0\x81\x5B\x41\0\x83\x41\0\x83\x61", 12));
    EXPECT_EQ(list(nullptr), std::string(section));

    // A real "]" after the double-byte character still ends the name.
    EXPECT_EQ(WritePrivateProfileStringA("\x93\x5D]", "k", "1", ini()), 0);
    // Read from a file: [転] is the section 転, and so is [\x93], whose
    // bracket is the second byte of 転 and closes nothing.
    writeIni("[\x93\x5D]\r\n\x93\x5D=x\r\n[\x93]\r\n[A]\r\n\x93\x5D=y\r\n");
    EXPECT_EQ(get("\x93\x5D", "\x93\x5D"), "x");
    EXPECT_EQ(get("A", "\x93\x5D"), "y");
    EXPECT_EQ(list(nullptr), std::string("\x93\x5D\0A", 4));
    ASSERT_NE(WritePrivateProfileStringA("\x93\x5D", nullptr, nullptr, ini()), 0);
    EXPECT_EQ(readIni(), QByteArray("[A]\r\n\x93\x5D=y\r\n"));
}

TEST_F(PrivateProfileTest, ConcurrentWritersLoseNothing) {
    constexpr int kThreads = 5;
    constexpr int kKeys = 12;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kKeys; ++i) {
                const std::string key = "k" + std::to_string(t) + "_" + std::to_string(i);
                WritePrivateProfileStringA(t % 2 ? "Odd" : "Even", key.c_str(), key.c_str(), ini());
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kKeys; ++i) {
            const std::string key = "k" + std::to_string(t) + "_" + std::to_string(i);
            EXPECT_EQ(get(t % 2 ? "Odd" : "Even", key.c_str()), key);
        }
    }
    // No temporary or lock files are left beside the profile.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"test.ini"});
}

TEST_F(PrivateProfileTest, AnUnreadableFileIsNotOverwritten) {
    const QString path = QFile::decodeName(ini());
    writeIni(kSample);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    // As a user whom the permissions bind (not root).
    const int status = tambolin::testing::runUnprivileged(m_dir.path(), [this] {
        return WritePrivateProfileStringA("Midi", "Port", "1", ini()) == 0 ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "1: the write was reported as done";
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readIni(), kSample);
}

} // namespace
