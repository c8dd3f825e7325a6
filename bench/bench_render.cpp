// How fast `tambolin render` makes a sound file, and with how much memory,
// against FluidSynth's own file renderer on the same notes. A melody from
// the examples is looped to about the length asked (10 minutes, the
// longest render makes), exported with `tambolin export` (the same notes
// at the same times) and rendered by both, each run in a child process
// measured by wait4(): wall time, CPU time and peak resident memory (the
// largest of the process and the children it waited for: render runs the
// player in one).
// Ours is also timed writing FLAC and Ogg Vorbis.
//
//   bench_render [--seconds=N] [--runs N] [--melody FILE.tbn] [--tambolin PATH]
//
// --seconds (default 600): the length of sound; --runs (default 3): runs of
// each, the best figures kept. Other arguments (benchmark flags) are ignored.

#include "bench/spawn_quiet.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

struct Figures {
    bool ok = false;
    double wall = 0; // seconds
    double user = 0;
    double sys = 0;
    double rssMiB = 0;
    double cpu() const { return user + sys; }
};

// Runs argv with its output thrown away; the figures of the child.
Figures measure(const std::vector<std::string> &args) {
    Figures f;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = tambolin::bench::spawnQuiet(args);
    if (pid < 0)
        return f;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return f;
    f.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.user = double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) * 1e-6;
    f.sys = double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) * 1e-6;
    f.rssMiB = double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return f;
}

// The best of several runs: the least time, the least memory.
Figures best(const std::vector<Figures> &runs) {
    Figures b;
    for (const Figures &f : runs) {
        if (!f.ok)
            continue;
        if (!b.ok) {
            b = f;
            continue;
        }
        b.wall = std::min(b.wall, f.wall);
        b.user = std::min(b.user, f.user);
        b.sys = std::min(b.sys, f.sys);
        b.rssMiB = std::min(b.rssMiB, f.rssMiB);
    }
    return b;
}

std::uint32_t readVar(const QByteArray &d, qsizetype &at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && at < d.size(); ++i) {
        const auto b = static_cast<unsigned char>(d[at++]);
        v = (v << 7) | (b & 0x7F);
        if (!(b & 0x80))
            break;
    }
    return v;
}

// The tick of the end-of-track event in the first track of a Standard
// MIDI File (one tick is a millisecond in the tool's exports); -1 if none.
long long endOfTrack(const QByteArray &d) {
    qsizetype at = 14 + 8; // the header chunk, then the first track's chunk header
    long long tick = 0;
    unsigned char running = 0;
    while (at < d.size()) {
        tick += readVar(d, at);
        if (at >= d.size())
            break;
        auto status = static_cast<unsigned char>(d[at]);
        if (status == 0xFF) {
            const auto type = at + 1 < d.size() ? static_cast<unsigned char>(d[at + 1]) : 0;
            at += 2;
            const qsizetype length = readVar(d, at);
            if (type == 0x2F)
                return tick;
            at += length;
        } else if (status == 0xF0 || status == 0xF7) {
            ++at;
            at += readVar(d, at);
        } else {
            if (status & 0x80) {
                running = status;
                ++at;
            }
            at += (running & 0xE0) == 0xC0 ? 1 : 2;
        }
    }
    return -1;
}

