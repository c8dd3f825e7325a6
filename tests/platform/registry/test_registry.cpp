#include "platform/registry/registry.h"
#include "platform/registry/registry_files.h"

#include "support/child_process.h"
#include "support/config_home.h"
#include "support/temp_files.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tambolin;

namespace {

// Every test gets its own empty configuration folder.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString storeFile(const char *root) const {
        return m_dir.path() + "/tamberlo/registry/" + root + ".reg";
    }
    static void writeFile(const QString &path, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static LSTATUS set(HKEY key, const char *name, DWORD type, const QByteArray &data) {
        return RegSetValueExA(key, name, 0, type, reinterpret_cast<const Byte *>(data.constData()),
                              static_cast<DWORD>(data.size()));
    }
    // The value's bytes, or the error code as text, so a failure shows both.
    static std::string get(HKEY key, const char *name, DWORD *type = nullptr) {
        Byte buf[256] = {};
        DWORD size = sizeof buf;
        const LSTATUS rc = RegQueryValueExA(key, name, nullptr, type, buf, &size);
        if (rc != ERROR_SUCCESS)
            return "error " + std::to_string(rc);
        return std::string(reinterpret_cast<char *>(buf), size);
    }
    static std::string getIn(HKEY root, const char *path, const char *name) {
        HKEY key = 0;
        const LSTATUS rc = RegOpenKeyA(root, path, &key);
        if (rc != ERROR_SUCCESS)
            return "open error " + std::to_string(rc);
        std::string value = get(key, name);
        RegCloseKey(key);
        return value;
    }

    tambolin::testing::ConfigHome m_dir;
};

TEST_F(RegistryTest, ValuesOfEveryTypeComeBackByteForByte) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tamberlo Player", &key), ERROR_SUCCESS);
    ASSERT_NE(key, 0);
    const QByteArray text("12\0", 3);
    const QByteArray binary("\0%=[]#\\\n\r\xff\x81 end ", 16);
    const QByteArray dword("\x78\x56\x34\x12", 4);
    EXPECT_EQ(set(key, "midiport", REG_SZ, text), ERROR_SUCCESS);
    EXPECT_EQ(set(key, "blob", REG_BINARY, binary), ERROR_SUCCESS);
    EXPECT_EQ(set(key, "count", REG_DWORD, dword), ERROR_SUCCESS);
    EXPECT_EQ(set(key, nullptr, REG_SZ, QByteArray("default\0", 8)), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    // Read back through a fresh handle: everything went through the file.
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tamberlo Player", &key), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(get(key, "midiport", &type), text.toStdString());
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(get(key, "blob", &type), binary.toStdString());
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(get(key, "count", &type), dword.toStdString());
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(get(key, ""), std::string("default\0", 8));
    // An empty value is a value, not a missing one.
    EXPECT_EQ(set(key, "empty", REG_BINARY, QByteArray()), ERROR_SUCCESS);
    EXPECT_EQ(get(key, "empty"), "");
    RegCloseKey(key);
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCaseAndKeepTheirFirstSpelling) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Tamberlo Player", &key), ERROR_SUCCESS);
    set(key, "MidiPort", REG_SZ, "1");
    RegCloseKey(key);
    EXPECT_EQ(getIn(HKEY_CURRENT_USER, "SOFTWARE\\tamberlo PLAYER", "MIDIPORT"), "1");

    // Writing under another spelling replaces the value instead of adding one.
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "software\\TAMBERLO player", &key), ERROR_SUCCESS);
    set(key, "midiport", REG_SZ, "2");
    RegCloseKey(key);
    EXPECT_EQ(getIn(HKEY_CURRENT_USER, "Software\\Tamberlo Player", "MidiPort"), "2");
    QFile f(storeFile("HKEY_CURRENT_USER"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray stored = f.readAll();
    EXPECT_EQ(stored.count("Tamberlo"), 1);
    EXPECT_EQ(stored.count("MidiPort="), 1);
    EXPECT_EQ(stored.count("midiport="), 0);
}

TEST_F(RegistryTest, DoubleByteNamesFoldOnlyTheirSingleByteCharacters) {
    // 0x83 0x41 and 0x83 0x61 are two different katakana; their trail bytes
    // only look like "A" and "a".
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Kana", &key), ERROR_SUCCESS);
    set(key, "\x83\x41", REG_SZ, "first");
    set(key, "\x83\x61", REG_SZ, "second");
    set(key, "X\x83\x41", REG_SZ, "third");
    EXPECT_EQ(get(key, "\x83\x41"), "first");
    EXPECT_EQ(get(key, "\x83\x61"), "second");
    EXPECT_EQ(get(key, "x\x83\x41"), "third");
    RegCloseKey(key);
}

TEST_F(RegistryTest, MissingKeysValuesAndBadHandlesGiveTheirCodes) {
    HKEY key = 1234;
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nowhere", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(RegCloseKey(0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Here", &key), ERROR_SUCCESS);
    EXPECT_EQ(get(key, "absent"), "error 2");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(get(key, "absent"), "error 6");
    EXPECT_EQ(set(key, "v", REG_SZ, "x"), ERROR_INVALID_HANDLE);

    HKEY other = 0;
    EXPECT_EQ(RegOpenKeyA(0x1234, "x", &other), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyA(0, "x", &other), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "a\\\\b", &other), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "x", nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "v", 1, REG_SZ, nullptr, 0),
              ERROR_INVALID_PARAMETER);
    // Nothing was written by any of the failures.
    EXPECT_EQ(getIn(HKEY_LOCAL_MACHINE, "a", nullptr), "open error 2");
}

