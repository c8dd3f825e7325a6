// Ending on SIGINT, SIGTERM and SIGHUP as on a closed window: the sounding
// notes are turned off and the MIDI settings stored, in the player's window
// here and in TBO itself, killed while it runs on a MIDI port.

#include "control/automation/class_registration.h"
#include "control/playctrl.h"
#include "host/close_on_stop_signals.h"
#include "host/control_loader.h"
#include "host/frm_tbo.h"
#include "melody/mod_tambolin.h"
#include "platform/midi/midi_setup.h"
#include "platform/runtime/message_box.h"
#include "support/config_home.h"
#include "support/jack_server.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>
#include <set>
#include <thread>

using namespace tambolin;

namespace {

QByteArray storedSettings(const tambolin::testing::ConfigHome &home) {
    QFile file(home.filePath(QStringLiteral("tamberlo/registry/HKEY_LOCAL_MACHINE.reg")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(StopSignals, EachStopSignalArrivesOnTheEventLoopAndTheOldHandlersComeBack) {
    struct sigaction before {};
    ::sigaction(SIGHUP, nullptr, &before);
    {
        StopSignals stop;
        ASSERT_TRUE(stop.isValid());
        std::vector<int> received;
        QEventLoop loop;
        QObject::connect(&stop, &StopSignals::received, &loop, [&](int sig) {
            received.push_back(sig);
            loop.quit();
        });
        for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
            received.clear();
            ASSERT_EQ(::raise(sig), 0);
            QTimer::singleShot(2000, &loop, &QEventLoop::quit);
            loop.exec();
            EXPECT_EQ(received, std::vector<int>{sig});
            EXPECT_EQ(stop.caught(), sig);
        }
    }
    struct sigaction after {};
    ::sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(StopSignals, AHangUpIgnoredAtTheStartStaysIgnored) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGHUP, &ignore, &before), 0);
    {
        StopSignals stop;
        bool received = false;
        QObject::connect(&stop, &StopSignals::received, [&] { received = true; });
        ASSERT_EQ(::raise(SIGHUP), 0); // as under nohup: nothing happens
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_FALSE(received);
        EXPECT_EQ(stop.caught(), 0);
    }
    struct sigaction after {};
    ::sigaction(SIGHUP, &before, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);

    // Ctrl-C ignored, as in a script's background job, still stops.
    ASSERT_EQ(::sigaction(SIGINT, &ignore, &before), 0);
    {
        StopSignals stop;
        ASSERT_EQ(::raise(SIGINT), 0);
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(stop.caught(), SIGINT);
    }
    ::sigaction(SIGINT, &before, nullptr);
}

// The programs start with the stop signals as a terminal would give them,
// whatever this test inherited.
void defaultStopSignals() {
    for (const int sig : StopSignals::handled)
        ::signal(sig, SIG_DFL);
}

// The player's window with a melody playing on a recorder.
class WindowOnStopSignal : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        m_recorder = useMidiRecorder();
        ASSERT_EQ(registerControlClasses(thisLibraryPath()), S_OK);
    }
    void TearDown() override { useDefaultMidiBackends(); }

    // A few long notes in each part, so notes sound when the signal comes.
    static void playSomething(PLAYCTRL &control) {
        MOD_TAMBOLIN &m = mod();
        m.tempo = 0;
        for (int part = 1; part <= 3; ++part) {
            m.onpcnt(part) = 4;
            for (int i = 1; i <= 4; ++i) {
                m.onpary(i, part) = 1; // whole notes
                m.kaiary(i, part) = static_cast<Integer>(part * 5 + i);
            }
        }
        Boolean on = True;
        control.setPlay(on);
    }
    // Note-ons not yet followed by a note-off for the same key.
    std::set<int> sounding() const {
        std::set<int> keys;
        for (const DWORD word : m_recorder->words()) {
            const int status = static_cast<int>(word & 0xF0);
            const int key = static_cast<int>((word >> 8) & 0x7F);
            const int velocity = static_cast<int>((word >> 16) & 0x7F);
            if (status == 0x90 && velocity > 0)
                keys.insert(key);
            else if (status == 0x80 || status == 0x90)
                keys.erase(key);
        }
        return keys;
    }

    tambolin::testing::ConfigHome m_home;
    MessageBoxRecorder m_boxes;
    std::shared_ptr<MidiRecorder> m_recorder;
};

TEST_F(WindowOnStopSignal, TheWindowClosesAndTheNotesGoOff) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        QFile::remove(m_home.filePath(QStringLiteral("tamberlo/registry/HKEY_LOCAL_MACHINE.reg")));
        std::unique_ptr<StopSignals> handler(closeWindowsOnStopSignals());
        ControlLoader loader;
        auto form = std::make_unique<FRM_TBO>(loader);
        auto *control = qobject_cast<PLAYCTRL *>(form->playctrl1());
        ASSERT_NE(control, nullptr) << form->loadError().toStdString();
        form->show();
        playSomething(*control);

        // A dialog of the control's is open as well when the signal comes.
        auto *dialog = new QDialog(form.get());
        dialog->setModal(true);
        bool soundedBefore = false;
        bool dialogEnded = false;
        QTimer::singleShot(300, [&] {
            soundedBefore = !sounding().empty();
            QTimer::singleShot(0, [sig] { ::raise(sig); });
            dialog->exec();
            dialogEnded = true;
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        const int status = QCoreApplication::exec();
        watchdog.stop();

        EXPECT_EQ(status, 0);
        EXPECT_TRUE(soundedBefore);
        EXPECT_TRUE(dialogEnded);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(control->Play(), False);
        EXPECT_TRUE(sounding().empty());
        form.reset(); // as main() ends
        EXPECT_TRUE(storedSettings(m_home).contains("midiport"));
        m_recorder->clear();
    }
}

