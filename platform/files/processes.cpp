#include "platform/files/processes.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

// This C library's pidfd header lacks C++ linkage guards.
extern "C" {
#include <sys/pidfd.h>
}

namespace tambolin {

ProcessHandle::ProcessHandle(ProcessHandle &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_pid(std::exchange(other.m_pid, 0)) {}

ProcessHandle &ProcessHandle::operator=(ProcessHandle &&other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_pid = std::exchange(other.m_pid, 0);
    }
    return *this;
}

ProcessHandle::~ProcessHandle() {
    close();
}

void ProcessHandle::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_pid = 0;
}

ProcessHandle OpenProcess(Long desiredAccess, Boolean /*inheritHandle*/, Long processId) {
    if (processId <= 0)
        return {};
    const int fd = pidfd_open(static_cast<pid_t>(processId), 0);
    if (fd < 0)
        return {};
    ProcessHandle handle(fd, processId);
    // Signal 0 checks the permission without sending anything.
    if ((desiredAccess & PROCESS_TERMINATE) && pidfd_send_signal(fd, 0, nullptr, 0) != 0)
        return {};
    return handle;
}

Boolean GetExitCodeProcess(const ProcessHandle &process, Long *exitCode) {
    if (!process.isOpen() || !exitCode)
        return False;
    pollfd p{process.fd(), POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0)
        return False;
    if (ready == 0) {
        *exitCode = STILL_ACTIVE;
        return True;
    }
    // Ended: look at the status without reaping it, so its owner still can.
    siginfo_t info{};
    *exitCode = 0;
    if (::waitid(static_cast<idtype_t>(P_PIDFD), static_cast<id_t>(process.fd()), &info,
                 WEXITED | WNOWAIT | WNOHANG) == 0 &&
        info.si_pid != 0) {
        if (info.si_code == CLD_EXITED)
            *exitCode = info.si_status;
        else
            *exitCode = 128 + info.si_status;
    }
    return True;
}

Boolean TerminateProcess(const ProcessHandle &process, Long /*exitCode*/) {
    if (!process.isOpen())
        return False;
    return toBoolean(pidfd_send_signal(process.fd(), SIGKILL, nullptr, 0) == 0);
}

Boolean CloseHandle(ProcessHandle &process) {
    const bool wasOpen = process.isOpen();
    process.close();
    return toBoolean(wasOpen);
}

} // namespace tambolin
