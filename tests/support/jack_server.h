#pragma once
// A JACK server of the test's own (dummy driver, no sound hardware) under a
// name no other test or user shares, gone with the test. JACK servers started
// side by side by parallel test processes trip over each other's shared
// registry, so the tests that need one take turns.

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

namespace tambolin::testing {

class JackServer final {
public:
    JackServer() = default;
    ~JackServer() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(2000);
        }
        if (m_started)
            unsetenv("JACK_DEFAULT_SERVER");
        if (m_turn >= 0)
            ::close(m_turn); // after the server has gone
    }
    JackServer(const JackServer &) = delete;
    JackServer &operator=(const JackServer &) = delete;

    // Empty when the server runs; otherwise why not. While it runs, this
    // process and the programs it starts with env() use it by default.
    QString start() {
        using namespace std::chrono_literals;
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        const QString lsp = QStandardPaths::findExecutable(QStringLiteral("jack_lsp"));
        if (jackd.isEmpty() || lsp.isEmpty())
            return QStringLiteral("jackd is not installed (Debian package jackd2)");
        m_turn = ::open("/tmp/tambolin-test-jack.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_turn >= 0)
            ::flock(m_turn, LOCK_EX);
        static int serial = 0;
        m_name = QStringLiteral("tambolin-test-%1-%2").arg(getpid()).arg(++serial);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("JACK_NO_AUDIO_RESERVATION"), QStringLiteral("1"));
        m_env.insert(QStringLiteral("JACK_DEFAULT_SERVER"), m_name);
        m_process.setProcessEnvironment(m_env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        // Should the test die, the server goes with it.
        m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start(jackd, {QStringLiteral("-n"), m_name, QStringLiteral("--no-realtime"),
                                QStringLiteral("-d"), QStringLiteral("dummy")});
        if (!m_process.waitForStarted(5000))
            return QStringLiteral("jackd did not start: ") + m_process.errorString();
        const auto deadline = std::chrono::steady_clock::now() + 15s;
        while (std::chrono::steady_clock::now() < deadline &&
               m_process.state() != QProcess::NotRunning) {
            QProcess probe;
            probe.setProcessEnvironment(m_env);
            probe.start(lsp, {QStringLiteral("-s"), m_name});
            if (probe.waitForFinished(5000) && probe.exitCode() == 0) {
                setenv("JACK_DEFAULT_SERVER", m_name.toLocal8Bit().constData(), 1);
                m_started = true;
                return {};
            }
            std::this_thread::sleep_for(100ms);
        }
        return QStringLiteral("jackd did not come up: ") +
               QString::fromLocal8Bit(m_process.readAll());
    }

    QString name() const { return m_name; }
    // The environment for programs that should play into this server.
    QProcessEnvironment env() const { return m_env; }

private:
    QProcess m_process;
    QString m_name;
    QProcessEnvironment m_env;
    int m_turn = -1;
    bool m_started = false;
};

} // namespace tambolin::testing
