// The player's run in a child process, as `render` takes it: the same outcome
// as the run in the caller's own process, handed over whole or not at all.

#include "cli/run_result_codec.h"
#include "cli/virtual_run_apart.h"
#include "support/temp_files.h"

#include <QDir>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

using namespace tambolin;
using namespace tambolin::cli;
using namespace tambolin::testing;

namespace {

const QString sakura = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/sakura.tbn");

void expectSameRun(const VirtualRunResult &a, const VirtualRunResult &b) {
    EXPECT_EQ(a.endMs, b.endMs);
    EXPECT_EQ(a.melodyEnds, b.melodyEnds);
    EXPECT_EQ(a.stopped, b.stopped);
    ASSERT_EQ(a.messages.size(), b.messages.size());
    for (std::size_t i = 0; i < a.messages.size(); ++i) {
        EXPECT_EQ(a.messages[i].ms, b.messages[i].ms) << "message " << i;
        EXPECT_EQ(a.messages[i].word, b.messages[i].word) << "message " << i;
        EXPECT_EQ(a.messages[i].dueMs, b.messages[i].dueMs) << "message " << i;
    }
}

RunOutcome sampleOutcome() {
    RunOutcome o;
    o.ok = true;
    o.problem = QStringLiteral("ﾒﾛﾃﾞｨ 100%");
    o.result.endMs = 599'000;
    o.result.melodyEnds = 7;
    o.result.stopped = true;
    o.result.messages = {{0, 0xC0, std::nullopt},
                         {10, 0x00794590, 10},
                         {480, 0x00104580, 470},
                         {599'000, 0xFFFFFFFF, std::nullopt}};
    return o;
}

TEST(RunOutcomeBytes, ComeBackAsTheyWentAndRefuseAnythingElse) {
    const RunOutcome sent = sampleOutcome();
    const QByteArray bytes = encodeRunOutcome(sent);
    RunOutcome got;
    ASSERT_TRUE(decodeRunOutcome(bytes, got));
    EXPECT_EQ(got.ok, sent.ok);
    EXPECT_EQ(got.problem, sent.problem);
    expectSameRun(got.result, sent.result);

    // A child that died half way leaves a part; the caller keeps what it had.
    RunOutcome kept;
    kept.problem = QStringLiteral("untouched");
    for (qsizetype n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(decodeRunOutcome(bytes.left(n), kept)) << n << " bytes";
    EXPECT_FALSE(decodeRunOutcome(bytes + '\0', kept));
    EXPECT_EQ(kept.problem, u"untouched");
    EXPECT_TRUE(kept.result.messages.empty());
}

TEST(RunOutcomeBytes, AHugeCountIsRefusedBeforeAnythingIsReserved) {
    RunOutcome empty;
    QByteArray bytes = encodeRunOutcome(empty);
    // The count is the last field of an outcome without messages.
    bytes.chop(8);
    bytes.append(QByteArray::fromHex("00ffffffffffffff"));
    RunOutcome got;
    EXPECT_FALSE(decodeRunOutcome(bytes, got));
}

// A child is started only while this process has one thread; ctest runs
// each test in a process of its own, but a whole run of this binary has
// the threads of the tests before.
bool oneThread() {
    return QDir(QStringLiteral("/proc/self/task"))
               .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
               .size() == 1;
}

TEST(VirtualRunApart, GivesWhatTheRunInThisProcessGives) {
    if (!oneThread())
        GTEST_SKIP() << "other threads run in this process; run this test alone";
    // Played to its end twice, and cut at 30 s while looping.
    const std::vector<VirtualRun> runs = {loopsRun(2, 600'000), loopsRun(40, 30'000)};
    // The children first: a run in this process leaves the control's pooled
    // threads behind, and with them no child is started.
    std::vector<VirtualRunResult> there(runs.size());
    QString problem;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        bool apart = false;
        ASSERT_TRUE(runVirtualApart(sakura, runs[i], there[i], problem, &apart))
            << problem.toStdString();
        EXPECT_TRUE(apart);
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        VirtualRunResult here;
        ASSERT_TRUE(runVirtual(sakura, runs[i], here, problem)) << problem.toStdString();
        EXPECT_FALSE(here.messages.empty());
        EXPECT_EQ(here.stopped, i == 1);
        if (i == 0) {
            EXPECT_EQ(here.melodyEnds, 2);
        }
        expectSameRun(there[i], here);
    }
}

TEST(VirtualRunApart, RunsInAChildWhileThisProcessHasOneThread) {
    if (!oneThread())
        GTEST_SKIP() << "other threads run in this process; run this test alone";
    VirtualRun run = loopsRun(1, 600'000);
    run.program = 40;
    VirtualRunResult there;
    QString problem;
    bool apart = false;
    ASSERT_TRUE(runVirtualApart(sakura, run, there, problem, &apart)) << problem.toStdString();
    EXPECT_TRUE(apart);
    ASSERT_FALSE(there.messages.empty());
    EXPECT_EQ(there.messages.front().word, 0x28C0u); // the program chosen, sent first
    EXPECT_EQ(there.melodyEnds, 1);

    // The child's failure comes back as its message.
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.path("short.tbn"), QByteArray("0123")));
    for (const QString &bad : {dir.path("missing.tbn"), dir.path("short.tbn")}) {
        QString here, away;
        VirtualRunResult a, b;
        apart = false;
        EXPECT_FALSE(runVirtualApart(bad, run, b, away, &apart));
        EXPECT_TRUE(apart);
        EXPECT_FALSE(runVirtual(bad, run, a, here));
        EXPECT_FALSE(here.isEmpty());
        EXPECT_EQ(away, here);
    }
}

TEST(VirtualRunApart, StaysInThisProcessWhenOtherThreadsRun) {
    std::mutex lock;
    std::condition_variable wake;
    bool done = false;
    std::thread other([&] {
        std::unique_lock held(lock);
        wake.wait(held, [&] { return done; });
    });
    VirtualRunResult there;
    QString problem;
    bool apart = true;
    const bool ok = runVirtualApart(sakura, loopsRun(1, 600'000), there, problem, &apart);
    {
        const std::lock_guard held(lock);
        done = true;
    }
    wake.notify_one();
    other.join();
    ASSERT_TRUE(ok) << problem.toStdString();
    EXPECT_FALSE(apart);
    EXPECT_EQ(there.melodyEnds, 1);
}

} // namespace
