// `tambolin trace`: the player's messages on the virtual clock, and the
// refusals of bad input.

#include "control/module_utility.h"
#include "melody/mod_tambolin.h"
#include "platform/registry/registry.h"
#include "support/temp_files.h"
#include "tool_run.h"
#include "util/cl_gl010c.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

using Event = std::pair<long long, unsigned>; // ms, message word

std::vector<Event> events(const QString &traceOutput) {
    std::vector<Event> out;
    for (const QString &line : traceOutput.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u' ');
        out.push_back({f.value(0).toLongLong(), f.value(1).toUInt(nullptr, 16)});
    }
    return out;
}

constexpr unsigned on(int pitch) {
    return static_cast<unsigned>((pitch + 48) * 256 + 0x790090);
}
constexpr unsigned off(int pitch) {
    return static_cast<unsigned>((pitch + 48) * 256 + 0x100080);
}

class Trace : public ::testing::Test {
protected:
    // A melody file made by the tool from the store's JSON form.
    QString melody(const QByteArray &json) { return buildMelody(m_dir, json, m_made); }
    std::vector<Event> trace(const QStringList &args) {
        const ToolRun r = runTool(QStringList{"trace"} + args);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return events(r.out);
    }
    // Tempo 0, part 1: two quarter notes, pitches 12 and 14.
    QString twoQuarters() {
        return melody(R"({"title": "Two quarters", "tempo": 0, "parts": [[[2, 12], [2, 14]]]})");
    }

    TempFolder m_dir;
    int m_made = 0;
};

TEST_F(Trace, ProgramChangeFirstThenQuarterNotesOnTheirTicks) {
    const QString file = twoQuarters();
    // 400 x 0.99: the second note is due at 396 and the part ends at 792,
    // each heard on the next 10 ms tick; the restart's first note one tick later.
    const std::vector<Event> expected = {
        {0, 0x00C0},    {10, on(12)},  {400, off(12)},  {400, on(14)},
        {800, off(14)}, {810, on(12)}, {1200, off(12)}, {1200, on(14)},
    };
    EXPECT_EQ(trace({file, "--ms", "1500"}), expected);

    const ToolRun r = runTool({"trace", file, "--ms", "10"});
    EXPECT_EQ(r.out, QStringLiteral("0 000000C0\n10 00793C90\n"));
}

TEST_F(Trace, MsEndsAfterTheLastTickAtOrBeforeIt) {
    const QString file = twoQuarters();
    const std::vector<Event> upTo399 = {{0, 0x00C0}, {10, on(12)}};
    EXPECT_EQ(trace({file, "--ms", "399"}), upTo399);
    std::vector<Event> upTo400 = upTo399;
    upTo400.insert(upTo400.end(), {{400, off(12)}, {400, on(14)}});
    EXPECT_EQ(trace({file, "--ms", "400"}), upTo400);
    EXPECT_EQ(trace({file, "--ms", "0"}), (std::vector<Event>{{0, 0x00C0}}));
    // The default run is 20 s: its last note-on at 19610, its note-off at 20000.
    const std::vector<Event> whole = trace({file});
    ASSERT_FALSE(whole.empty());
    EXPECT_EQ(whole.back(), (Event{20000, off(14)}));
}

TEST_F(Trace, StopAtSendsTheNoteOffsAtThatTime) {
    const QString file = twoQuarters();
    EXPECT_EQ(trace({file, "--stop-at", "0"}), (std::vector<Event>{{0, 0x00C0}}));
    EXPECT_EQ(trace({file, "--stop-at", "200", "--ms", "5000"}),
              (std::vector<Event>{{0, 0x00C0}, {10, on(12)}, {200, off(12)}}));
    // The tick at 400 runs completely before the stop at 400.
    EXPECT_EQ(trace({file, "--stop-at", "400"}),
              (std::vector<Event>{
                  {0, 0x00C0}, {10, on(12)}, {400, off(12)}, {400, on(14)}, {400, off(14)}}));
    // A stop after the end of the run never happens.
    EXPECT_EQ(trace({file, "--stop-at", "600", "--ms", "500"}), trace({file, "--ms", "500"}));
}