TEST_F(RegistryTest, QueryReportsTheSizeItNeeds) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Sizes", &key), ERROR_SUCCESS);
    set(key, "v", REG_SZ, QByteArray("hello\0", 6));
    Byte buf[8] = {};
    DWORD size = 5;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, buf, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(buf[0], 0) << "a buffer too small is left alone";
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    size = 6;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, buf, &size), ERROR_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char *>(buf), "hello");
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, buf, nullptr), ERROR_INVALID_PARAMETER);
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", &reserved, nullptr, nullptr, &size),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(RegistryTest, KeysNestAndRootsAreSeparateStores) {
    HKEY deep = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "A\\B\\C\\", &deep), ERROR_SUCCESS);
    set(deep, "v", REG_SZ, "deep");
    RegCloseKey(deep);

    HKEY a = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "a", &a), ERROR_SUCCESS);
    HKEY b = 0;
    ASSERT_EQ(RegOpenKeyA(a, "B", &b), ERROR_SUCCESS);
    EXPECT_EQ(getIn(b, "c", "v"), "deep");
    HKEY same = 0;
    EXPECT_EQ(RegOpenKeyA(b, "", &same), ERROR_SUCCESS);
    EXPECT_EQ(same, b);
    RegCloseKey(b);
    RegCloseKey(a);

    EXPECT_EQ(getIn(HKEY_LOCAL_MACHINE, "A\\B\\C", "v"), "open error 2");
    EXPECT_TRUE(QFile::exists(storeFile("HKEY_CURRENT_USER")));
    EXPECT_FALSE(QFile::exists(storeFile("HKEY_LOCAL_MACHINE")));
}

TEST_F(RegistryTest, ConcurrentWritersThroughSeparateHandlesLoseNothing) {
    constexpr int kThreads = 6;
    constexpr int kValues = 15;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kValues; ++i) {
                HKEY key = 0;
                if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared", &key) != ERROR_SUCCESS)
                    return;
                const std::string name = "t" + std::to_string(t) + "v" + std::to_string(i);
                RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const Byte *>(name.c_str()),
                               static_cast<DWORD>(name.size() + 1));
                RegCloseKey(key);
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kValues; ++i) {
            const std::string name = "t" + std::to_string(t) + "v" + std::to_string(i);
            EXPECT_EQ(getIn(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared", name.c_str()),
                      name + std::string(1, '\0'));
        }
    }
}

