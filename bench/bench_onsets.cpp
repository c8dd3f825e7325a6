// When notes sound at the output, against when the melody means them.
// Plays a melody of short woodblock notes, whose due times fall between the
// 10 ms ticks, through `tambolin play` (the embedded synthesizer's real-time
// path) into a JACK dummy server of its own, records the output with its own
// JACK client, finds each onset and compares it with the note's due time.
// The same notes, as a Standard MIDI File at their due times, go through
// FluidSynth's command-line player for comparison. The last line is ours:
//
//   onsets N median_ms A p99_ms B max_ms C drift_ms D cpu_pct E main_pct F
//
// errors: each onset's offset from its due time minus the smallest offset
// of the run; drift: mean offset of the last fifth minus the first fifth;
// cpu: the player's CPU time as a share of one core over its run; main: its
// main thread's share while playing (from 2 s in to the end; each thread's
// share of the whole run is printed above). A bare loop that wakes every
// 10 ms on a timer, as the sequencer must, is printed first as the
// machine's floor for the main thread.
//
//   bench_onsets [--tambolin PATH] [--notes N] [--loops N | --minutes M] [--no-fluidsynth]
//
// --minutes plays the melody over and over for about M minutes (both
// players), for the drift over a long run.

#include "bench/spawn_quiet.h"
#include "melody/note_duration.h"
#include "platform/runtime/basic_runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <jack/jack.h>
#include <map>
#include <numeric>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace tambolin;
using namespace std::chrono_literals;

