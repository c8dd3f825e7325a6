// Inputs built to cost time: a melody file of nothing but ties against one of
// notes, profile lookups in a long file, and a substitution that would grow
// without end. Each should cost in proportion to its input.

#include "melody/melody_reader.h"
#include "melody/mod_tambolin.h"
#include "platform/registry/private_profile.h"
#include "util/cl_gl010c.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tambolin;

namespace {

// A part header, then `pair` repeated to fill size bytes, then the part end.
QString melodyOf(const QTemporaryDir &dir, const char *name, const QByteArray &pair, int size) {
    const QString path = dir.path() + u'/' + QString::fromLatin1(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(QByteArray("T\x1B$D!#", 6));
        f.write(pair.repeated(size / 2));
        f.write("\x0F");
    }
    return path;
}

void loadMelody(benchmark::State &state, const QByteArray &pair) {
    QTemporaryDir dir;
    QString path = melodyOf(dir, "m.tbn", pair, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        mod().initialiseStore();
        FileLoad(path);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_LoadTies(benchmark::State &state) {
    loadMelody(state, "7\"");
}
BENCHMARK(BM_LoadTies)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_LoadNotes(benchmark::State &state) {
    loadMelody(state, "78");
}
BENCHMARK(BM_LoadNotes)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_IniLookupLastOfManyLines(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/big.ini");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write("[s]\n");
        for (int i = 0; i < state.range(0); ++i)
            f.write("k" + QByteArray::number(i) + '=' + QByteArray::number(i) + '\n');
        f.close();
    }
    const QByteArray file = QFile::encodeName(path);
    const QByteArray key = "k" + QByteArray::number(state.range(0) - 1);
    char out[64];
    for (auto _ : state)
        GetPrivateProfileStringA("s", key.constData(), "", out, sizeof out, file.constData());
}
BENCHMARK(BM_IniLookupLastOfManyLines)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_StrSubstRunaway(benchmark::State &state) {
    CL_GL010C gl;
    for (auto _ : state) {
        QString buf = QString(40, u'a') + u'b';
        QString from = QStringLiteral("ab");
        QString to = QStringLiteral("bba");
        benchmark::DoNotOptimize(gl.RVN_StrSubst(buf, from, to));
    }
}
BENCHMARK(BM_StrSubstRunaway)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
