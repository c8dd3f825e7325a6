// The pieces of the command line on their own: the option reader, the
// status line, and play's status on a virtual clock.

#include "cli/options.h"
#include "cli/play_status.h"
#include "cli/status_line.h"
#include "platform/clock/virtual_clock.h"

#include <QDateTime>
#include <cstdio>
#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::cli;

namespace {

const std::vector<KnownOption> known = {{{"-o", "--output"}}, {{"--loops"}}, {{"--as-is"}, false}};

TEST(OptionReader, TakesOptionsFilesAndFlagsInAnyOrder) {
    Options o;
    QString problem;
    ASSERT_TRUE(o.read({"a", "-o", "x", "b", "--as-is", "--loops=3", "-"}, known, problem))
        << problem.toStdString();
    EXPECT_EQ(o.files(), QStringList({"a", "b", "-"}));
    EXPECT_EQ(o.value("-o"), QString("x"));
    EXPECT_EQ(o.value("--loops"), QString("3"));
    EXPECT_TRUE(o.flag("--as-is"));
    EXPECT_FALSE(o.value("--as-is"));

    // "--" ends the options: what follows is a file, even "--help".
    ASSERT_TRUE(o.read({"--output", "y", "--", "--help", "-o"}, known, problem));
    EXPECT_EQ(o.files(), QStringList({"--help", "-o"}));
    EXPECT_EQ(o.value("-o"), QString("y"));
    EXPECT_FALSE(o.flag("--as-is"));
    // A value may itself look like an option or be empty.
    ASSERT_TRUE(o.read({"-o", "--loops", "--loops="}, known, problem));
    EXPECT_EQ(o.value("-o"), QString("--loops"));
    EXPECT_EQ(o.value("--loops"), QString(""));
}

TEST(OptionReader, RefusesWhatItCannotRead) {
    Options o;
    QString problem;
    EXPECT_FALSE(o.read({"a", "--bogus=1"}, known, problem));
    EXPECT_TRUE(o.unknownOption());
    EXPECT_EQ(problem, QString("unknown option --bogus"));
    EXPECT_FALSE(o.read({"-x"}, known, problem));
    EXPECT_EQ(problem, QString("unknown option -x"));

    const QList<QStringList> bad = {
        {"-o"}, {"-o", "a", "--output", "b"}, {"--as-is=1"}, {"--as-is", "--as-is"}};
    for (const QStringList &args : bad) {
        problem.clear();
        EXPECT_FALSE(o.read(args, known, problem)) << args.join(' ').toStdString();
        EXPECT_FALSE(o.unknownOption());
        EXPECT_FALSE(o.helpAsked());
        EXPECT_FALSE(problem.isEmpty());
    }
    // Help is asked for, not a problem, wherever it stands before "--".
    for (const QStringList &args : QList<QStringList>{{"--help"}, {"a", "--bogus", "-h"}}) {
        problem.clear();
        EXPECT_FALSE(o.read(args, known, problem));
        EXPECT_EQ(o.helpAsked(), args.size() == 1) << args.join(' ').toStdString();
    }
    // parse() wants one FILE.
    EXPECT_FALSE(o.parse({"a", "b"}, {}, problem));
    EXPECT_EQ(problem, QString("unexpected argument 'b': give one FILE"));
    EXPECT_FALSE(o.parse({}, {}, problem));
    EXPECT_EQ(problem, QString("no FILE given"));
}

// What a StatusLine wrote, read back from its stream.
QByteArray written(std::FILE *f) {
    std::fflush(f);
    QByteArray out(static_cast<qsizetype>(std::ftell(f)), '\0');
    std::rewind(f);
    const std::size_t n = std::fread(out.data(), 1, static_cast<std::size_t>(out.size()), f);
    out.resize(static_cast<qsizetype>(n));
    return out;
}

TEST(StatusLineOutput, RewritesOneLineCutToTheWidthAndEndsIt) {
    std::FILE *f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        StatusLine line(f, true, 10);
        line.show("abc");
        line.show("0123456789ABC");
    }
    EXPECT_EQ(written(f), QByteArray("\rabc\x1b[K\r012345678\x1b[K\n"));
    std::fclose(f);

