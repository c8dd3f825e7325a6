// The tool on a terminal: a pseudo-terminal in a child process. `play`
// plays on a JACK server of the test's own; `export` shows its progress.

#include "support/jack_server.h"
#include "support/skip.h"
#include "support/sound_font.h"
#include "support/temp_files.h"
#include "tool_run.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tambolin::testing;

namespace {

using namespace std::chrono_literals;

using tambolin::testing::haveSoundFont;

struct TerminalRun {
    int status = -1;
    QByteArray screen; // all the child wrote to its terminal
};

// Runs the tool on a new pseudo-terminal (80 columns) with env, reading
// what it writes until it exits or timeout passes (then it is killed).
TerminalRun runOnTerminal(const QStringList &args, const QProcessEnvironment &env,
                          std::chrono::milliseconds timeout) {
    std::vector<QByteArray> storage{QFile::encodeName(toolPath())};
    for (const QString &a : args)
        storage.push_back(a.toUtf8());
    for (const QString &e : env.toStringList())
        storage.push_back(e.toUtf8());
    std::vector<char *> argv;
    std::vector<char *> envp;
    for (std::size_t i = 0; i < storage.size(); ++i)
        (i <= static_cast<std::size_t>(args.size()) ? argv : envp).push_back(storage[i].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    winsize size{};
    size.ws_col = 80;
    size.ws_row = 24;
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
    if (child < 0)
        return {};
    if (child == 0) {
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    TerminalRun run;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) {
            ::kill(child, SIGKILL);
            break;
        }
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break; // the child has closed the terminal: it has ended
        run.screen.append(buffer, n);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(master);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(PlayOnATerminal, KeepsOneStatusLineUpToDate) {
    if (!haveSoundFont())
        TAMBOLIN_SKIP_WITHOUT("no General MIDI sound font for the embedded synthesizer");
    TempFolder dir;
    int made = 0;
    // Four quarters at tempo 0, 1.6 s a loop; the title holds an escape
    // that must not reach the terminal as one.
    const QString file = buildMelody(
        dir,
        R"({"title": "Q\u001b[31m4", "tempo": 0, "parts": [[[2, 12], [2, 14], [2, 16], [2, 17]]]})",
        made);
    JackServer jack;
    if (const QString why = jack.start(); !why.isEmpty())
        TAMBOLIN_SKIP_WITHOUT(why.toStdString());

    const TerminalRun run = runOnTerminal({"play", file, "--loops", "2"}, jack.env(), 30s);
    ASSERT_EQ(run.status, 0) << run.screen.toStdString();
    const QByteArray &s = run.screen;
    // The title line and the device line as off a terminal, then the status
    // line rewritten in place: no line feed between its updates.
    const qsizetype first = s.indexOf("\r"
                                      "Q\\x1B[31m4  0:00 / 0:01  loop 1 of 2\x1b[K");
    ASSERT_GE(first, 0) << s.toStdString();
    EXPECT_TRUE(s.left(first).endsWith("Ctrl-C stops\r\n")) << s.toStdString();
    const QByteArray status = s.mid(first);
    EXPECT_TRUE(status.contains("  0:01 / 0:01  loop 1 of 2\x1b[K")) << s.toStdString();
    EXPECT_TRUE(status.contains("  0:00 / 0:01  loop 2 of 2\x1b[K")) << s.toStdString();
    EXPECT_FALSE(s.contains("\x1b[31m")) << "the title's escape reached the terminal";
    // Only the end of playing ends the line.
    EXPECT_EQ(status.count('\n'), 1) << s.toStdString();
    EXPECT_TRUE(status.endsWith("\r\n")) << s.toStdString();
    // A few updates a second: for 3.2 s of playing, far fewer than a
    // hundred, however the ticks fall.
    EXPECT_LE(status.count('\r'), 40) << s.toStdString();
}

TEST(PlayOnATerminal, WritesNoStatusLineIntoAPipe) {
    if (!haveSoundFont())
        TAMBOLIN_SKIP_WITHOUT("no General MIDI sound font for the embedded synthesizer");
    TempFolder dir;
    int made = 0;
    const QString file =
        buildMelody(dir, R"({"title": "Short melody", "tempo": 0, "parts": [[[3, 12]]]})", made);
    JackServer jack;
    if (const QString why = jack.start(); !why.isEmpty())
        TAMBOLIN_SKIP_WITHOUT(why.toStdString());
    const ToolRun r = runTool({"play", file, "--loops", "1"}, 20000, jack.env());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(u'\r'));
    EXPECT_FALSE(r.out.contains(QStringLiteral("loop 1")));
    EXPECT_EQ(r.out.count(u'\n'), 2) << r.out.toStdString();
}

TEST(ExportOnATerminal, ShowsProgressOverSeveralFilesAndErasesIt) {
    TempFolder dir;
    int made = 0;
    const QString first =
        buildMelody(dir, R"({"title": "First melody", "parts": [[[2, 12]]]})", made);
    const QString second =
        buildMelody(dir, R"({"title": "Second melody", "parts": [[[3, 14]]]})", made);
    const QString out = dir.path(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkdir(out));
    const QString missing = dir.path(QStringLiteral("missing.tbn"));
    const TerminalRun run = runOnTerminal({"export", first, missing, second, "-o", out},
                                          QProcessEnvironment::systemEnvironment(), 60s);
    EXPECT_EQ(run.status, 2) << run.screen.toStdString();
    const QByteArray &s = run.screen;
    const qsizetype one = s.indexOf("\r[1/3] export " + first.toUtf8() + "\x1b[K");
    const qsizetype two = s.indexOf("\r[2/3] export " + missing.toUtf8() + "\x1b[K");
    // The message about the bad file starts at the left edge, the line erased.
    const qsizetype said = s.indexOf("\r\x1b[Ktambolin export: " + missing.toUtf8());
    const qsizetype three = s.indexOf("\r[3/3] export " + second.toUtf8() + "\x1b[K");
    ASSERT_GE(one, 0) << s.toStdString();
    EXPECT_LT(one, two);
    EXPECT_LT(two, said);
    EXPECT_LT(said, three);
    EXPECT_TRUE(s.endsWith("\r\x1b[K")) << s.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 2);
}

} // namespace