namespace {

constexpr int rate = 44100;
constexpr int pitch = 12;    // key 60
constexpr int program = 115; // woodblock

// ---- the JACK side ----

struct Period {
    std::size_t index; // first recorded frame of the period
    jack_time_t usecs; // when the period began, by JACK's clock
};

class Recorder {
public:
    explicit Recorder(double seconds)
        : m_samples(std::size_t(seconds * rate) + rate), m_periods(std::size_t(seconds * 1000)) {}
    ~Recorder() {
        if (m_client)
            jack_client_close(m_client);
    }
    bool open() {
        for (int i = 0; i < 100 && !m_client; ++i) {
            jack_status_t status;
            m_client = jack_client_open("onset-recorder", JackNoStartServer, &status);
            if (!m_client)
                std::this_thread::sleep_for(100ms);
        }
        if (!m_client)
            return false;
        m_in = jack_port_register(m_client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(m_client, &Recorder::process, this);
        return m_in && jack_activate(m_client) == 0;
    }
    // Wires every player output's left channel to the recorder.
    void connectPlayers() {
        const char **ports =
            jack_get_ports(m_client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
        if (!ports)
            return;
        for (const char **p = ports; *p; ++p) {
            const std::string name = *p;
            if (name.rfind("system:", 0) == 0 || name.rfind("onset-recorder", 0) == 0)
                continue;
            const bool left = name.find("left") != std::string::npos ||
                              name.find("l_00") != std::string::npos ||
                              name.find("_1") == name.size() - 2;
            if (left && !jack_port_connected_to(m_in, name.c_str()))
                jack_connect(m_client, name.c_str(), jack_port_name(m_in));
        }
        jack_free(ports);
    }
    void startRecording() {
        m_count = 0;
        m_periodCount = 0;
        m_recording = true;
    }
    void stopRecording() { m_recording = false; }
    std::vector<float> samples() const {
        return {m_samples.begin(), m_samples.begin() + long(m_count.load())};
    }
    std::vector<Period> periods() const {
        return {m_periods.begin(), m_periods.begin() + long(m_periodCount.load())};
    }

private:
    static int process(jack_nframes_t n, void *arg) {
        auto *self = static_cast<Recorder *>(arg);
        if (!self->m_recording)
            return 0;
        jack_nframes_t frames;
        jack_time_t current, next;
        float period;
        jack_get_cycle_times(self->m_client, &frames, &current, &next, &period);
        const std::size_t at = self->m_count;
        if (at + n > self->m_samples.size() || self->m_periodCount >= self->m_periods.size())
            return 0;
        const auto *in = static_cast<const float *>(jack_port_get_buffer(self->m_in, n));
        std::copy(in, in + n, self->m_samples.begin() + long(at));
        self->m_periods[self->m_periodCount] = {at, current};
        ++self->m_periodCount;
        self->m_count = at + n;
        return 0;
    }

    jack_client_t *m_client = nullptr;
    jack_port_t *m_in = nullptr;
    std::vector<float> m_samples;
    std::vector<Period> m_periods;
    std::atomic<std::size_t> m_count{0};
    std::atomic<std::size_t> m_periodCount{0};
    std::atomic<bool> m_recording{false};
};

// The CPU share of a thread that does nothing but wake every 10 ms.
double bareWakeupPct() {
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (fd < 0)
        return 0;
    itimerspec period{};
    period.it_interval.tv_nsec = 10'000'000;
    period.it_value = period.it_interval;
    timerfd_settime(fd, 0, &period, nullptr);
    timespec a{}, b{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
    const int wakeups = 500;
    for (int i = 0; i < wakeups; ++i) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, -1);
        std::uint64_t n = 0;
        if (read(fd, &n, sizeof n) < 0)
            break;
    }
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
    ::close(fd);
    const double cpu = double(b.tv_sec - a.tv_sec) + double(b.tv_nsec - a.tv_nsec) * 1e-9;
    return 100.0 * cpu / (wakeups * 0.010);
}

// Median wall time of `tambolin devices`, in milliseconds.
double devicesMs(const std::string &tambolin, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = tambolin::bench::spawnQuiet({tambolin, "devices"});
        if (pid < 0 || waitpid(pid, nullptr, 0) != pid)
            return 0;
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// ---- the melody ----

struct Melody {
    std::vector<int> codes;
    std::vector<std::int64_t> dueMs; // from the start of play, as the sequencer schedules
};

Melody makeMelody(int notes) {
    Melody m;
    Long acc = 0;
    for (int i = 0; i < notes; ++i) {
        const int code = i % 2 == 0 ? 2 : 13; // quarter 396 ms, dotted eighth 297 ms
        m.codes.push_back(code);
        m.dueMs.push_back(acc);
        acc = clng(double(acc) + playedDuration(0, Integer(code)));
    }
    m.dueMs.push_back(acc); // the end of the last note
    return m;
}

// The player starts the next pass on the tick that ends the last note: the
// first 10 ms tick at or after its end (`tambolin export --timing due
// --loops N` shows the same starts).
std::int64_t loopStartMs(const Melody &m, int loop) {
    return std::int64_t(loop) * ((m.dueMs.back() + 9) / 10 * 10);
}

void putVar(std::string &out, std::uint32_t v) {
    std::string bytes(1, char(v & 0x7F));
    while (v >>= 7)
        bytes.insert(bytes.begin(), char(0x80 | (v & 0x7F)));
    out += bytes;
}

// Format 0, 1000 ticks a quarter at 1,000,000 us a quarter: one tick is 1 ms.
// The loops are written out at the times our player starts them.
// FluidSynth's player starts the song as soon as its ports exist, before the
// recorder (which looks for new ports every 50 ms) is wired to them: the
// notes start after this much silence, so that the first one is heard. A
// constant shift: the errors count from the run's smallest offset.
constexpr std::int64_t fluidLeadInMs = 500;

bool writeSmf(const QString &path, const Melody &m, int loops) {
    std::string track;
    auto event = [&](std::int64_t &last, std::int64_t at, std::string bytes) {
        putVar(track, std::uint32_t(at - last));
        track += bytes;
        last = at;
    };
    std::int64_t last = 0;
    event(last, 0, std::string("\xFF\x51\x03\x0F\x42\x40", 6));
    event(last, 0, std::string{char(0xC0), char(program)});
    const char key = char(pitch + 48);
    for (int loop = 0; loop < loops; ++loop) {
        const std::int64_t start = fluidLeadInMs + loopStartMs(m, loop);
        for (std::size_t i = 0; i < m.codes.size(); ++i) {
            if (i > 0)
                event(last, start + m.dueMs[i], std::string{char(0x80), key, 0x10});
            event(last, start + m.dueMs[i], std::string{char(0x90), key, 0x79});
        }
        event(last, start + m.dueMs.back(), std::string{char(0x80), key, 0x10});
    }
    event(last, last + 1000, std::string("\xFF\x2F\x00", 3));
    std::string file("MThd\0\0\0\x06\0\0\0\x01\x03\xE8", 14);
    file += "MTrk";
    const std::uint32_t n = std::uint32_t(track.size());
    file += std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    file += track;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(file.data(), qint64(file.size())) == qint64(file.size());
}

// ---- measuring ----

struct Run {
    bool ok = false;
    std::vector<double> onsetUs; // JACK clock
    double cpuPct = 0;
    double mainPct = 0;
    std::map<std::string, double> threadPct; // "name/tid"
};

// CPU seconds of each of pid's threads so far, by "name/tid", from the
// scheduler's own count in nanoseconds; the main thread's tid is pid.
std::map<std::string, double> threadCpu(pid_t pid, double &mainSeconds) {
    std::map<std::string, double> out;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(tid + QStringLiteral("/schedstat")));
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!stat.open(QIODevice::ReadOnly) || !comm.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const double seconds = stat.readAll().split(' ').value(0).toDouble(&ok) * 1e-9;
        if (!ok)
            continue;
        out[comm.readAll().trimmed().toStdString() + "/" + tid.toStdString()] = seconds;
        if (tid.toInt() == pid)
            mainSeconds = seconds;
    }
    return out;
}

Run play(Recorder &recorder, const std::vector<std::string> &args, double maxSeconds) {
    Run run;
    recorder.startRecording();
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = tambolin::bench::spawnQuiet(args);
    if (pid < 0)
        return run;
    rusage usage{};
    int status = 0;
    // The main thread's CPU while playing: from 2 s in (start-up done) to
    // the last reading before the player exits.
    std::optional<std::pair<double, double>> mainFrom, mainTo; // (wall, cpu) seconds
    std::map<std::string, double> threads; // a thread that ended keeps its last reading
    for (;;) {
        recorder.connectPlayers();
        double mainNow = -1;
        const std::map<std::string, double> now = threadCpu(pid, mainNow);
        for (const auto &[name, seconds] : now)
            threads[name] = seconds;
        const double at =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (mainNow >= 0 && at >= 2.0) {
            if (!mainFrom)
                mainFrom = std::make_pair(at, mainNow);
            mainTo = std::make_pair(at, mainNow);
        }
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() - start > std::chrono::duration<double>(maxSeconds)) {
            kill(pid, SIGTERM);
            wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(50ms);
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::this_thread::sleep_for(100ms);
    recorder.stopRecording();
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.cpuPct = 100.0 * cpu / wall;
    if (mainFrom && mainTo && mainTo->first > mainFrom->first)
        run.mainPct =
            100.0 * (mainTo->second - mainFrom->second) / (mainTo->first - mainFrom->first);
    for (const auto &[name, seconds] : threads)
        run.threadPct[name] = 100.0 * seconds / wall;

    const std::vector<float> x = recorder.samples();
    const std::vector<Period> periods = recorder.periods();
    float peak = 0;
    for (float v : x)
        peak = std::max(peak, std::fabs(v));
    if (peak <= 0)
        return run;
    // An onset: above a twentieth of the peak after 30 ms below it.
    const float threshold = peak / 20;
    const std::size_t quiet = rate * 30 / 1000;
    std::size_t lastLoud = 0;
    bool any = false;
    std::size_t p = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) < threshold)
            continue;
        if (!any || i - lastLoud > quiet) {
            while (p + 1 < periods.size() && periods[p + 1].index <= i)
                ++p;
            run.onsetUs.push_back(double(periods[p].usecs) +
                                  double(i - periods[p].index) * 1e6 / rate);
        }
        any = true;
        lastLoud = i;
    }
    run.ok = true;
    return run;
}

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, std::size_t(q * double(v.size() - 1) + 0.5))];
}

