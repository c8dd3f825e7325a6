#include "cli/stop_signals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tambolin::cli {

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
    ::sigaction(SIGINT, &action, &m_oldInt);
    ::sigaction(SIGTERM, &action, &m_oldTerm);
}

StopSignals::~StopSignals() {
    if (m_fds[1] < 0)
        return;
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    g_writeFd = -1;
    delete m_notifier;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void StopSignals::drain() {
    unsigned char byte = 0;
    while (::read(m_fds[0], &byte, 1) == 1)
        emit received(byte);
}

} // namespace tambolin::cli
