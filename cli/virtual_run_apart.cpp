#include "cli/virtual_run_apart.h"

#include "cli/run_result_codec.h"
#include "platform/runtime/descriptor_write.h"

#include <QDir>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tambolin::cli {

namespace {

// A fork copies only the calling thread; with others about, a lock one of
// them held would stay held in the child for good.
bool singleThreaded() {
    return QDir(QStringLiteral("/proc/self/task"))
               .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
               .size() == 1;
}

// The child must not share a display server's connection with its parent.
bool withoutDisplay() {
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform == u"offscreen" || platform == u"minimal";
}

// Far more than a run of the longest melody at one note a tick in every
// part for the whole 10-minute cap (under 10 MiB): a child gone wrong
// cannot fill the parent's memory.
constexpr qsizetype longestOutcome = qsizetype(64) << 20;

bool readAll(int fd, QByteArray &bytes) {
    char chunk[65536];
    for (;;) {
        if (bytes.size() > longestOutcome)
            return false;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.append(chunk, n);
    }
}

[[noreturn]] void runInChild(int fd, const QString &melody, const VirtualRun &run) {
    bool sent = false;
    // Whatever happens, the child ends here: it must never go on with the
    // caller's work as a second copy of it.
    try {
        RunOutcome outcome;
        outcome.ok = runVirtual(melody, run, outcome.result, outcome.problem);
        sent = writeAll(fd, encodeRunOutcome(outcome));
    } catch (...) {
        sent = false;
    }
    std::fflush(stderr);
    // Nothing of the parent's (exit handlers, buffered output) runs twice.
    ::_exit(sent ? 0 : 1);
}

} // namespace

bool runVirtualApart(const QString &melody, const VirtualRun &run, VirtualRunResult &result,
                     QString &problem, bool *apart) {
    if (apart)
        *apart = false;
    int fds[2];
    if (!singleThreaded() || !withoutDisplay() || ::pipe2(fds, O_CLOEXEC) != 0)
        return runVirtual(melody, run, result, problem);
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return runVirtual(melody, run, result, problem);
    }
    if (child == 0) {
        ::close(fds[0]);
        runInChild(fds[1], melody, run);
    }
    if (apart)
        *apart = true;
    ::close(fds[1]);
    QByteArray bytes;
    const bool read = readAll(fds[0], bytes);
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    RunOutcome outcome;
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        !decodeRunOutcome(bytes, outcome)) {
        problem = WIFSIGNALED(status)
                      ? QStringLiteral("the player's run ended on signal %1").arg(WTERMSIG(status))
                      : QStringLiteral("the player's run ended without an outcome");
        return false;
    }
    if (!outcome.ok) {
        problem = outcome.problem;
        return false;
    }
    result = std::move(outcome.result);
    return true;
}

} // namespace tambolin::cli
