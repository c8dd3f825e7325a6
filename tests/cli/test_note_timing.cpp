// `export` and `render` place notes at their due times by default and on the
// ticks that sent them with --timing tick.

#include "support/temp_files.h"
#include "tool_run.h"

#include <QFile>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace tambolin::testing;

namespace {

// The channel messages of a one-track file of 1 ms ticks: (time, status | key << 8).
std::vector<std::pair<long, unsigned>> channelEvents(const QString &path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray d = f.readAll();
    std::vector<std::pair<long, unsigned>> out;
    int i = 22; // header chunk, then "MTrk" and its length
    long t = 0;
    auto byte = [&](int k) { return static_cast<unsigned char>(d.at(k)); };
    while (i < d.size()) {
        long delta = 0;
        unsigned char b = 0;
        do {
            b = byte(i++);
            delta = delta << 7 | (b & 0x7F);
        } while (b & 0x80);
        t += delta;
        const unsigned char status = byte(i);
        if (status == 0xFF) {
            i += 3 + byte(i + 2);
            continue;
        }
        const int length = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
        out.emplace_back(t, status | byte(i + 1) << 8);
        i += length;
    }
    return out;
}

TEST(NoteTiming, ExportWritesDueTimesOrTicksAsAsked) {
    TempFolder dir;
    int made = 0;
    // Tempo 0: quarters of 396 ms, a dotted eighth of 297 ms in part 2.
    const QString file = buildMelody(
        dir, R"({"title": "t", "tempo": 0, "parts": [[[2, 0], [2, 4]], [[13, 7]], []]})", made);
    const QString due = dir.path("due.mid"), tick = dir.path("tick.mid");
    ASSERT_EQ(runTool({"export", file, "-o", due, "--timing", "due"}).status, 0);
    ASSERT_EQ(runTool({"export", file, "-o", tick, "--timing", "tick"}).status, 0);
    const std::vector<std::pair<long, unsigned>> expectDue{
        {0, 0xC0},     {0, 0x3090},   {0, 0x3790},  {297, 0x3780},
        {396, 0x3080}, {396, 0x3490}, {792, 0x3480}};
    const std::vector<std::pair<long, unsigned>> expectTick{
        {0, 0xC0},     {10, 0x3090},  {10, 0x3790}, {300, 0x3780},
        {400, 0x3080}, {400, 0x3490}, {800, 0x3480}};
    EXPECT_EQ(channelEvents(due), expectDue);
    EXPECT_EQ(channelEvents(tick), expectTick);
    const ToolRun bad = runTool({"export", file, "-o", tick, "--timing", "grid"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains("--timing")) << bad.err.toStdString();
}

} // namespace
