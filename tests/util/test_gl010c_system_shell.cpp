// Shell helpers: starts checked against default applications of a desktop
// set up in a temporary folder and answered by a recording launcher; the
// recent-documents list; the about box; the shut-down and restart prompts
// against a stand-in login manager and session manager on a private bus.

#include "platform/desktop/desktop_buses.h"
#include "platform/desktop/handles.h"
#include "platform/desktop/recent_documents.h"
#include "platform/desktop/shell_dialogs.h"
#include "platform/desktop/shell_execute.h"
#include "support/private_bus.h"
#include "util/cl_gl010c.h"

#include <QDBusConnection>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>
#include <mutex>

namespace tambolin {
namespace {

// Before anything can open it: the machine's system bus is out of reach of
// this program, whatever a test does.
const bool kSystemBusFenced = [] {
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/tambolin-tests/system_bus");
    return true;
}();

class RecordingLauncher final : public ShellLauncher {
public:
    bool launch(const ShellLaunch &request) override {
        launches.push_back(request);
        return answer;
    }
    std::vector<ShellLaunch> launches;
    bool answer = true;
};

void writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A desktop of its own: data, configuration and applications in a
// temporary folder, with a viewer for text, a browser and a file manager.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kSystemBusFenced);
        ASSERT_TRUE(m_home.isValid());
        for (const char *name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME",
                                 "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP"})
            m_saved.emplace_back(name, qgetenv(name));
        qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", m_home.filePath("system").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", m_home.filePath("etc").toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
        for (const char *app : {"viewer.desktop", "browser.desktop", "files.desktop"})
            writeFile(m_home.filePath(QStringLiteral("system/applications/") + app),
                      "[Desktop Entry]\nType=Application\nExec=true %u\n");
        writeFile(m_home.filePath("config/mimeapps.list"),
                  "[Default Applications]\ntext/plain=gone.desktop;viewer.desktop;\n"
                  "x-scheme-handler/https=browser.desktop\n");
        writeFile(m_home.filePath("system/applications/mimeinfo.cache"),
                  "[MIME Cache]\ninode/directory=files.desktop;\n");
        // The system's MIME database, and no application of the system.
        QDir().mkpath(m_home.filePath("system"));
        ASSERT_TRUE(QFile::link(QStringLiteral("/usr/share/mime"), m_home.filePath("system/mime")));
        m_launcher = std::make_shared<RecordingLauncher>();
        setShellLauncher(m_launcher);
    }
    void TearDown() override {
        setShellLauncher(nullptr);
        for (const auto &[name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    QString file(const QString &name, const QByteArray &bytes = "some text\n") {
        const QString path = m_home.filePath(name);
        writeFile(path, bytes);
        return path;
    }

    QTemporaryDir m_home;
    std::vector<std::pair<const char *, QByteArray>> m_saved;
    std::shared_ptr<RecordingLauncher> m_launcher;
    CL_GL010C m_gl;
};

TEST_F(ShellTest, OpenFileStartsTheDefaultApplication) {
    QString path = file(QStringLiteral("notes/read me.txt"));
    EXPECT_GT(m_gl.RVN_OpenFile(path), 32);
    ASSERT_EQ(m_launcher->launches.size(), 1u);
    const ShellLaunch &l = m_launcher->launches[0];
    EXPECT_EQ(l.kind, ShellLaunch::Kind::Document);
    EXPECT_EQ(l.target, path);
    EXPECT_EQ(l.handler, QStringLiteral("viewer.desktop"))
        << "an uninstalled default is passed over";
    EXPECT_EQ(l.showCommand, SW_SHOWNORMAL);

    // A relative name is taken from the folder given, which it works in.
    QString name = QStringLiteral("read me.txt");
    QString dir = m_home.filePath(QStringLiteral("notes"));
    EXPECT_GT(m_gl.RVN_OpenFile(name, &dir), 32);
    ASSERT_EQ(m_launcher->launches.size(), 2u);
    EXPECT_EQ(m_launcher->launches[1].target, path);
    EXPECT_EQ(m_launcher->launches[1].workingDir, dir);
}

TEST_F(ShellTest, OpenFileFailuresGiveShellErrors) {
    QString missing = m_home.filePath(QStringLiteral("nothing.txt"));
    EXPECT_EQ(m_gl.RVN_OpenFile(missing), 2);
    EXPECT_EQ(m_gl.RVN_APIErrorGet(), 2);
    QString noFolder = m_home.filePath(QStringLiteral("no/such/folder/a.txt"));
    EXPECT_EQ(m_gl.RVN_OpenFile(noFolder), 3);
    QString name = QStringLiteral("a.txt");
    QString badDir = m_home.filePath(QStringLiteral("missing-dir"));
    EXPECT_EQ(m_gl.RVN_OpenFile(name, &badDir), 3);
    // Nothing on this desktop opens arbitrary binary data.
    QString blob = file(QStringLiteral("data.bin9"), QByteArray("\x00\x01\x02\xFF", 4));
    EXPECT_EQ(m_gl.RVN_OpenFile(blob), 31);
    EXPECT_EQ(m_gl.RVN_APIErrorGet(), 1155);
    QString empty;
    EXPECT_EQ(m_gl.RVN_OpenFile(empty), 2);
    EXPECT_TRUE(m_launcher->launches.empty()) << "nothing started for a failure";

    // The launcher could not start anything.
    m_launcher->answer = false;
    QString text = file(QStringLiteral("b.txt"));
    EXPECT_EQ(m_gl.RVN_OpenFile(text), 31);
}

TEST_F(ShellTest, FoldersOpenAndSearchInTheFileManager) {
    QString dir = m_home.filePath(QStringLiteral("songs"));
    QDir().mkpath(dir);
    EXPECT_GT(m_gl.RVN_OpenFolder(dir), 32);
    EXPECT_GT(m_gl.RVN_OpenFindwindow(dir), 32);
    ASSERT_EQ(m_launcher->launches.size(), 2u);
    EXPECT_EQ(m_launcher->launches[0].kind, ShellLaunch::Kind::Folder);
    EXPECT_EQ(m_launcher->launches[1].kind, ShellLaunch::Kind::Search);
    EXPECT_EQ(m_launcher->launches[1].target, dir);
    EXPECT_EQ(m_launcher->launches[0].handler, QStringLiteral("files.desktop"));

    QString gone = m_home.filePath(QStringLiteral("gone"));
    EXPECT_EQ(m_gl.RVN_OpenFolder(gone), 2);
    QString aFile = file(QStringLiteral("c.txt"));
    EXPECT_EQ(m_gl.RVN_OpenFindwindow(aFile), 31) << "searching is done in folders";
    EXPECT_EQ(m_launcher->launches.size(), 2u);
}

TEST_F(ShellTest, AddressesOpenInTheirSchemesHandler) {
    QString url = QStringLiteral("https://example.org/melodies?page=2");
    EXPECT_GT(m_gl.RVN_OpenURL(url), 32);
    ASSERT_EQ(m_launcher->launches.size(), 1u);
    EXPECT_EQ(m_launcher->launches[0].kind, ShellLaunch::Kind::Address);
    EXPECT_EQ(m_launcher->launches[0].target, url);
    EXPECT_EQ(m_launcher->launches[0].handler, QStringLiteral("browser.desktop"));
    EXPECT_EQ(m_launcher->launches[0].showCommand, SW_SHOW);

    QString unknown = QStringLiteral("gopher://example.org/");
    EXPECT_EQ(m_gl.RVN_OpenURL(unknown), 31);
    // A file: address is the file itself.
    QString local = QUrl::fromLocalFile(file(QStringLiteral("d.txt"))).toString();
    EXPECT_GT(m_gl.RVN_OpenURL(local), 32);
    ASSERT_EQ(m_launcher->launches.size(), 2u);
    EXPECT_EQ(m_launcher->launches[1].kind, ShellLaunch::Kind::Document);
}

TEST_F(ShellTest, NetworkConnectionsShowTheirPlaces) {
    Long hwnd = 0;
    Long connect = -1;
    Long disconnect = 0;
    Long disk = -1;
    Long printer = 0;
    m_gl.RVN_NetConnect(hwnd, connect, disk);
    m_gl.RVN_NetConnect(hwnd, disconnect, printer);
    Long other = 3;
    m_gl.RVN_NetConnect(hwnd, other, disk);
    ASSERT_EQ(m_launcher->launches.size(), 2u);
    EXPECT_EQ(m_launcher->launches[0].kind, ShellLaunch::Kind::Folder);
    EXPECT_EQ(m_launcher->launches[0].target, QStringLiteral("network:///"));
    EXPECT_EQ(m_launcher->launches[1].kind, ShellLaunch::Kind::Address);
    EXPECT_TRUE(QUrl(m_launcher->launches[1].target).host() == QStringLiteral("localhost"));
}

QDomDocument readList() {
    QDomDocument doc;
    QFile f(recentDocumentsFile());
    if (f.open(QIODevice::ReadOnly))
        doc.setContent(&f, true);
    return doc;
}

TEST_F(ShellTest, RecentDocumentsAreAddedOnceAndCountedAndOthersKept) {
    const QString xbel = m_home.filePath(QStringLiteral("data/recently-used.xbel"));
    EXPECT_EQ(recentDocumentsFile(), xbel);
    writeFile(xbel,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<xbel version=\"1.0\" "
              "xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
              "xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">"
              "<bookmark href=\"file:///elsewhere/report.odt\" added=\"2020-01-01T00:00:00Z\">"
              "<info><metadata owner=\"http://freedesktop.org\"><bookmark:applications>"
              "<bookmark:application name=\"Writer\" exec=\"'writer %u'\" count=\"3\"/>"
              "</bookmark:applications></metadata></info></bookmark></xbel>\n");
    QString song = file(QStringLiteral("曲 1.txt"));
    m_gl.RVN_RecentDocs(song);
    m_gl.RVN_RecentDocs(song);
    QString missing = m_home.filePath(QStringLiteral("not-there.txt"));
    m_gl.RVN_RecentDocs(missing);

    const QDomNodeList bookmarks = readList().elementsByTagName(QStringLiteral("bookmark"));
    ASSERT_EQ(bookmarks.size(), 2);
    EXPECT_EQ(bookmarks.at(0).toElement().attribute(QStringLiteral("href")),
              QStringLiteral("file:///elsewhere/report.odt"));
    const QDomElement ours = bookmarks.at(1).toElement();
    EXPECT_EQ(QUrl(ours.attribute(QStringLiteral("href"))).toLocalFile(), song);
    EXPECT_FALSE(ours.attribute(QStringLiteral("visited")).isEmpty());
    const QDomNodeList apps = readList().elementsByTagNameNS(
        QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks"),
        QStringLiteral("application"));
    ASSERT_EQ(apps.size(), 2);
    EXPECT_EQ(apps.at(0).toElement().attribute(QStringLiteral("count")), QStringLiteral("3"));
    EXPECT_EQ(apps.at(1).toElement().attribute(QStringLiteral("count")), QStringLiteral("2"));
    const QDomNodeList types = readList().elementsByTagNameNS(
        QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"),
        QStringLiteral("mime-type"));
    ASSERT_EQ(types.size(), 1);
    EXPECT_EQ(types.at(0).toElement().attribute(QStringLiteral("type")),
              QStringLiteral("text/plain"));
}

TEST_F(ShellTest, AnEmptyNameEmptiesTheList) {
    QString song = file(QStringLiteral("e.txt"));
    m_gl.RVN_RecentDocs(song);
    ASSERT_EQ(readList().elementsByTagName(QStringLiteral("bookmark")).size(), 1);
    QString empty;
    m_gl.RVN_RecentDocs(empty);
    const QDomDocument doc = readList();
    EXPECT_EQ(doc.documentElement().tagName(), QStringLiteral("xbel"));
    EXPECT_EQ(doc.elementsByTagName(QStringLiteral("bookmark")).size(), 0);
}

TEST_F(ShellTest, AListWeCannotReadIsLeftAlone) {
    const QByteArray damaged = "<xbel><bookmark href=\"file:///x\">";
    writeFile(recentDocumentsFile(), damaged);
    QString song = file(QStringLiteral("f.txt"));
    m_gl.RVN_RecentDocs(song);
    QFile f(recentDocumentsFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), damaged);
}

TEST_F(ShellTest, AboutBoxShowsTheTitleAndTheText) {
    std::vector<ShellDialogRequest> asked;
    const ShellDialogHook previous = setShellDialogHook([&](const ShellDialogRequest &r) {
        asked.push_back(r);
        return IDOK;
    });
    QWidget form;
    Long hwnd = handleOf(&form);
    QString title = QStringLiteral("Tamberlo Player");
    QString app = QStringLiteral("Version 1.0");
    m_gl.RVN_ShellAbout(hwnd, title, app);
    setShellDialogHook(previous);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, ShellDialogRequest::Kind::About);
    EXPECT_EQ(asked[0].owner, &form);
    EXPECT_EQ(asked[0].title, title);
    EXPECT_EQ(asked[0].text, app);
}

