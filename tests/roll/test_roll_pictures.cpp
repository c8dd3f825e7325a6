// `tambolin show` and `tambolin thumbnail` judged from their pictures: each
// bar where and when its note sounds, worked out from the melody's tempo.

#include "cli/tool_run.h"
#include "roll/roll_painter.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace tambolin::roll;
using namespace tambolin::testing;

namespace {

struct Span {
    int begin; // first pixel
    int end;   // one past the last
};

std::vector<Span> runsInRow(const QImage &image, int y, QRgb colour) {
    std::vector<Span> runs;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != colour)
            continue;
        if (!runs.empty() && runs.back().end == x)
            runs.back().end = x + 1;
        else
            runs.push_back({x, x + 1});
    }
    return runs;
}

std::vector<Span> runsInColumn(const QImage &image, int x, QRgb colour) {
    std::vector<Span> runs;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(x, y) != colour)
            continue;
        if (!runs.empty() && runs.back().end == y)
            runs.back().end = y + 1;
        else
            runs.push_back({y, y + 1});
    }
    return runs;
}

QRgb colourOf(int part) {
    return RollPainter::partColour(part).rgb();
}

// The plot of a picture: where the roll goes is the layout's business; what
// lands where inside it is what these tests check.
QRect plotOf(const QSize &size, const RollLook &look) {
    return RollPainter(RollModel{}, look).layout(size).plot;
}

// The reasoned place of a moment and of a pitch row in a plot.
struct Expect {
    QRect plot;
    double spanMs;
    int low;
    int high;

    double x(double ms) const { return plot.left() + ms * plot.width() / spanMs; }
    double top(int pitch) const {
        return plot.top() + double(high - pitch) * plot.height() / (high - low + 1);
    }
    double bottom(int pitch) const { return top(pitch - 1); }
    int middleRow(int pitch) const { return int((top(pitch) + bottom(pitch)) / 2); }
};

struct Bar {
    int part;
    double startMs;
    double endMs;
    int pitch;
};

// Every bar at its time and pitch in its part's colour, and nothing else of
// that colour in its row.
void expectBars(const QImage &image, const Expect &e, const std::vector<Bar> &bars) {
    for (const Bar &b : bars) {
        SCOPED_TRACE(::testing::Message() << "part " << b.part << ", " << b.startMs << ".."
                                          << b.endMs << " ms, pitch " << b.pitch);
        const int y = e.middleRow(b.pitch);
        const std::vector<Span> row = runsInRow(image, y, colourOf(b.part));
        int sameRow = 0;
        for (const Bar &other : bars)
            sameRow += other.part == b.part && other.pitch == b.pitch;
        EXPECT_EQ(static_cast<int>(row.size()), sameRow);
        const double left = e.x(b.startMs);
        const double right = e.x(b.endMs);
        const int middle = int((left + right) / 2);
        const auto found = std::find_if(row.begin(), row.end(), [&](const Span &r) {
            return r.begin <= middle && middle < r.end;
        });
        ASSERT_NE(found, row.end()) << "no bar at x " << middle;
        // Bars stop a pixel short of their end (and of their row's bottom) where
        // there is room, so that neighbouring notes stay apart.
        EXPECT_NEAR(found->begin, left, 1.0);
        EXPECT_NEAR(found->end, right - (right - left >= 3 ? 1 : 0), 1.0);
        const std::vector<Span> column = runsInColumn(image, middle, colourOf(b.part));
        const auto across = std::find_if(column.begin(), column.end(),
                                         [&](const Span &r) { return r.begin <= y && y < r.end; });
        ASSERT_NE(across, column.end());
        const double top = e.top(b.pitch);
        const double bottom = e.bottom(b.pitch);
        EXPECT_NEAR(across->begin, top, 1.0);
        EXPECT_NEAR(across->end, bottom - (bottom - top >= 4 ? 1 : 0), 1.0);
    }
}

QImage show(const QString &melody, const QString &out, const QStringList &more = {}) {
    const ToolRun r =
        runTool(QStringList{QStringLiteral("show"), melody, QStringLiteral("-o"), out} + more);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("tambolin"))) << r.err.toStdString();
    return QImage(out);
}