TEST_F(Trace, ScheduleKeepsTheRoundedSumOfDurations) {
    // Tempo 1. Part 1: dotted eighths of 356.4 ms, so its notes end at
    // 356 x k; summing without rounding at each note would put the fifth end
    // at 1782 and the sixth note on the tick at 1790 instead of 1780.
    // Part 2: triplet quarters of 316.8 ms, ending at 317 x k; cutting the
    // fraction instead of rounding would put the tenth end at 3160, not 3170.
    QByteArray json = R"({"title": "Rounded sums", "tempo": 1, "parts": [[)";
    for (int i = 0; i < 6; ++i)
        json += (i ? ", " : "") + QByteArray("[13, ") + QByteArray::number(i) + "]";
    json += "], [";
    for (int i = 0; i < 12; ++i)
        json += (i ? ", " : "") + QByteArray("[22, ") + QByteArray::number(12 + i) + "]";
    json += "]]}";
    const QString file = melody(json);
    std::vector<long long> part1;
    std::vector<long long> part2;
    for (const Event &e : trace({file, "--ms", "3500"})) {
        if ((e.second & 0xF0) != 0x90)
            continue;
        const int pitch = static_cast<int>((e.second >> 8) & 0xFF) - 48;
        (pitch < 12 ? part1 : part2).push_back(e.first);
    }
    EXPECT_EQ(part1, (std::vector<long long>{10, 360, 720, 1070, 1430, 1780}));
    EXPECT_EQ(part2, (std::vector<long long>{10, 320, 640, 960, 1270, 1590, 1910, 2220, 2540, 2860,
                                             3170, 3490}));
}

TEST_F(Trace, RestsAndPartsOfDifferentLengths) {
    // Part 1: quarter, quarter rest (code 32), quarter; part 2: one half note.
    const QString file =
        melody(R"({"title": "Rest and parts", "tempo": 0, "parts": [[[2, 0], [32, 0], [2, 4]], )"
               R"([[1, 7]], []]})");
    // The rest sends nothing; at 800 part 1 steps before part 2; the melody
    // restarts once the longer part has ended.
    const std::vector<Event> expected = {
        {0, 0x00C0},   {10, on(0)},    {10, on(7)},   {400, off(0)}, {800, on(4)},
        {800, off(7)}, {1190, off(4)}, {1200, on(0)}, {1200, on(7)},
    };
    EXPECT_EQ(trace({file, "--ms", "1200"}), expected);
}

TEST_F(Trace, PlaysOnAcrossMidnight) {
    const QString file = twoQuarters();
    const std::vector<Event> got =
        trace({file, "--start", "2026-01-01 23:59:59.500", "--ms", "2000"});
    // Due times past midnight wrap and come at once; the tick at 500, on
    // which the date changes, examines no timer, and the note due at
    // 00:00:00.762 is heard at 1270.
    bool quietAfterMidnight = true;
    for (const Event &e : got)
        if (e.first > 490 && e.first < 1270)
            quietAfterMidnight = false;
    EXPECT_TRUE(quietAfterMidnight);
    const std::vector<Event> next = {{1270, off(14)}, {1280, on(12)}};
    EXPECT_NE(std::search(got.begin(), got.end(), next.begin(), next.end()), got.end());
    ASSERT_FALSE(got.empty());
    EXPECT_GE(got.back().first, 1670);

    // The start's milliseconds are optional; a midday start is the default.
    EXPECT_EQ(trace({file, "--start", "2026-01-01 12:00:00", "--ms", "900"}),
              trace({file, "--ms", "900"}));
}

TEST_F(Trace, RefusesBadInputWithStatus2) {
    const QString file = twoQuarters();
    ASSERT_TRUE(writeFile(m_dir.path("short.tbn"), QByteArray(13, 'A')));
    const QList<QStringList> bad = {
        {},
        {m_dir.path("missing.tbn")},
        {m_dir.path("short.tbn")},
        {file, file},
        {file, "--ms"},
        {file, "--ms", "-1"},
        {file, "--ms", "ten"},
        {file, "--stop-at", "-5"},
        {file, "--start", "2026-02-30 12:00:00.000"},
        {file, "--start", "12:00:00.000"},
        {file, "--loud"},
        {file, "--ms", "10", "--ms", "20"},
    };
    for (const QStringList &args : bad) {
        const ToolRun r = runTool(QStringList{"trace"} + args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("tambolin trace:")))
            << args.join(u' ').toStdString();
    }
    const ToolRun help = runTool({"trace", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tambolin trace FILE")));
}

TEST_F(Trace, LeavesTheUsersSettingsAlone) {
    // The user has chosen instrument 40; the trace still starts from nothing
    // stored (program 0) and writes nothing back.
    TempFolder home;
    const bool hadHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    Long root = HKEY_LOCAL_MACHINE;
    QString key = QStringLiteral("SOFTWARE\\Tamberlo Player");
    QString name = QStringLiteral("midisource");
    QString value = QStringLiteral("40");
    ASSERT_EQ(gl010c().RVN_RegSet(root, key, name, value), True);

    const ToolRun r = runTool({"trace", twoQuarters(), "--ms", "0"});
    EXPECT_EQ(r.out, QStringLiteral("0 000000C0\n"));
    EXPECT_EQ(gl010c().RVN_RegGet(root, key, name), QStringLiteral("40"));
    name = QStringLiteral("midiport");
    EXPECT_EQ(gl010c().RVN_RegGet(root, key, name), QString());

    if (hadHome)
        qputenv("XDG_CONFIG_HOME", oldHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
