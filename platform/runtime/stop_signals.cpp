#include "platform/runtime/stop_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tambolin {

namespace {

// Written by the handler: only async-signal-safe work there.
volatile std::sig_atomic_t g_writeFd = -1;

extern "C" void onStopSignal(int signalNumber) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    if (g_writeFd >= 0) {
        // A full pipe already holds a stop request.
        const ssize_t written = ::write(g_writeFd, &byte, 1);
        (void)written;
    }
    errno = saved;
}

} // namespace

StopSignals::StopSignals() {
    if (::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_fds[0] = m_fds[1] = -1;
        return;
    }
    g_writeFd = m_fds[1];
    m_notifier = new QSocketNotifier(m_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::drain);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handled.size(); ++i) {
        ::sigaction(handled[i], nullptr, &m_old[i]);
        // A hang-up ignored when we started (nohup) stays ignored. SIGINT is
        // taken even then (a script's background job starts with it
        // ignored), as scripts that stop `tambolin play` with it rely on.
        if (handled[i] != SIGHUP || m_old[i].sa_handler != SIG_IGN)
            ::sigaction(handled[i], &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    if (m_fds[1] < 0)
        return;
    for (std::size_t i = 0; i < handled.size(); ++i)
        ::sigaction(handled[i], &m_old[i], nullptr);
    g_writeFd = -1;
    delete m_notifier;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void StopSignals::drain() {
    unsigned char byte = 0;
    while (::read(m_fds[0], &byte, 1) == 1) {
        m_caught = byte;
        emit received(byte);
    }
}

} // namespace tambolin