// Stand-in for the system's login manager.
class FakeLogin final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    std::vector<QString> calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    void setAnswer(const QString &answer) {
        std::lock_guard lock(m_mutex);
        m_answer = answer;
    }

public slots:
    QString CanPowerOff() { return answer(); }
    QString CanReboot() { return answer(); }
    void PowerOff(bool interactive) { record(QStringLiteral("PowerOff %1").arg(interactive)); }
    void Reboot(bool interactive) { record(QStringLiteral("Reboot %1").arg(interactive)); }

private:
    QString answer() {
        std::lock_guard lock(m_mutex);
        return m_answer;
    }
    void record(const QString &call) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
    }
    mutable std::mutex m_mutex;
    std::vector<QString> m_calls;
    QString m_answer = QStringLiteral("yes");
};

// Stand-in for a desktop's session manager and its power prompt.
class FakeSession final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
public:
    int prompts() const {
        std::lock_guard lock(m_mutex);
        return m_prompts;
    }

public slots:
    void Shutdown() {
        std::lock_guard lock(m_mutex);
        ++m_prompts;
    }

private:
    mutable std::mutex m_mutex;
    int m_prompts = 0;
};

class PowerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_bus = new testing::PrivateBus; }
    static void TearDownTestSuite() {
        delete s_bus;
        s_bus = nullptr;
    }
    void SetUp() override {
        ASSERT_FALSE(s_bus->address().isEmpty()) << "no private bus";
        m_client = QDBusConnection::connectToBus(s_bus->address(), QStringLiteral("power-client"));
        ASSERT_TRUE(m_client.isConnected());
        // Both the session and the system bus are the private one.
        setDesktopBuses(DesktopBuses{m_client, m_client});
        m_previousHook = setShellDialogHook([this](const ShellDialogRequest &r) {
            m_asked.push_back(r);
            return m_answer;
        });
    }
    void TearDown() override {
        setShellDialogHook(m_previousHook);
        setDesktopBuses(std::nullopt);
        if (m_servicesUp) {
            QDBusConnection::disconnectFromBus(QStringLiteral("power-services"));
            m_worker.quit();
            m_worker.wait();
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("power-client"));
    }
    // The services answer on a thread of their own while our calls block.
    void startServices(bool withSession) {
        m_login.moveToThread(&m_worker);
        m_session.moveToThread(&m_worker);
        m_worker.start();
        m_services =
            QDBusConnection::connectToBus(s_bus->address(), QStringLiteral("power-services"));
        ASSERT_TRUE(m_services.isConnected());
        ASSERT_TRUE(m_services.registerObject(QStringLiteral("/org/freedesktop/login1"), &m_login,
                                              QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_services.registerService(QStringLiteral("org.freedesktop.login1")));
        if (withSession) {
            ASSERT_TRUE(m_services.registerObject(QStringLiteral("/org/gnome/SessionManager"),
                                                  &m_session, QDBusConnection::ExportAllSlots));
            ASSERT_TRUE(m_services.registerService(QStringLiteral("org.gnome.SessionManager")));
        }
        m_servicesUp = true;
    }

    static inline testing::PrivateBus *s_bus = nullptr;
    QDBusConnection m_client{QString()};
    QDBusConnection m_services{QString()};
    QThread m_worker;
    FakeLogin m_login;
    FakeSession m_session;
    bool m_servicesUp = false;
    ShellDialogHook m_previousHook;
    std::vector<ShellDialogRequest> m_asked;
    int m_answer = 0;
    CL_GL010C m_gl;
};