void report(const char *who, const Run &run, const Melody &m, int loops) {
    const std::size_t notes = m.codes.size();
    std::vector<double> offsets;
    const std::size_t expected = notes * std::size_t(loops);
    if (!run.ok || run.onsetUs.size() != expected)
        std::printf("%s: found %zu onsets for %zu notes\n", who, run.onsetUs.size(), expected);
    for (std::size_t i = 0; i < std::min(expected, run.onsetUs.size()); ++i)
        offsets.push_back(run.onsetUs[i] -
                          double(loopStartMs(m, int(i / notes)) + m.dueMs[i % notes]) * 1000.0);
    // The player reads a pass's base time, to the millisecond, when its
    // start tick runs: a tick a little later than the one before it can read
    // past a millisecond boundary and end the pass one tick later than the
    // model above. So each pass is measured from its own start: the model's
    // plus the whole ticks that fit its onsets best. Those starts are
    // counted; what is left is the synthesizer's timing alone.
    int laterStarts = 0;
    long long shiftBefore = 0;
    std::vector<double> firstPass;
    for (std::size_t from = 0; from < offsets.size(); from += notes) {
        const std::size_t to = std::min(offsets.size(), from + notes);
        std::vector<double> pass(offsets.begin() + long(from), offsets.begin() + long(to));
        std::sort(pass.begin(), pass.end());
        if (from == 0) {
            firstPass = pass;
            continue;
        }
        const double drift = pass[pass.size() / 2] - firstPass[firstPass.size() / 2];
        const long long shift = std::max(0LL, std::llround(drift / 10000.0));
        if (shift > shiftBefore)
            ++laterStarts;
        shiftBefore = shift;
        for (std::size_t i = from; i < to; ++i)
            offsets[i] -= double(shift) * 10000.0;
    }
    if (loops > 1)
        std::printf("%s: passes %d, started a tick after the modelled tick: %d\n", who, loops,
                    laterStarts);
    for (const auto &[name, pct] : run.threadPct)
        std::printf("%s: thread %s cpu_pct %.2f\n", who, name.c_str(), pct);
    if (offsets.empty())
        return;
    const double least = *std::min_element(offsets.begin(), offsets.end());
    std::vector<double> errors;
    for (double o : offsets)
        errors.push_back((o - least) / 1000.0);
    const std::size_t fifth = std::max<std::size_t>(1, errors.size() / 5);
    const double first =
        std::accumulate(errors.begin(), errors.begin() + long(fifth), 0.0) / double(fifth);
    const double lastFifth =
        std::accumulate(errors.end() - long(fifth), errors.end(), 0.0) / double(fifth);
    std::printf("%s: onsets %zu median_ms %.2f p99_ms %.2f max_ms %.2f drift_ms %.2f cpu_pct %.2f "
                "main_pct %.2f\n",
                who, errors.size(), percentile(errors, 0.5), percentile(errors, 0.99),
                *std::max_element(errors.begin(), errors.end()), lastFifth - first, run.cpuPct,
                run.mainPct);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    std::string tambolin =
        QDir(QCoreApplication::applicationDirPath()).filePath("tambolin").toStdString();
    int notes = 100;
    int loops = 1;
    double minutes = 0;
    bool withFluid = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--tambolin" && i + 1 < argc)
            tambolin = argv[++i];
        else if (a == "--notes" && i + 1 < argc)
            notes = std::clamp(std::atoi(argv[++i]), 2, 200);
        else if (a == "--loops" && i + 1 < argc)
            loops = std::max(1, std::atoi(argv[++i]));
        else if (a == "--minutes" && i + 1 < argc)
            minutes = std::clamp(std::atof(argv[++i]), 0.0, 600.0);
        else if (a == "--no-fluidsynth")
            withFluid = false;
    }
    QTemporaryDir dir;
    const Melody m = makeMelody(notes);
    if (minutes > 0)
        loops = std::max(1, int(std::ceil(minutes * 60000.0 / double(loopStartMs(m, 1)))));
    const QString tbn = dir.filePath("onsets.tbn"), mid = dir.filePath("onsets.mid");
    std::string json = "{\"title\": \"onsets\", \"tempo\": 0, \"parts\": [[";
    for (std::size_t i = 0; i < m.codes.size(); ++i)
        json += (i ? ", [" : "[") + std::to_string(m.codes[i]) + ", " + std::to_string(pitch) + "]";
    json += "], [], []]}";
    QFile jf(dir.filePath("onsets.json"));
    if (!jf.open(QIODevice::WriteOnly) || jf.write(json.c_str()) < 0)
        return 1;
    jf.close();
    {
        const pid_t b = tambolin::bench::spawnQuiet(
            {tambolin, "build", jf.fileName().toStdString(), "-o", tbn.toStdString()});
        int st = 0;
        if (b < 0 || waitpid(b, &st, 0) != b || st != 0) {
            std::fprintf(stderr, "tambolin build failed\n");
            return 1;
        }
    }
    if (!writeSmf(mid, m, loops))
        return 1;

    // A JACK dummy server of our own; tests that start one take turns with us.
    const int turn = ::open("/tmp/tambolin-test-jack.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (turn >= 0)
        ::flock(turn, LOCK_EX);
    const std::string server = "tambolin-onsets-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    const pid_t jackd = tambolin::bench::spawnQuiet(
        {"jackd", "-n", server, "--no-realtime", "-d", "dummy", "-r", std::to_string(rate)});
    if (jackd < 0) {
        std::fprintf(stderr, "jackd did not start\n");
        return 1;
    }
    const double seconds = double(loopStartMs(m, loops)) / 1000.0 + 10;
    int result = 0;
    {
        Recorder recorder(seconds + 5);
        if (!recorder.open()) {
            std::fprintf(stderr, "no JACK server came up\n");
            result = 1;
        } else {
            std::printf("bare 100 Hz timer loop: main_pct %.2f\n", bareWakeupPct());
            const double withJack = devicesMs(tambolin, 7);
            const std::string server = std::getenv("JACK_DEFAULT_SERVER");
            setenv("JACK_DEFAULT_SERVER", (server + "-none").c_str(), 1);
            const double withoutJack = devicesMs(tambolin, 7);
            setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
            std::printf("devices: median_ms %.1f with the JACK server, %.1f with none\n", withJack,
                        withoutJack);
            if (withFluid && !QStandardPaths::findExecutable("fluidsynth").isEmpty()) {
                std::vector<std::string> args{
                    "fluidsynth", "-a", "jack", "-j", "-i", "-q", "-n", "-r", std::to_string(rate)};
                const char *sf = std::getenv("TAMBOLIN_SOUNDFONT");
                args.push_back(sf && *sf ? sf : "/usr/share/sounds/sf2/TimGM6mb.sf2");
                args.push_back(mid.toStdString());
                report("fluidsynth", play(recorder, args, seconds), m, loops);
            }
            const Run ours = play(recorder,
                                  {tambolin, "play", tbn.toStdString(), "--program",
                                   std::to_string(program), "--loops", std::to_string(loops)},
                                  seconds);
            report("tambolin", ours, m, loops);
        }
    }
    kill(jackd, SIGTERM);
    waitpid(jackd, nullptr, 0);
    return result;
}