// TBO itself on a MIDI port of a JACK server of the test's own, killed once
// it has opened the port (its program change arrived).
class TboOnStopSignal : public ::testing::Test {
protected:
    void SetUp() override {
        const QString problem = m_jack.start();
        if (!problem.isEmpty())
            GTEST_SKIP() << problem.toStdString();
        ASSERT_TRUE(m_home.isValid() && m_tmp.isValid());
    }

    tambolin::testing::JackServer m_jack;
    tambolin::testing::ConfigHome m_home;
    QTemporaryDir m_tmp;
};

TEST_F(TboOnStopSignal, TboEndsAsWithAClosedWindowAndKeepsItsSettings) {
    const QString tbo = QStringLiteral(TAMBOLIN_BINARY_DIR "/bin/TBO");
    ASSERT_TRUE(QFile::exists(tbo));
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        QFile::remove(m_home.filePath(QStringLiteral("tamberlo/registry/HKEY_LOCAL_MACHINE.reg")));
        RtMidiIn listener(RtMidi::UNIX_JACK, "tbo-signal-test");
        listener.ignoreTypes(false, false, false);
        listener.openVirtualPort("in");

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        env.insert(QStringLiteral("TMPDIR"), m_tmp.path());
        env.insert(QString::fromLatin1(midiMapperVariable), QStringLiteral("tbo-signal-test"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setChildProcessModifier(defaultStopSignals);
        process.start(tbo, {});
        ASSERT_TRUE(process.waitForStarted(5000));

        // Started: the control opened the port and chose its instrument.
        bool programChange = false;
        QElapsedTimer clock;
        clock.start();
        std::vector<unsigned char> message;
        while (!programChange && clock.elapsed() < 20000 && process.state() == QProcess::Running) {
            listener.getMessage(&message);
            if (!message.empty())
                programChange = (message[0] & 0xF0) == 0xC0;
            else
                process.waitForFinished(10);
        }
        ASSERT_TRUE(programChange) << process.readAll().toStdString();
        ASSERT_TRUE(storedSettings(m_home).isEmpty());

        ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), sig), 0);
        ASSERT_TRUE(process.waitForFinished(15000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << process.readAll().toStdString();
        EXPECT_EQ(process.exitCode(), 0);
        const QByteArray stored = storedSettings(m_home);
        EXPECT_TRUE(stored.contains("midiport")) << stored.toStdString();
        EXPECT_TRUE(stored.contains("midisource")) << stored.toStdString();
    }
}

// The tool's play command, stopped while notes sound on a port.
TEST_F(TboOnStopSignal, PlayEndsWithEveryNoteOff) {
    const QString tool = QStringLiteral(TAMBOLIN_BINARY_DIR "/bin/tambolin");
    const QString melody = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/sakura.tbn");
    ASSERT_TRUE(QFile::exists(tool) && QFile::exists(melody));
    for (const int sig : {SIGHUP, SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        RtMidiIn listener(RtMidi::UNIX_JACK, "tbo-signal-test");
        listener.ignoreTypes(false, false, false);
        listener.openVirtualPort("in");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        env.insert(QString::fromLatin1(midiMapperVariable), QStringLiteral("tbo-signal-test"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setChildProcessModifier(defaultStopSignals);
        process.start(tool, {QStringLiteral("play"), melody});
        ASSERT_TRUE(process.waitForStarted(5000));

        std::set<int> sounding;
        std::string log; // what arrived, for a failure's message
        bool killed = false;
        const auto take = [&](const std::vector<unsigned char> &m) {
            if (!m.empty())
                log += (killed ? "| " : "") +
                       QByteArray(reinterpret_cast<const char *>(m.data()),
                                  static_cast<qsizetype>(m.size()))
                           .toHex(' ')
                           .toStdString() +
                       "\n";
            if (m.size() == 3 && (m[0] & 0xF0) == 0x90 && m[2] > 0)
                sounding.insert(m[1]);
            else if (m.size() == 3 && ((m[0] & 0xF0) == 0x80 || (m[0] & 0xF0) == 0x90))
                sounding.erase(m[1]);
        };
        QElapsedTimer clock;
        clock.start();
        std::vector<unsigned char> message;
        while (sounding.empty() && clock.elapsed() < 20000 &&
               process.state() == QProcess::Running) {
            listener.getMessage(&message);
            if (message.empty())
                process.waitForFinished(5);
            take(message);
        }
        ASSERT_FALSE(sounding.empty()) << process.readAll().toStdString();
        // Well into the melody, as a user would stop it.
        const auto playing = clock.elapsed() + 400;
        while (clock.elapsed() < playing) {
            listener.getMessage(&message);
            if (message.empty())
                process.waitForFinished(5);
            take(message);
        }

        ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), sig), 0);
        killed = true;
        ASSERT_TRUE(process.waitForFinished(15000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << process.readAll().toStdString();
        EXPECT_EQ(process.exitCode(), 0);
        // What was sent before the end arrives within moments.
        const auto deadline = clock.elapsed() + 500;
        while (clock.elapsed() < deadline) {
            listener.getMessage(&message);
            if (message.empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            take(message);
        }
        EXPECT_TRUE(sounding.empty()) << sounding.size() << " notes left sounding:\n" << log;
    }
}

} // namespace
