// tamberlo's window and its MPRIS face, with the real player control created
// by name and playing on a recording MIDI device.

#include "binetx/local_servers.h"
#include "control/automation/class_registration.h"
#include "control/playctrl.h"
#include "host/control_loader.h"
#include "host/tamberlo/mpris_service.h"
#include "host/tamberlo/player_driver.h"
#include "host/tamberlo/player_window.h"
#include "platform/desktop/common_dialogs.h"
#include "platform/desktop/recent_documents.h"
#include "platform/midi/midi_setup.h"
#include "platform/runtime/message_box.h"
#include "support/config_home.h"
#include "support/data_home.h"
#include "support/private_bus.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace tambolin;
using namespace tambolin::tamberlo;

namespace {

const QString kSakura = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/sakura.tbn");
const QString kTrio = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/trio.tbn");

bool waitUntil(const std::function<bool()> &done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class AnswerOpen final : public CommonDialogs {
public:
    explicit AnswerOpen(QString answer) : m_answer(std::move(answer)) {}
    QString fileDialog(const FileDialogRequest &request) override {
        ++asked;
        kind = request.kind;
        return m_answer;
    }
    QString folderDialog(const FolderDialogRequest &) override { return {}; }
    bool openWith(Long, const QString &) override { return false; }
    Long showProperties(Long, const QString &) override { return SE_ERR_NOASSOC; }
    int asked = 0;
    FileDialogKind kind = FileDialogKind::Save;

private:
    QString m_answer;
};

class TamberloWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_registry.isValid());
        useMidiRecorder();
        ASSERT_EQ(DllRegisterServer(), S_OK);
        m_window = std::make_unique<PlayerWindow>(m_loader);
        ASSERT_NE(m_window->control(), nullptr) << m_window->loadError().toStdString();
    }
    void TearDown() override {
        m_window.reset();
        useDefaultMidiBackends();
    }
    PlayerDriver &driver() { return *m_window->driver(); }
    QStringList menuTexts(QMenu *menu) {
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }

    tambolin::testing::ConfigHome m_registry;
    tambolin::testing::DataHome m_data;
    MessageBoxRecorder m_boxes;
    ControlLoader m_loader{{thisLibraryPath()}};
    std::unique_ptr<PlayerWindow> m_window;
};

TEST_F(TamberloWindow, OpensWhatItIsGivenPlaysTheFirstAndRemembersThem) {
    EXPECT_FALSE(driver().hasMelody());
    EXPECT_TRUE(m_window->windowTitle().isEmpty()); // the desktop shows the program's name

    m_window->openLocations({kSakura, kTrio});
    EXPECT_TRUE(driver().isPlaying());
    EXPECT_EQ(driver().fileName(), kSakura);
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("夜桜"));

    // Both land in the recent files; the menu lists the melodies.
    QMenu *recent = m_window->contextMenu()->findChild<QMenu *>(QStringLiteral("recentMenu"));
    ASSERT_NE(recent, nullptr);
    QStringList files;
    for (QAction *action : recent->actions())
        files << action->toolTip();
    EXPECT_TRUE(files.contains(kSakura));
    EXPECT_TRUE(files.contains(kTrio));

    // Choosing one from the menu opens it.
    for (QAction *action : recent->actions())
        if (action->toolTip() == kTrio)
            action->trigger();
    EXPECT_EQ(driver().fileName(), kTrio);
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("朝のTrio"));
    EXPECT_TRUE(m_boxes.calls().empty());
}

