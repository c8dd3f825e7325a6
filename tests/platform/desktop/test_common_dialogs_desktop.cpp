// The open-with chooser and the properties sheet against stand-in desktop
// services on a private bus of our own, and with nobody answering.

#include "platform/desktop/common_dialogs.h"
#include "platform/desktop/common_dialogs_desktop.h"
#include "support/private_bus.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>

namespace tambolin {
namespace {

using testing::PrivateBus;

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileId &) const = default;
};

FileId fileId(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 ? FileId{st.st_dev, st.st_ino} : FileId{};
}

FileId fileId(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? FileId{st.st_dev, st.st_ino}
                                                                 : FileId{};
}

// Stand-in for the portal's OpenURI interface.
class FakePortal final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.OpenURI")
public:
    struct Call {
        QString parent;
        FileId file;
        QVariantMap options;
    };
    std::vector<Call> calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }

public slots:
    QDBusObjectPath OpenFile(const QString &parent, const QDBusUnixFileDescriptor &fd,
                             const QVariantMap &options) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back({parent, fileId(fd.fileDescriptor()), options});
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/t"));
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
};

// Stand-in for the file manager.
class FakeFileManager final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    std::vector<QStringList> calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }

public slots:
    void ShowItemProperties(const QStringList &uris, const QString &startupId) {
        Q_UNUSED(startupId);
        std::lock_guard lock(m_mutex);
        m_calls.push_back(uris);
    }

private:
    mutable std::mutex m_mutex;
    std::vector<QStringList> m_calls;
};

class DesktopShellTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_bus = new PrivateBus; }
    static void TearDownTestSuite() {
        delete s_bus;
        s_bus = nullptr;
    }

    void SetUp() override {
        ASSERT_FALSE(s_bus->address().isEmpty()) << "no private bus";
        ASSERT_TRUE(m_dir.isValid());
        m_client = QDBusConnection::connectToBus(s_bus->address(), QStringLiteral("client"));
        ASSERT_TRUE(m_client.isConnected());
    }
    void TearDown() override {
        if (m_servicesUp) {
            m_services.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
            m_services.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
            QDBusConnection::disconnectFromBus(QStringLiteral("services"));
            m_worker.quit();
            m_worker.wait();
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    }

    // The services answer on a thread of their own while the shell's calls
    // block this one, as a desktop in another process would.
    void startServices() {
        m_portal.moveToThread(&m_worker);
        m_fileManager.moveToThread(&m_worker);
        m_worker.start();
        m_services = QDBusConnection::connectToBus(s_bus->address(), QStringLiteral("services"));
        ASSERT_TRUE(m_services.isConnected());
        ASSERT_TRUE(m_services.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                              &m_portal, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_services.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                              &m_fileManager, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_services.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        ASSERT_TRUE(m_services.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        m_servicesUp = true;
    }

    QString makeFile(const QString &name) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return path;
    }

    static inline PrivateBus *s_bus = nullptr;
    QTemporaryDir m_dir;
    QDBusConnection m_client{QString()};
    QDBusConnection m_services{QString()};
    QThread m_worker;
    FakePortal m_portal;
    FakeFileManager m_fileManager;
    bool m_servicesUp = false;
};

TEST_F(DesktopShellTest, OpenWithHandsThePortalTheFileAndAsks) {
    startServices();
    const QString song = makeFile(QStringLiteral("曲 one.tbn"));
    const DesktopShell shell(m_client, 5000);

    EXPECT_TRUE(shell.openWith(song));
    const auto calls = m_portal.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, fileId(song));
    EXPECT_EQ(calls[0].options.value(QStringLiteral("ask")), QVariant(true));

    // Nothing to hand over for a missing file: the portal is not bothered.
    EXPECT_FALSE(shell.openWith(m_dir.filePath(QStringLiteral("gone.tbn"))));
    EXPECT_FALSE(shell.openWith(QString()));
    EXPECT_EQ(m_portal.calls().size(), 1u);
}

TEST_F(DesktopShellTest, PropertiesGoToTheFileManagerAsAFileUri) {
    startServices();
    const QString song = makeFile(QStringLiteral("着メロ #1.tbn"));
    const DesktopShell shell(m_client, 5000);

    EXPECT_EQ(shell.showProperties(song), SE_SHOWN);
    const auto calls = m_fileManager.calls();
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].size(), 1);
    const QUrl uri(calls[0][0]);
    EXPECT_EQ(uri.scheme(), QStringLiteral("file"));
    EXPECT_EQ(uri.toLocalFile(), song);

    EXPECT_EQ(shell.showProperties(m_dir.filePath(QStringLiteral("gone.tbn"))), SE_ERR_FNF);
    EXPECT_EQ(m_fileManager.calls().size(), 1u);
}

TEST_F(DesktopShellTest, NobodyAnsweringGivesTheFailureValues) {
    const QString song = makeFile(QStringLiteral("a.tbn"));
    // A bus without the services, and no bus at all.
    for (const QDBusConnection &bus : {m_client, QDBusConnection(QStringLiteral("no-such-bus"))}) {
        const DesktopShell shell(bus, 5000);
        EXPECT_FALSE(shell.openWith(song));
        const Long result = shell.showProperties(song);
        EXPECT_LE(result, 32);
        EXPECT_EQ(result, SE_ERR_NOASSOC);
        EXPECT_EQ(shell.showProperties(m_dir.filePath(QStringLiteral("gone.tbn"))), SE_ERR_FNF);
    }
}

} // namespace
} // namespace tambolin

#include "test_common_dialogs_desktop.moc"
