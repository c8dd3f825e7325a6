#pragma once
// Starting a program beside a benchmark without its output in the figures.

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace tambolin::bench {

// Starts args (args[0] looked up on PATH) with standard input and output on
// /dev/null and standard error into errFile; keepFd, when not -1, becomes
// the child's descriptor 3. The child's pid, or -1 when it cannot start.
inline pid_t spawnQuiet(const std::vector<std::string> &args,
                        const std::string &errFile = "/dev/null", int keepFd = -1) {
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    if (keepFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, keepFd, 3);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

} // namespace tambolin::bench