double mib(const QString &path) {
    return double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

void row(const char *who, const Figures &f, const QString &file) {
    if (!f.ok) {
        std::printf("%-20s failed\n", who);
        return;
    }
    std::printf("%-20s %8.2f %8.2f %8.2f %8.2f %10.1f %9.1f\n", who, f.wall, f.cpu(), f.user, f.sys,
                f.rssMiB, mib(file));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    std::string tambolin =
        QDir(QCoreApplication::applicationDirPath()).filePath("tambolin").toStdString();
    QString melody = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/sakura.tbn");
    int seconds = 600;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--seconds=", 0) == 0)
            seconds = std::clamp(std::atoi(a.c_str() + 10), 1, 600);
        else if (a == "--runs" && i + 1 < argc)
            runs = std::clamp(std::atoi(argv[++i]), 1, 20);
        else if (a == "--melody" && i + 1 < argc)
            melody = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--tambolin" && i + 1 < argc)
            tambolin = argv[++i];
    }
    if (seconds < 60)
        runs = 1; // a smoke test, not a measurement
    const char *chosenFont = std::getenv("TAMBOLIN_SOUNDFONT");
    const std::string font =
        chosenFont && *chosenFont ? chosenFont : "/usr/share/sounds/sf2/TimGM6mb.sf2";

    QTemporaryDir dir;
    const std::string tbn = melody.toStdString();
    const QString one = dir.filePath("one.mid");
    if (!measure({tambolin, "export", tbn, "-o", one.toStdString()}).ok) {
        std::fprintf(stderr, "bench_render: tambolin export failed\n");
        return 1;
    }
    QFile oneFile(one);
    const long long loopMs = oneFile.open(QIODevice::ReadOnly) ? endOfTrack(oneFile.readAll()) : -1;
    if (loopMs <= 0) {
        std::fprintf(stderr, "bench_render: no end of track in the export\n");
        return 1;
    }
    // Each loop starts on the tick after the last one's end; render stops
    // at 10 minutes less the second of release, which no run should reach.
    const long long loops = std::max(
        1LL, std::min((seconds * 1000LL - 1000) / (loopMs + 10), 598'000LL / (loopMs + 10)));
    const QString mid = dir.filePath("song.mid");
    if (!measure(
             {tambolin, "export", tbn, "-o", mid.toStdString(), "--loops", std::to_string(loops)})
             .ok) {
        std::fprintf(stderr, "bench_render: tambolin export failed\n");
        return 1;
    }

    const QString ours = dir.filePath("ours.wav"), theirs = dir.filePath("theirs.wav");
    const bool haveFluid = !QStandardPaths::findExecutable("fluidsynth").isEmpty();
    auto renderOurs = [&](const QString &out) {
        return measure({tambolin, "render", tbn, "-o", out.toStdString(), "--loops",
                        std::to_string(loops), "--soundfont", font});
    };
    std::vector<Figures> oursRuns, theirRuns;
    for (int r = 0; r < runs; ++r) {
        oursRuns.push_back(renderOurs(ours));
        if (haveFluid)
            theirRuns.push_back(measure({"fluidsynth", "-ni", "-q", "-F", theirs.toStdString(),
                                         "-r", "44100", font, mid.toStdString()}));
    }
    const Figures a = best(oursRuns), b = best(theirRuns);
    const double soundSeconds = double(QFileInfo(ours).size() - 44) / (44100.0 * 4);

    std::printf("bench_render: %s, %lld loops: %d:%04.1f of sound; %s; best of %d\n",
                qPrintable(QFileInfo(melody).fileName()), loops, int(soundSeconds) / 60,
                soundSeconds - 60 * (int(soundSeconds) / 60), font.c_str(), runs);
    std::printf("%-20s %8s %8s %8s %8s %10s %9s\n", "", "wall_s", "cpu_s", "user_s", "sys_s",
                "peak_MiB", "file_MiB");
    row("tambolin .wav", a, ours);
    if (!haveFluid)
        std::printf("%-20s not installed (Debian package fluidsynth)\n", "fluidsynth");
    else
        row("fluidsynth .wav", b, theirs);
    for (const char *type : {"flac", "ogg"}) {
        const QString out = dir.filePath(QStringLiteral("ours.") + QLatin1String(type));
        row((std::string("tambolin .") + type).c_str(), renderOurs(out), out);
    }
    if (a.ok && b.ok)
        std::printf("tambolin/fluidsynth  wall %.2fx  cpu %.2fx  peak memory %.2fx\n",
                    a.wall / b.wall, a.cpu() / b.cpu(), a.rssMiB / b.rssMiB);
    return a.ok && (!haveFluid || b.ok) ? 0 : 1;
}