    // Off a terminal it writes nothing at all.
    f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        StatusLine line(f, false, 80);
        line.show("abc");
        line.clear();
    }
    EXPECT_TRUE(written(f).isEmpty());
    std::fclose(f);
}

TEST(StatusLineOutput, WideCharactersTakeTwoColumns) {
    EXPECT_EQ(fitColumns(QString::fromUtf8("夜桜の歌"), 5), QString::fromUtf8("夜桜"));
    // Half-width katakana take one.
    EXPECT_EQ(fitColumns(QString::fromUtf8("ｻｸﾗｻｸﾗ"), 5), QString::fromUtf8("ｻｸﾗｻｸ"));
    // A character outside the basic plane is never cut in half.
    const QString emoji = QString::fromUtf8("a\U0001F3B5b");
    EXPECT_EQ(fitColumns(emoji, 2), QString("a"));
    EXPECT_EQ(fitColumns(emoji, 3), QString::fromUtf8("a\U0001F3B5"));
    EXPECT_EQ(fitColumns("abc", 0), QString());
}

TEST(PlayStatusText, ShowsTitleTimesAndLoops) {
    EXPECT_EQ(playStatusText("Song", 3'400, 72'000, 2, 0), QString("Song  0:03 / 1:12  loop 2"));
    EXPECT_EQ(playStatusText("Song", 80'000, 72'000, 3, 5),
              QString("Song  1:12 / 1:12  loop 3 of 5"));
    EXPECT_EQ(playStatusText("", -5, 0, 1, 1), QString("  0:00 / 0:00  loop 1 of 1"));
}

class PlayStatusClock : public ::testing::Test {
protected:
    VirtualClock clock{QDateTime(QDate(2026, 3, 1), QTime(23, 59, 58))};
    ScopedClock installed{clock};
    QStringList lines;
};

TEST_F(PlayStatusClock, FollowsTheLoopOnTheClockAFewTimesASecond) {
    PlayStatus status("Tune", 2'500, 0, [this](const QString &t) { lines += t; });
    clock.advance(5'000); // nothing before play
    EXPECT_TRUE(lines.isEmpty());
    status.start();
    ASSERT_EQ(lines, QStringList({"Tune  0:00 / 0:02  loop 1"}));
    // Ticks every quarter second, but only a changed line is written; the
    // clock crosses midnight on the way.
    clock.advance(999);
    EXPECT_EQ(lines.size(), 1);
    clock.advance(1);
    EXPECT_EQ(lines.last(), QString("Tune  0:01 / 0:02  loop 1"));
    clock.advance(1'500);
    EXPECT_EQ(lines.last(), QString("Tune  0:02 / 0:02  loop 1"));
    EXPECT_EQ(lines.size(), 3);
    status.loopEnded();
    EXPECT_EQ(lines.last(), QString("Tune  0:00 / 0:02  loop 2"));
    // The next tick is at most a refresh away: never a busy wakeup.
    EXPECT_EQ(clock.nextTickIn(), std::optional<std::int64_t>(PlayStatus::RefreshMs));
    clock.advance(1'100);
    EXPECT_EQ(lines.last(), QString("Tune  0:01 / 0:02  loop 2"));
    status.stop();
    EXPECT_FALSE(clock.nextTickIn());
}

TEST_F(PlayStatusClock, StopsCountingAfterItsLastLoop) {
    PlayStatus status("Tune", 1'000, 2, [this](const QString &t) { lines += t; });
    status.loopEnded(); // not playing yet: nothing
    EXPECT_TRUE(lines.isEmpty());
    status.start();
    clock.advance(1'000);
    status.loopEnded();
    EXPECT_EQ(lines.last(), QString("Tune  0:00 / 0:01  loop 2 of 2"));
    clock.advance(1'000);
    status.loopEnded();
    EXPECT_EQ(lines.last(), QString("Tune  0:01 / 0:01  loop 2 of 2"));
    EXPECT_FALSE(clock.nextTickIn());
}

} // namespace
