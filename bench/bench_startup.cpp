// How soon TBO's window shows its first frame, against a bare Qt window of
// the same size in the same run. Each start runs on a virtual X screen
// (Xvfb) of the benchmark's own, with a JACK dummy server as the audio
// output, so the control's sound font and audio output open as they would
// on a desktop. The time of a window's first frame is read from Qt's own log
// of the X connection, stamped from the start of the process: the moment
// the window's backing store is first filled. The last line:
//
//   startup tbo_first_frame_ms A (min B max C) bare_first_frame_ms D (min E max F) runs N
//
//   bench_startup [--tbo PATH] [--runs N]
//   (bench_startup --bare-window is the yardstick's own process)

#include "bench/spawn_quiet.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace std::chrono_literals;

namespace {

void stop(pid_t pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(50ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// When the window of the widget named windowName first filled its backing
// store, in milliseconds from the start of the process.
std::optional<double> firstFrame(const QString &log, const QString &windowName) {
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray marker = QStringLiteral("name=\"%1Window\"").arg(windowName).toUtf8();
    while (!f.atEnd()) {
        const QByteArray line = f.readLine(4096);
        if (line.contains(marker) && line.contains("creating shared memory")) {
            bool ok = false;
            const double seconds = line.trimmed().split(' ').value(0).toDouble(&ok);
            if (ok)
                return seconds * 1000.0;
        }
    }
    return std::nullopt;
}

// Runs program until its window has shown a frame (at most 10 s), then ends it.
std::optional<double> measure(const std::vector<std::string> &program, const QString &windowName,
                              const QString &log) {
    const pid_t pid = tambolin::bench::spawnQuiet(program, log.toStdString());
    if (pid < 0)
        return std::nullopt;
    std::optional<double> ms;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!ms && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
        ms = firstFrame(log, windowName);
    }
    // A moment more, so the start completes before the window is closed.
    std::this_thread::sleep_for(300ms);
    stop(pid);
    return ms;
}

struct Figures {
    double median = 0, min = 0, max = 0;
};

Figures figures(std::vector<double> v) {
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

int bareWindow(int argc, char **argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setObjectName(QStringLiteral("Bare"));
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(161, 101);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char **argv) {
    if (argc > 1 && std::string(argv[1]) == "--bare-window")
        return bareWindow(argc, argv);

    std::string self = argv[0];
    std::string tbo;
    int runs = 7;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--tbo" && i + 1 < argc)
            tbo = argv[++i];
        else if (a == "--runs" && i + 1 < argc)
            runs = std::clamp(std::atoi(argv[++i]), 1, 100);
    }
    if (tbo.empty()) {
        const std::string dir = self.substr(0, self.find_last_of('/') + 1);
        tbo = dir + "TBO";
    }
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        std::fprintf(stderr, "Xvfb is not installed (Debian package xvfb)\n");
        return 1;
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    // A screen of our own: Xvfb writes the display number it took.
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return 1;
    const pid_t xvfb = tambolin::bench::spawnQuiet(
        {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24"},
        dir.filePath("xvfb.log").toStdString(), pipeFds[1]);
    close(pipeFds[1]);
    std::string display;
    char c;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(pipeFds[0]);
    if (xvfb < 0 || display.empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        stop(xvfb);
        return 1;
    }

    // An audio output: a JACK dummy server; tests that start one take turns with us.
    const int turn = ::open("/tmp/tambolin-test-jack.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (turn >= 0)
        ::flock(turn, LOCK_EX);
    const std::string server = "tambolin-startup-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    const pid_t jackd =
        tambolin::bench::spawnQuiet({"jackd", "-n", server, "--no-realtime", "-d", "dummy"},
                                    dir.filePath("jackd.log").toStdString());
    std::this_thread::sleep_for(1500ms);

    setenv("DISPLAY", (":" + display).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("QT_LOGGING_RULES", "qt.qpa.xcb.debug=true", 1);
    setenv("QT_MESSAGE_PATTERN", "%{time process} %{message}", 1);
    // The player's settings and class registration stay in here.
    setenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit().constData(), 1);
    QDir().mkpath(dir.filePath("config"));

    // A first start registers the control; it is not counted.
    measure({tbo}, QStringLiteral("FRM_TBO"), dir.filePath("warm.log"));
    std::vector<double> tboMs, bareMs;
    for (int i = 0; i < runs; ++i) {
        const QString log = dir.filePath(QStringLiteral("run%1.log").arg(i));
        if (const auto ms = measure({self, "--bare-window"}, QStringLiteral("Bare"), log))
            bareMs.push_back(*ms);
        if (const auto ms = measure({tbo}, QStringLiteral("FRM_TBO"), log))
            tboMs.push_back(*ms);
    }
    stop(jackd);
    if (turn >= 0)
        ::close(turn);
    stop(xvfb);

    if (tboMs.empty()) {
        std::fprintf(stderr, "TBO showed no frame (is %s there?)\n", tbo.c_str());
        return 1;
    }
    const Figures t = figures(tboMs), b = figures(bareMs);
    std::printf("startup tbo_first_frame_ms %.1f (min %.1f max %.1f) bare_first_frame_ms %.1f "
                "(min %.1f max %.1f) runs %zu\n",
                t.median, t.min, t.max, b.median, b.min, b.max, tboMs.size());
    return 0;
}