TEST_F(TamberloWindow, TheContextMenuFollowsThePanel) {
    QMenu *menu = m_window->contextMenu();
    const QStringList texts = menuTexts(menu);
    const auto at = [&](QAction *action) { return texts.indexOf(action->text()); };
    // Open, recent files, save as, settings, quit, in that order.
    EXPECT_LT(at(m_window->openAction()), at(m_window->saveAsAction()));
    EXPECT_LT(at(m_window->saveAsAction()), at(m_window->settingsAction()));
    EXPECT_LT(at(m_window->settingsAction()), at(m_window->quitAction()));
    EXPECT_EQ(texts.indexOf(QStringLiteral("最近使ったファイル(&R)")),
              at(m_window->openAction()) + 1);
    // Nothing recent yet: the submenu is there but off.
    EXPECT_FALSE(menu->findChild<QMenu *>(QStringLiteral("recentMenu"))->isEnabled());

    // Saving and the settings are the panel's, off while a melody plays.
    m_window->openLocations({kSakura});
    ASSERT_TRUE(driver().isPlaying());
    m_window->contextMenu();
    EXPECT_FALSE(m_window->saveAsAction()->isEnabled());
    EXPECT_FALSE(m_window->settingsAction()->isEnabled());
    driver().stop();
    m_window->contextMenu();
    EXPECT_TRUE(m_window->saveAsAction()->isEnabled());
    EXPECT_TRUE(m_window->settingsAction()->isEnabled());
}

TEST_F(TamberloWindow, KeysPlayStopOpenAndQuit) {
    m_window->show();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    m_window->openLocations({kSakura});
    ASSERT_TRUE(driver().isPlaying());

    QTest::keyClick(m_window.get(), Qt::Key_Space);
    EXPECT_FALSE(driver().isPlaying());
    QTest::keyClick(m_window.get(), Qt::Key_Space);
    EXPECT_TRUE(driver().isPlaying());

    // Ctrl+O asks the open dialog and opens what was chosen.
    AnswerOpen dialogs(kTrio);
    ScopedDialogs scoped(dialogs);
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.asked, 1);
    EXPECT_EQ(dialogs.kind, FileDialogKind::Open);
    EXPECT_EQ(driver().fileName(), kTrio);
    EXPECT_TRUE(driver().isPlaying());

    // Ctrl+S is the panel's save button: off while playing, so nothing asks.
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.asked, 1);

    QTest::keyClick(m_window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(m_window->isVisible());
}

TEST_F(TamberloWindow, SpaceIsAPanelButtonsOnlyWhileTheUserSeesItsFocus) {
    m_window->show();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    m_window->openLocations({kSakura});
    driver().stop();
    AnswerOpen dialogs(QString{});
    ScopedDialogs scoped(dialogs);
    PLAYCTRL &panel = *m_window->control();
    auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };

    // A button has the focus since the window came up, unseen: Space is the
    // window's play and stop, whichever button that is.
    ASSERT_NE(qobject_cast<QAbstractButton *>(QApplication::focusWidget()), nullptr);
    press(Qt::Key_Space);
    EXPECT_TRUE(driver().isPlaying());
    press(Qt::Key_Space);
    EXPECT_FALSE(driver().isPlaying());
    EXPECT_EQ(dialogs.asked, 0);

    // Tabbed to the open button, the user sees it: Space presses it.
    for (int i = 0; i < 6 && QApplication::focusWidget() != panel.Command1(3); ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), panel.Command1(3));
    press(Qt::Key_Space);
    EXPECT_EQ(dialogs.asked, 1);
    EXPECT_FALSE(driver().isPlaying());
}

