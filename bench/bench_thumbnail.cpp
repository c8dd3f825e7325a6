// Thumbnails of the example melodies at 256 pixels, as a file manager asks
// for them: drawn in this process (read, lay out, draw, encode, write), and
// one process per picture as a file manager runs them: through the tool and
// through the thumbnailer entry's own program. A folder of a thousand
// melodies wants 50 a second.

#include "melody/melody_reader.h"
#include "melody/mod_tambolin.h"
#include "platform/registry/registry_files.h"
#include "roll/roll_files.h"
#include "roll/roll_painter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace tambolin;

namespace {

constexpr int Size = 256;

// CPU seconds used so far by the children this process has waited for.
double childCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

const QStringList &examples() {
    static const QStringList files = {
        QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/sakura.tbn"),
        QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/trio.tbn"),
        QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/triplets.tbn"),
    };
    return files;
}

void BM_ThumbnailInProcess(benchmark::State &state) {
    QTemporaryDir dir;
    const QString out = dir.path() + QStringLiteral("/t.png");
    qsizetype next = 0;
    for (auto _ : state) {
        QString file = examples()[next++ % examples().size()];
        MOD_TAMBOLIN &m = mod();
        m.initialiseStore();
        FileLoad(file);
        const roll::RollPainter painter(roll::rollFromStore(m), roll::RollLook::thumbnail(Size));
        if (!writeFileAtomically(out, roll::rollPng(painter, QSize(Size, Size)))) {
            state.SkipWithError("cannot write the thumbnail");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ThumbnailInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// One process per picture: program with these arguments before FILE OUT -s SIZE.
void runPerPicture(benchmark::State &state, const QString &program, const QStringList &first,
                   int size) {
    QTemporaryDir dir;
    const QString tool = QCoreApplication::applicationDirPath() + QLatin1Char('/') + program;
    const QString out = dir.path() + QStringLiteral("/t.png");
    qsizetype next = 0;
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(tool, first + QStringList{examples()[next++ % examples().size()], out,
                                                QStringLiteral("-s"), QString::number(size)});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            state.SkipWithError("the program did not make the thumbnail");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    // What one core does, whatever else the machine is busy with: the
    // program's own processor time for each picture.
    const double cpu = childCpuSeconds() - cpuBefore;
    if (cpu > 0)
        state.counters["per_cpu_second"] = static_cast<double>(state.iterations()) / cpu;
}

// `tambolin thumbnail`: the whole tool, with the control library.
void BM_ThumbnailTool(benchmark::State &state) {
    runPerPicture(state, QStringLiteral("tambolin"), {QStringLiteral("thumbnail")}, Size);
}
BENCHMARK(BM_ThumbnailTool)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// `tambolin-thumbnail`, what the thumbnailer entry runs, at the size given:
// from 128 pixels up the title needs fonts and so a GUI platform.
void BM_Thumbnailer(benchmark::State &state) {
    runPerPicture(state, QStringLiteral("tambolin-thumbnail"), {},
                  static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Thumbnailer)
    ->Arg(Size)
    ->Arg(64)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    // Fonts need a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