TEST_F(PowerTest, ShutDownAsksThenPowersOffThroughTheLoginManager) {
    startServices(false);
    m_answer = kChooseCancel;
    EXPECT_EQ(m_gl.RVN_ShutDownDialog(), False);
    EXPECT_TRUE(m_login.calls().empty());
    m_answer = kChoosePowerOff;
    EXPECT_EQ(m_gl.RVN_ShutDownDialog(), True);
    m_answer = kChooseRestart;
    EXPECT_EQ(m_gl.RVN_ShutDownDialog(), True);
    const std::vector<QString> expected = {"PowerOff 1", "Reboot 1"};
    EXPECT_EQ(m_login.calls(), expected);
    ASSERT_EQ(m_asked.size(), 3u);
    EXPECT_EQ(m_asked[0].kind, ShellDialogRequest::Kind::ShutDown);
}

TEST_F(PowerTest, ARefusalIsNotReportedAsDone) {
    startServices(false);
    m_login.setAnswer(QStringLiteral("no"));
    m_answer = kChoosePowerOff;
    EXPECT_EQ(m_gl.RVN_ShutDownDialog(), False);
    m_answer = IDYES;
    Long hwnd = 0;
    EXPECT_EQ(m_gl.RVN_RestartSystem(hwnd), False);
    EXPECT_NE(m_gl.RVN_APIErrorGet(), 0);
    EXPECT_TRUE(m_login.calls().empty());
}