// Tempo 0: quarter 396 ms, half 792, whole 1584, dotted quarter 594, eighth
// 198, triplet quarter (800 \ 3) x 0.99 = 263.34, the running total rounded.
const QByteArray ThreeParts = R"({"title": "ロール", "tempo": 0, "parts": [
    [[2, 0], [32, 0], [12, 23], [3, 5]],
    [[1, 12], [22, 7], [22, 7], [22, 7]],
    [[0, 17]]]})";

const std::vector<Bar> ThreePartBars = {
    {1, 0, 396, 0},    {1, 792, 1386, 23}, {1, 1386, 1584, 5}, {2, 0, 792, 12},
    {2, 792, 1055, 7}, {2, 1055, 1318, 7}, {2, 1318, 1581, 7}, {3, 0, 1584, 17},
};

} // namespace

TEST(RollPictures, BarsMatchTheirTimesPitchesAndParts) {
    TempFolder dir;
    int made = 0;
    const QString melody = buildMelody(dir, ThreeParts, made);
    const QImage image = show(melody, dir.path(QStringLiteral("roll.png")));
    ASSERT_EQ(image.size(), QSize(1000, 400));
    const Expect e{plotOf(image.size(), RollLook::picture(image.size())), 1584, 0, 23};
    expectBars(image, e, ThreePartBars);

    // The quarter rest of part 1 (396..792 ms) leaves its time empty of part 1.
    const int restMiddle = int(e.x(594));
    EXPECT_TRUE(runsInColumn(image, restMiddle, colourOf(1)).empty());

    // Another size maps the same times to other pixels.
    const QImage wide = show(melody, dir.path(QStringLiteral("wide.png")),
                             {QStringLiteral("--width"), QStringLiteral("1700"),
                              QStringLiteral("--height"), QStringLiteral("300")});
    ASSERT_EQ(wide.size(), QSize(1700, 300));
    expectBars(wide, {plotOf(wide.size(), RollLook::picture(wide.size())), 1584, 0, 23},
               ThreePartBars);
}

TEST(RollPictures, TiedNotesDrawOneBarRepeatedNotesTwo) {
    TempFolder dir;
    // Part 1: pitch 12 half, tie, half: one whole note. Part 2: pitch 13 half,
    // half, untied. Tempo 0 in both; the range 12..13 widens to 7..18.
    const QByteArray file = QByteArray("TieTest") + bytes({27, 36, 68, 33, 40, 55, 34, 55, 15}) +
                            bytes({27, 36, 68, 33, 40, 59, 59, 15});
    const QString melody = dir.path(QStringLiteral("tie.tbn"));
    ASSERT_TRUE(writeFile(melody, file));
    const QImage image = show(melody, dir.path(QStringLiteral("tie.png")));
    const Expect e{plotOf(image.size(), RollLook::picture(image.size())), 1584, 7, 18};
    expectBars(image, e, {{1, 0, 1584, 12}, {2, 0, 792, 13}, {2, 792, 1584, 13}});
}

TEST(RollPictures, LongMelodiesAreScaledNotCut) {
    // Three parts of 200 whole notes at tempo 3: 200 x 2534 ms, over eight minutes.
    QByteArray json = R"({"title": "long", "tempo": 3, "parts": [)";
    for (int part = 1; part <= 3; ++part) {
        json += '[';
        for (int n = 0; n < 200; ++n)
            json +=
                QByteArray(n ? ", " : "") + "[0, " + QByteArray::number((n + part * 5) % 24) + ']';
        json += part < 3 ? "], " : "]";
    }
    json += "]}";
    TempFolder dir;
    int made = 0;
    const QImage image = show(buildMelody(dir, json, made), dir.path(QStringLiteral("long.png")));
    const Expect e{plotOf(image.size(), RollLook::picture(image.size())), 506800, 0, 23};
    // The first and the last note of every part.
    std::vector<Bar> ends;
    for (int part = 1; part <= 3; ++part) {
        ends.push_back({part, 0, 2534, (part * 5) % 24});
        ends.push_back({part, 199 * 2534, 506800, (199 + part * 5) % 24});
    }
    for (const Bar &b : ends) {
        SCOPED_TRACE(::testing::Message() << "part " << b.part << " at " << b.startMs);
        const std::vector<Span> row = runsInRow(image, e.middleRow(b.pitch), colourOf(b.part));
        const int middle = int((e.x(b.startMs) + e.x(b.endMs)) / 2);
        const auto found = std::find_if(row.begin(), row.end(), [&](const Span &r) {
            return r.begin <= middle && middle < r.end;
        });
        ASSERT_NE(found, row.end());
        EXPECT_NEAR(found->begin, e.x(b.startMs), 1.0);
        EXPECT_NEAR(found->end, e.x(b.endMs) - 1, 1.0);
    }
    EXPECT_LE(e.x(506800), image.width());
}

