// Settings written while the disk fills up: every store must either take the
// whole change or stay exactly as it was, and say which.

#include "platform/desktop/recent_documents.h"
#include "platform/registry/private_profile.h"
#include "platform/registry/registry.h"

#include "support/child_process.h"
#include "support/config_home.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

QStringList folderEntries(const QString &folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

constexpr rlim_t kRoom = 200; // bytes a file may grow to before the disk is "full"

class SettingsWrites : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_config.isValid() && m_files.isValid()); }

    ConfigHome m_config;
    TempFolder m_files;
};

LSTATUS setValue(const char *name, const QByteArray &data) {
    HKEY key = 0;
    LSTATUS rc = RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Tamberlo Player", &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const Byte *>(data.constData()),
                        static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return rc;
}

TEST_F(SettingsWrites, ARegistryWriteThatRunsOutOfRoomKeepsTheOldStore) {
    ASSERT_EQ(setValue("old", QByteArray(600, 'o')), ERROR_SUCCESS);
    const QString store = m_config.filePath("tamberlo/registry/HKEY_CURRENT_USER.reg");
    const QByteArray before = readFile(store);
    ASSERT_GT(before.size(), 600);
    const QStringList entries = folderEntries(QFileInfo(store).absolutePath());

    const int status = runWithFileSizeLimit(
        kRoom, [] { return setValue("new", QByteArray(100, 'n')) == ERROR_SUCCESS ? 0 : 1; });
    EXPECT_EQ(status, 1) << "the failed write is reported (0: reported as success)";
    EXPECT_EQ(readFile(store), before);
    EXPECT_EQ(folderEntries(QFileInfo(store).absolutePath()), entries) << "nothing left behind";

    // With room again the same change goes through whole.
    ASSERT_EQ(setValue("new", QByteArray(100, 'n')), ERROR_SUCCESS);
    EXPECT_GT(readFile(store).size(), before.size() + 100);
}

TEST_F(SettingsWrites, AProfileWriteThatRunsOutOfRoomKeepsTheOldFile) {
    const QString ini = m_files.path("player.ini");
    const QByteArray before = "[Midi]\r\nPort=2\r\n[Window]\r\n" + QByteArray(300, 'w') + "=1\r\n";
    ASSERT_TRUE(writeFile(ini, before));
    const QByteArray name = QFile::encodeName(ini);

    const int status = runWithFileSizeLimit(kRoom, [&] {
        return WritePrivateProfileStringA("Midi", "Port", "3", name.constData()) != 0 ? 0 : 1;
    });
    EXPECT_EQ(status, 1) << "the failed write is reported (0: reported as success)";
    EXPECT_EQ(readFile(ini), before);
    EXPECT_EQ(folderEntries(m_files.path()), QStringList{"player.ini"}) << "nothing left behind";

    ASSERT_NE(WritePrivateProfileStringA("Midi", "Port", "3", name.constData()), 0);
    EXPECT_TRUE(readFile(ini).startsWith("[Midi]\r\nPort=3\r\n"));
}

TEST_F(SettingsWrites, ARecentDocumentsWriteThatRunsOutOfRoomKeepsTheOldList) {
    // The list lives in the test's own data folder while the test runs.
    struct DataHome {
        QByteArray saved = qgetenv("XDG_DATA_HOME");
        bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        ~DataHome() {
            if (wasSet)
                qputenv("XDG_DATA_HOME", saved);
            else
                qunsetenv("XDG_DATA_HOME");
        }
    } dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_files.path("data")));
    const QString first = m_files.path("first.txt");
    const QString second = m_files.path("second.txt");
    ASSERT_TRUE(writeFile(first, "1") && writeFile(second, "2"));
    ASSERT_TRUE(addRecentDocument(first));
    const QByteArray before = readFile(recentDocumentsFile());
    ASSERT_GT(before.size(), static_cast<qsizetype>(kRoom));
    const QStringList entries = folderEntries(m_files.path("data"));

    const int status =
        runWithFileSizeLimit(kRoom, [&] { return addRecentDocument(second) ? 0 : 1; });
    EXPECT_EQ(status, 1) << "the failed write is reported (0: reported as success)";
    EXPECT_EQ(readFile(recentDocumentsFile()), before);
    EXPECT_EQ(folderEntries(m_files.path("data")), entries) << "nothing left behind";
}

} // namespace