TEST_F(TamberloWindow, DroppedMelodiesAreOpened) {
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("mailto:x@example.org")), QUrl::fromLocalFile(kTrio)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(driver().fileName(), kTrio);
    EXPECT_TRUE(driver().isPlaying());

    QMimeData useless;
    useless.setUrls({QUrl(QStringLiteral("smb://server/a.tbn"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &useless, Qt::LeftButton,
                            Qt::NoModifier);
    refused.setAccepted(false);
    QCoreApplication::sendEvent(m_window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(TamberloWindow, AddressesAreDownloadedAndAFailedOneChangesNothing) {
    tambolin::testing::LocalHttpServer server;
    ASSERT_TRUE(server.listening());
    QFile sakura(kSakura);
    ASSERT_TRUE(sakura.open(QIODevice::ReadOnly));
    server.route("/sakura.tbn", {200, sakura.readAll().toStdString()});
    const QString base = QStringLiteral("http://127.0.0.1:") + QString::number(server.port());

    m_window->openLocations({base + QStringLiteral("/sakura.tbn")});
    EXPECT_TRUE(driver().isPlaying());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("夜桜"));
    const int loads = driver().loadCount();
    driver().stop();

    m_window->openLocations({base + QStringLiteral("/missing.tbn")});
    EXPECT_EQ(driver().loadCount(), loads);
    EXPECT_FALSE(driver().isPlaying());
    // The download file is the control's, never a recent document.
    QMenu *recent = m_window->contextMenu()->findChild<QMenu *>(QStringLiteral("recentMenu"));
    EXPECT_TRUE(recent->actions().isEmpty());
}

// ---- MPRIS, read by a client on a bus of the test's own

// Keeps the PropertiesChanged signals a client sees.
class ChangeRecorder final : public QObject {
    Q_OBJECT
public:
    std::vector<std::pair<QString, QVariantMap>> changes;
public slots:
    void record(const QString &interface, const QVariantMap &changed, const QStringList &) {
        changes.emplace_back(interface, changed);
    }
};

class TamberloMpris : public TamberloWindow {
protected:
    void SetUp() override {
        TamberloWindow::SetUp();
        ASSERT_FALSE(m_bus.address().isEmpty());
        m_server = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("mpris-server"));
        m_client = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("mpris-client"));
        m_mpris = std::make_unique<MprisService>(driver(), m_server);
        ASSERT_TRUE(m_mpris->publish());
        ASSERT_TRUE(m_client.connect(
            QString::fromLatin1(kMprisService), QString::fromLatin1(kMprisPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
            &m_recorder, SLOT(record(QString, QVariantMap, QStringList))));
    }
    void TearDown() override {
        m_mpris.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("mpris-client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("mpris-server"));
        TamberloWindow::TearDown();
    }
    QDBusMessage call(const QString &interface, const QString &method, const QVariantList &args) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromLatin1(kMprisService), QString::fromLatin1(kMprisPath), interface, method);
        message.setArguments(args);
        return m_client.call(message, QDBus::BlockWithGui, 5000);
    }
    QVariant property(const char *interface, const char *name) {
        const QDBusMessage reply =
            call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {QString::fromLatin1(interface), QString::fromLatin1(name)});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QVariant player(const char *name) { return property(kMprisPlayerInterface, name); }
    QVariantMap metadata() {
        return qdbus_cast<QVariantMap>(player("Metadata").value<QDBusArgument>());
    }
    void callPlayer(const char *method, const QVariantList &args = {}) {
        const QDBusMessage reply =
            call(QString::fromLatin1(kMprisPlayerInterface), QString::fromLatin1(method), args);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    bool sawStatus(const QString &status) {
        for (const auto &[interface, changed] : m_recorder.changes)
            if (interface == QLatin1String(kMprisPlayerInterface) &&
                changed.value(QStringLiteral("PlaybackStatus")).toString() == status)
                return true;
        return false;
    }

    tambolin::testing::PrivateBus m_bus;
    QDBusConnection m_server{QString()};
    QDBusConnection m_client{QString()};
    std::unique_ptr<MprisService> m_mpris;
    ChangeRecorder m_recorder;
};

TEST_F(TamberloMpris, TheRootInterfaceNamesThePlayer) {
    EXPECT_EQ(property(kMprisRootInterface, "Identity").toString(),
              QStringLiteral("Tamberlo Player"));
    EXPECT_EQ(property(kMprisRootInterface, "DesktopEntry").toString(),
              QStringLiteral("org.tamberlo.Player"));
    EXPECT_EQ(property(kMprisRootInterface, "SupportedMimeTypes").toStringList(),
              QStringList{QStringLiteral("audio/x-tbn")});
    const QStringList schemes = property(kMprisRootInterface, "SupportedUriSchemes").toStringList();
    for (const char *scheme : {"file", "http", "https", "ftp"})
        EXPECT_TRUE(schemes.contains(QLatin1String(scheme))) << scheme;
    EXPECT_TRUE(property(kMprisRootInterface, "CanQuit").toBool());
    EXPECT_FALSE(property(kMprisRootInterface, "HasTrackList").toBool());
}

TEST_F(TamberloMpris, PlaybackStatusAndMetadataFollowTheControl) {
    EXPECT_EQ(player("PlaybackStatus").toString(), QStringLiteral("Stopped"));
    EXPECT_FALSE(player("CanPlay").toBool());
    EXPECT_TRUE(player("CanControl").toBool());
    EXPECT_EQ(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
              QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));

    callPlayer("OpenUri", {QUrl::fromLocalFile(kSakura).toString()});
    EXPECT_EQ(player("PlaybackStatus").toString(), QStringLiteral("Playing"));
    EXPECT_TRUE(player("CanPlay").toBool());
    EXPECT_TRUE(player("CanPause").toBool());
    QVariantMap meta = metadata();
    EXPECT_EQ(meta.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("夜桜"));
    const QString firstTrack =
        meta.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
    EXPECT_TRUE(firstTrack.startsWith(QStringLiteral("/org/tamberlo/Player/track/")));
    // One pass of the melody, in microseconds: whole milliseconds, several seconds.
    const qlonglong length = meta.value(QStringLiteral("mpris:length")).toLongLong();
    EXPECT_GT(length, 5'000'000);
    EXPECT_EQ(length % 1000, 0);

    callPlayer("Stop");
    EXPECT_EQ(player("PlaybackStatus").toString(), QStringLiteral("Stopped"));
    EXPECT_TRUE(waitUntil([&] { return sawStatus(QStringLiteral("Stopped")); }));
    callPlayer("PlayPause");
    EXPECT_EQ(player("PlaybackStatus").toString(), QStringLiteral("Playing"));
    EXPECT_TRUE(waitUntil([&] { return sawStatus(QStringLiteral("Playing")); }));
    // The control cannot hold a place in the melody: pausing stops it.
    callPlayer("Pause");
    EXPECT_EQ(player("PlaybackStatus").toString(), QStringLiteral("Stopped"));

    // Another melody is another track, announced with its title.
    m_recorder.changes.clear();
    callPlayer("OpenUri", {QUrl::fromLocalFile(kTrio).toString()});
    meta = metadata();
    EXPECT_EQ(meta.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("朝のTrio"));
    EXPECT_NE(meta.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
              firstTrack);
    EXPECT_TRUE(waitUntil([&] {
        for (const auto &[interface, changed] : m_recorder.changes)
            if (changed.contains(QStringLiteral("Metadata")))
                return true;
        return false;
    }));
}

TEST_F(TamberloMpris, PlayingFromThePanelIsSeenToo) {
    m_window->openLocations({kSakura});
    driver().stop();
    // Signals arrive in order: once the stop is seen, nothing older follows.
    ASSERT_TRUE(waitUntil([&] { return sawStatus(QStringLiteral("Stopped")); }));
    m_recorder.changes.clear();
    // The user presses the panel's own play button.
    ASSERT_TRUE(m_window->control()->Command1(1)->isEnabled());
    m_window->control()->Command1(1)->click();
    EXPECT_TRUE(waitUntil([&] { return sawStatus(QStringLiteral("Playing")); },
                          4 * PlayerDriver::kPollMs + 2000));
    EXPECT_EQ(player("PlaybackStatus").toString(), QStringLiteral("Playing"));
}

TEST_F(TamberloMpris, AddressesOfOtherSchemesAreIgnored) {
    callPlayer("OpenUri", {QStringLiteral("smb://server/share/a.tbn")});
    EXPECT_FALSE(driver().hasMelody());
    EXPECT_EQ(player("PlaybackStatus").toString(), QStringLiteral("Stopped"));
}

} // namespace

#include "test_tamberlo_player.moc"