TEST(RollPictures, SameInputSamePicture) {
    TempFolder dir;
    int made = 0;
    const QString melody = buildMelody(dir, ThreeParts, made);
    for (const char *kind : {"png", "svg"}) {
        const QString a = dir.path(QStringLiteral("a.") + QLatin1String(kind));
        const QString b = dir.path(QStringLiteral("b.") + QLatin1String(kind));
        EXPECT_EQ(runTool({QStringLiteral("show"), melody, QStringLiteral("-o"), a}).status, 0);
        EXPECT_EQ(runTool({QStringLiteral("show"), melody, QStringLiteral("-o"), b}).status, 0);
        const QByteArray first = readFile(a);
        EXPECT_FALSE(first.isEmpty());
        EXPECT_EQ(first, readFile(b)) << kind;
    }
    // The SVG is the same picture: its size, the title and one rectangle per bar.
    const QString svg = QString::fromUtf8(readFile(dir.path(QStringLiteral("a.svg"))));
    EXPECT_TRUE(svg.contains(QStringLiteral("width=\"1000")));
    EXPECT_TRUE(svg.contains(QStringLiteral("ロール")));
}

TEST(RollPictures, ThumbnailsFillTheSquareWithTextOnlyWhenLarge) {
    TempFolder dir;
    int made = 0;
    const QString melody = buildMelody(dir, ThreeParts, made);
    for (int size : {64, 127, 128, 256, 512}) {
        SCOPED_TRACE(size);
        const QString out = dir.path(QStringLiteral("t%1.png").arg(size));
        const ToolRun r = runTool({QStringLiteral("thumbnail"), melody, out, QStringLiteral("-s"),
                                   QString::number(size)});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QImage image(out);
        ASSERT_EQ(image.size(), QSize(size, size));
        const RollLook look = RollLook::thumbnail(size);
        const QRect plot = plotOf(image.size(), look);
        // The roll fills the square but for a thin margin and, when large, the title.
        EXPECT_LE(plot.left(), size / 16);
        EXPECT_GE(plot.width(), size - size / 8);
        EXPECT_GE(plot.height(), size * 3 / 4);
        expectBars(image, {plot, 1584, 0, 23}, ThreePartBars);

        int inked = 0; // dark pixels outside the roll: only the title's
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (!plot.contains(x, y) && qGray(image.pixel(x, y)) < 128)
                    ++inked;
        if (size < 128) {
            EXPECT_EQ(inked, 0);
        } else {
            EXPECT_GT(inked, size / 8);
        }
    }
}

TEST(RollPictures, NoMelodyNoPicture) {
    TempFolder dir;
    struct Case {
        const char *name;
        QByteArray content;
    };
    QByteArray big((1 << 20) + 1, 'A'); // one byte over the largest melody file taken
    big.replace(0, 3, bytes({27, 36, 68}));
    const std::vector<Case> cases = {
        {"short.tbn", QByteArray("13 bytes long")},
        {"title.tbn", QByteArray("Only a title, no parts")},
        {"rests.tbn", QByteArray("Rests") + bytes({27, 36, 68, 35, 36, 37, 38, 15})},
        {"empty-parts.tbn", QByteArray("Nothing") + bytes({27, 36, 68, 15, 27, 36, 68, 15})},
        {"big.tbn", big},
    };
    QStringList inputs = {dir.path(QStringLiteral("missing.tbn")), dir.path()};
    for (const Case &c : cases) {
        const QString path = dir.path(QString::fromLatin1(c.name));
        ASSERT_TRUE(writeFile(path, c.content));
        inputs += path;
    }
    for (const QString &input : inputs) {
        SCOPED_TRACE(input.toStdString());
        const QString png = dir.path(QStringLiteral("out.png"));
        const QString svg = dir.path(QStringLiteral("out.svg"));
        ToolRun r = runTool(
            {QStringLiteral("thumbnail"), input, png, QStringLiteral("-s"), QStringLiteral("128")});
        EXPECT_EQ(r.status, 2);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFile::exists(png));
        r = runTool({QStringLiteral("show"), input, QStringLiteral("-o"), svg});
        EXPECT_EQ(r.status, 2);
        EXPECT_FALSE(QFile::exists(svg));
    }
}