TEST_F(PowerTest, NoLoginManagerOnTheBus) {
    m_answer = IDYES;
    Long hwnd = 0;
    EXPECT_EQ(m_gl.RVN_RestartSystem(hwnd), False);
    ASSERT_EQ(m_asked.size(), 1u) << "the user was still asked";
}

TEST_F(PowerTest, RestartOnlyOnYes) {
    startServices(false);
    QWidget form;
    Long hwnd = handleOf(&form);
    m_answer = IDNO;
    EXPECT_EQ(m_gl.RVN_RestartSystem(hwnd), False);
    EXPECT_TRUE(m_login.calls().empty());
    m_answer = IDYES;
    EXPECT_EQ(m_gl.RVN_RestartSystem(hwnd), True);
    const std::vector<QString> expected = {"Reboot 1"};
    EXPECT_EQ(m_login.calls(), expected);
    ASSERT_EQ(m_asked.size(), 2u);
    EXPECT_EQ(m_asked[1].kind, ShellDialogRequest::Kind::Restart);
    EXPECT_EQ(m_asked[1].owner, &form);
    EXPECT_FALSE(m_asked[1].text.isEmpty());
}

TEST_F(PowerTest, TheDesktopsOwnPromptTakesOverShutDown) {
    startServices(true);
    EXPECT_EQ(m_gl.RVN_ShutDownDialog(), True);
    EXPECT_EQ(m_session.prompts(), 1);
    EXPECT_TRUE(m_asked.empty()) << "our own prompt is not shown";
    EXPECT_TRUE(m_login.calls().empty()) << "the desktop's prompt does the rest";
}

} // namespace
} // namespace tambolin

#include "test_gl010c_system_shell.moc"