TEST_F(RegistryTest, ConcurrentProcessesLoseNothing) {
    constexpr int kChildren = 4;
    constexpr int kValues = 12;
    std::vector<pid_t> children;
    for (int c = 0; c < kChildren; ++c) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kValues; ++i) {
                HKEY key = 0;
                failures += RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tamberlo Player", &key) !=
                            ERROR_SUCCESS;
                const std::string name = "p" + std::to_string(c) + "v" + std::to_string(i);
                failures += set(key, name.c_str(), REG_SZ, QByteArray::fromStdString(name)) !=
                            ERROR_SUCCESS;
                RegCloseKey(key);
            }
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int c = 0; c < kChildren; ++c) {
        for (int i = 0; i < kValues; ++i) {
            const std::string name = "p" + std::to_string(c) + "v" + std::to_string(i);
            EXPECT_EQ(getIn(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tamberlo Player", name.c_str()), name);
        }
    }
}

TEST_F(RegistryTest, ACorruptStoreReadsEmptyAndIsKeptBeforeBeingReplaced) {
    const QString path = storeFile("HKEY_LOCAL_MACHINE");
    const std::vector<QByteArray> damaged = {
        "not a registry at all\n[SOFTWARE]\n",
        "#tamberlo-registry 1\n[SOFTWARE\\Tamberlo Player]\nmidiport=1:%4",
        "#tamberlo-registry 1\nmidiport=1:2\n",
        "#tamberlo-registry 1\n[SOFTWARE\\\\X]\n",
        "#tamberlo-registry 1\n[SOFTWARE]\nv=x:2\n",
        QByteArray("\x00\xff\xfe garbage", 11),
    };
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        QDir(QFileInfo(path).absolutePath()).removeRecursively();
        writeFile(path, bytes);
        EXPECT_EQ(getIn(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tamberlo Player", "midiport"),
                  "open error 2");

        HKEY key = 0;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tamberlo Player", &key),
                  ERROR_SUCCESS);
        EXPECT_EQ(set(key, "midiport", REG_SZ, "3"), ERROR_SUCCESS);
        RegCloseKey(key);
        EXPECT_EQ(getIn(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tamberlo Player", "midiport"), "3");

        const QStringList backups =
            QDir(QFileInfo(path).absolutePath()).entryList({"HKEY_LOCAL_MACHINE.reg.corrupt-*"});
        ASSERT_EQ(backups.size(), 1);
        QFile backup(QFileInfo(path).absolutePath() + "/" + backups.first());
        ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
        EXPECT_EQ(backup.readAll(), bytes);
    }
}

TEST_F(RegistryTest, AnUnreadableStoreIsNeitherReadNorOverwritten) {
    const QString path = storeFile("HKEY_CURRENT_USER");
    const QByteArray kept("#tamberlo-registry 1\n[Keep]\nv=1:kept\n");
    writeFile(path, kept);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));

    // As a user whom the permissions bind (not root): the store reads as
    // empty, and the first change starts a new one.
    const int status = tambolin::testing::runUnprivileged(m_dir.path(), [] {
        if (getIn(HKEY_CURRENT_USER, "Keep", "v") != "open error 2")
            return 1;
        HKEY key = 0;
        if (RegCreateKeyA(HKEY_CURRENT_USER, "Other", &key) != ERROR_SUCCESS)
            return 2;
        RegCloseKey(key);
        return getIn(HKEY_CURRENT_USER, "Other", "v") == "error 2" ? 0 : 3;
    });
    ASSERT_EQ(status, 0) << "1: the store was read; 2: no key made; 3: the new store is wrong";

    // The unreadable store moved aside whole; the new one started empty.
    const QStringList backups =
        QDir(QFileInfo(path).absolutePath()).entryList({"HKEY_CURRENT_USER.reg.corrupt-*"});
    ASSERT_EQ(backups.size(), 1);
    const QString backup = QFileInfo(path).absolutePath() + "/" + backups.first();
    QFile::setPermissions(backup, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(tambolin::testing::readFile(backup), kept);
    const QByteArray fresh = tambolin::testing::readFile(path);
    EXPECT_TRUE(fresh.contains("[Other]")) << fresh.toStdString();
    EXPECT_FALSE(fresh.contains("Keep")) << fresh.toStdString();
}

TEST_F(RegistryTest, TheConfigurationFolderFollowsXdgWithAHomeFallback) {
    EXPECT_EQ(configHome(), QDir::cleanPath(m_dir.path()));
    qputenv("XDG_CONFIG_HOME", "relative/is/ignored");
    EXPECT_EQ(configHome(), QDir::homePath() + "/.config");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(configHome(), QDir::homePath() + "/.config");
}

} // namespace
