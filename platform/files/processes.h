#pragma once
// Other processes, shaped like the handle-based process calls the utility
// class waits and terminates with. A handle pins the process it was opened
// for (a pidfd), so a recycled process number never redirects a later call.

#include "platform/runtime/basic_runtime.h"

namespace tambolin {

inline constexpr Long PROCESS_TERMINATE = 0x1;
inline constexpr Long PROCESS_QUERY_INFORMATION = 0x400;
// Exit code reported while the process still runs.
inline constexpr Long STILL_ACTIVE = 259;

// An open process handle; closed by CloseHandle or when it goes out of scope.
class ProcessHandle final {
public:
    ProcessHandle() = default;
    explicit ProcessHandle(int fd, Long pid) : m_fd(fd), m_pid(pid) {}
    ProcessHandle(ProcessHandle &&other) noexcept;
    ProcessHandle &operator=(ProcessHandle &&other) noexcept;
    ProcessHandle(const ProcessHandle &) = delete;
    ProcessHandle &operator=(const ProcessHandle &) = delete;
    ~ProcessHandle();

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    Long processId() const { return m_pid; }
    void close();

private:
    int m_fd = -1;
    Long m_pid = 0;
};

// Opens process processId; an unopened handle when it does not exist or,
// with PROCESS_TERMINATE, when we may not signal it. Handles are never
// inherited by child programs, whatever inheritHandle says.
ProcessHandle OpenProcess(Long desiredAccess, Boolean inheritHandle, Long processId);

// STILL_ACTIVE while the process exists. After it ended: its exit status when
// it was our child and is not reaped yet, 128 + the signal when a signal ended
// it, otherwise 0. False for a closed handle.
Boolean GetExitCodeProcess(const ProcessHandle &process, Long *exitCode);

// Ends the process at once (it cannot catch or delay this). The exit code is
// not under our control on Linux: a killed process reports the signal.
Boolean TerminateProcess(const ProcessHandle &process, Long exitCode);

Boolean CloseHandle(ProcessHandle &process);

} // namespace tambolin
