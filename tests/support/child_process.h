#pragma once
// Runs part of a test in a forked child, for what must not touch the test
// process itself: a file-size limit that makes writes fail part-way, or the
// identity of an unprivileged user so that permissions bind even when the
// suite runs as root. The child reports through its exit status only; the
// test checks the files it left behind.

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QString>

#include <csignal>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tambolin::testing {

// Exit status of body() run in a child, or -1 when the child could not be
// started or did not end normally. The child never returns into the test.
inline int runInChild(const std::function<int()> &body) {
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        int status = 125;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Status of body() run with no file allowed to grow past bytes; a write past
// the limit fails with EFBIG instead of raising SIGXFSZ, as a full disk would.
inline int runWithFileSizeLimit(rlim_t bytes, const std::function<int()> &body) {
    return runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = bytes;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 126;
        return body();
    });
}

// Status of body() run as the unprivileged user "nobody" when the test runs
// as root (the files under folder are given to that user first, so that only
// the permissions the test set stand in its way); otherwise as ourselves.
inline int runUnprivileged(const QString &folder, const std::function<int()> &body) {
    uid_t uid = ::geteuid();
    gid_t gid = ::getegid();
    if (uid == 0) {
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody)
            return -1;
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
        if (::chown(QFile::encodeName(folder).constData(), uid, gid) != 0)
            return -1;
        QDirIterator it(folder,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            if (::lchown(QFile::encodeName(it.next()).constData(), uid, gid) != 0)
                return -1;
    }
    return runInChild([&] {
        if (::getuid() == 0 || ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                return 126;
            if (::geteuid() == 0)
                return 126; // still privileged: the test would prove nothing
        }
        return body();
    });
}

} // namespace tambolin::testing
