// The desktop launcher shows folders through the file manager's D-Bus
// interface: a stand-in file manager on a private bus records what it is
// asked to show. Only folder requests are made, so no program is started.

#include "platform/desktop/shell_execute.h"
#include "support/private_bus.h"

#include <QDBusConnection>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>
#include <mutex>

namespace tambolin {
namespace {

class FakeFolders final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    std::vector<QStringList> calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }

public slots:
    void ShowFolders(const QStringList &uris, const QString &) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(uris);
    }

private:
    mutable std::mutex m_mutex;
    std::vector<QStringList> m_calls;
};

TEST(DesktopLauncher, FoldersGoToTheFileManagerAsUris) {
    testing::PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "no private bus";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        QThread worker;
        FakeFolders folders;
        folders.moveToThread(&worker);
        worker.start();
        QDBusConnection services = QDBusConnection::connectToBus(bus.address(), "fm-services");
        QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "fm-client");
        ASSERT_TRUE(services.registerObject("/org/freedesktop/FileManager1", &folders,
                                            QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(services.registerService("org.freedesktop.FileManager1"));

        DesktopLauncher launcher(client);
        ShellLaunch folder;
        folder.kind = ShellLaunch::Kind::Folder;
        folder.target = dir.filePath(QStringLiteral("曲 集"));
        EXPECT_TRUE(launcher.launch(folder));
        ShellLaunch network;
        network.kind = ShellLaunch::Kind::Search;
        network.target = QStringLiteral("network:///");
        EXPECT_TRUE(launcher.launch(network));

        const auto calls = folders.calls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(QUrl(calls[0].value(0)).toLocalFile(), folder.target);
        EXPECT_EQ(calls[1].value(0), QStringLiteral("network:///"));

        QDBusConnection::disconnectFromBus("fm-services");
        QDBusConnection::disconnectFromBus("fm-client");
        worker.quit();
        worker.wait();
    }
}

} // namespace
} // namespace tambolin

#include "test_shell_launcher.moc"
