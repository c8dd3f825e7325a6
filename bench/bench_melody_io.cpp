// Loading and saving a full melody: three parts of 200 notes each.

#include "melody/melody_reader.h"
#include "melody/melody_writer.h"
#include "melody/mod_tambolin.h"
#include "platform/runtime/message_box.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tambolin;

namespace {

// A varied but valid melody: every length the format holds, octave leaps,
// rests and complete triplet groups.
void fillStore() {
    MOD_TAMBOLIN &m = mod();
    m.initialiseStore();
    m.mtitle = QStringLiteral("ﾍﾞﾝﾁ用の曲");
    m.tempo = 2;
    static const int codes[] = {0, 1, 2, 3, 4, 11, 12, 13, 30, 31, 32, 33, 34, 41, 42, 43};
    for (int part = 1; part <= 3; ++part) {
        for (int n = 1; n <= 200; ++n) {
            int code = codes[(n * 7 + part) % 16];
            if (n % 20 >= 1 && n % 20 <= 3)
                code = 22; // a triplet group
            m.onpary(n, part) = static_cast<Integer>(code);
            m.kaiary(n, part) = static_cast<Integer>(code >= 30 ? 0 : (n * 5 + part * 3) % 36);
        }
        m.onpcnt(part) = 200;
    }
}

void BM_FileSave(benchmark::State &state) {
    QTemporaryDir dir;
    MessageBoxRecorder boxes;
    fillStore();
    QString file = dir.path() + QStringLiteral("/bench.tbn");
    for (auto _ : state)
        FileSave(file);
    state.SetItemsProcessed(state.iterations() * 600);
}
BENCHMARK(BM_FileSave)->Unit(benchmark::kMicrosecond);

void BM_FileLoad(benchmark::State &state) {
    QTemporaryDir dir;
    MessageBoxRecorder boxes;
    fillStore();
    QString file = dir.path() + QStringLiteral("/bench.tbn");
    FileSave(file);
    MOD_TAMBOLIN &m = mod();
    for (auto _ : state) {
        for (int part = 1; part <= 3; ++part)
            m.onpcnt(part) = 0;
        FileLoad(file);
    }
    if (m.onpcnt(1) != 200 || m.onpcnt(2) != 200 || m.onpcnt(3) != 200)
        state.SkipWithError("the saved melody did not read back whole");
    state.SetItemsProcessed(state.iterations() * 600);
}
BENCHMARK(BM_FileLoad)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