TEST(RollPictures, BadArgumentsAndUnwritableOutputs) {
    TempFolder dir;
    int made = 0;
    const QString melody = buildMelody(dir, ThreeParts, made);
    const QString out = dir.path(QStringLiteral("out.png"));
    const QString s = QStringLiteral("-s");
    const std::vector<QStringList> usage = {
        {QStringLiteral("thumbnail"), melody, out},
        {QStringLiteral("thumbnail"), melody, out, s, QStringLiteral("15")},
        {QStringLiteral("thumbnail"), melody, out, s, QStringLiteral("2049")},
        {QStringLiteral("thumbnail"), melody, out, s, QStringLiteral("big")},
        {QStringLiteral("thumbnail"), melody, out, s, QStringLiteral("64"), s,
         QStringLiteral("64")},
        {QStringLiteral("thumbnail"), melody, s, QStringLiteral("64")},
        {QStringLiteral("thumbnail"), melody, out, out, s, QStringLiteral("64")},
        {QStringLiteral("show"), melody},
        {QStringLiteral("show"), melody, QStringLiteral("-o"), dir.path(QStringLiteral("out.jpg"))},
        {QStringLiteral("show"), melody, QStringLiteral("-o"), out, QStringLiteral("--width"),
         QStringLiteral("159")},
        {QStringLiteral("show"), melody, QStringLiteral("-o"), out, QStringLiteral("--height"),
         QStringLiteral("4097")},
    };
    for (const QStringList &args : usage) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("tambolin ") + args[0])) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }

    // A folder that is not there, or a folder in place of the file: status 1.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.svg")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.png")));
    for (const char *name : {"no/such/folder/t", "taken"}) {
        const QString target = dir.path(QString::fromLatin1(name));
        SCOPED_TRACE(name);
        EXPECT_EQ(runTool({QStringLiteral("thumbnail"), melody, target + QStringLiteral(".png"), s,
                           QStringLiteral("64")})
                      .status,
                  1);
        EXPECT_EQ(runTool({QStringLiteral("show"), melody, QStringLiteral("-o"),
                           target + QStringLiteral(".svg")})
                      .status,
                  1);
    }
    EXPECT_FALSE(QFile::exists(dir.path(QStringLiteral("no"))));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral(".png")).size(), 0);

    // An existing thumbnail is replaced whole.
    ASSERT_TRUE(writeFile(out, "old"));
    EXPECT_EQ(
        runTool({QStringLiteral("thumbnail"), melody, out, QStringLiteral("--size=32")}).status, 0);
    EXPECT_EQ(QImage(out).size(), QSize(32, 32));
}

TEST(RollPictures, RandomBytesGiveAPictureOrStatusTwo) {
    // Part headers among noise: whatever the reader makes of it is drawn or
    // refused, never half written and never a crash.
    TempFolder dir;
    QRandomGenerator random(15);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        QByteArray noise(4096, '\0');
        for (char &c : noise)
            c = static_cast<char>(random.bounded(256));
        for (int at = 10; at + 3 < noise.size(); at += 700)
            noise.replace(at, 3, bytes({27, 36, 68}));
        const QString melody = dir.path(QStringLiteral("noise%1.tbn").arg(round));
        const QString out = dir.path(QStringLiteral("noise%1.png").arg(round));
        ASSERT_TRUE(writeFile(melody, noise));
        const ToolRun r = runTool({QStringLiteral("thumbnail"), melody, out, QStringLiteral("-s"),
                                   QStringLiteral("256")});
        ASSERT_TRUE(r.status == 0 || r.status == 2) << r.status;
        EXPECT_EQ(QFile::exists(out), r.status == 0);
        if (r.status == 0) {
            EXPECT_EQ(QImage(out).size(), QSize(256, 256));
        }
    }
}
