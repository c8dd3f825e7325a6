// tambolin-thumbnail, the thumbnailer entry's program, against the tool's own
// `thumbnail`: the same file for the same melody and size, the same refusals,
// and an entry whose command line runs it.

#include "cli/tool_run.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>
#include <vector>

using namespace tambolin::testing;

namespace {

const QString kBin = QStringLiteral(TAMBOLIN_BINARY_DIR "/bin");
const QString kSakura = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/sakura.tbn");
const QString kTriplets = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/triplets.tbn");

ToolRun runThumbnailer(const QStringList &args, const QString &program = {}) {
    return runProgram(program.isEmpty() ? kBin + QStringLiteral("/tambolin-thumbnail") : program,
                      args);
}

const QByteArray Chord = R"({"title": "和音\u001b[2J", "tempo": 1, "parts": [
    [[2, 0], [31, 0], [3, 23]], [[2, 4], [2, 4]], [[1, 7]]]})";

} // namespace

TEST(Thumbnailer, WritesTheToolsOwnFileAtEverySize) {
    TempFolder dir;
    int made = 0;
    const QStringList melodies = {kSakura, kTriplets, buildMelody(dir, Chord, made)};
    // Below 128 pixels no text and no GUI platform; from 128 the title.
    for (int size : {16, 64, 127, 128, 256}) {
        for (const QString &melody : melodies) {
            SCOPED_TRACE(::testing::Message() << size << " " << melody.toStdString());
            const QString byTool = dir.path(QStringLiteral("tool.png"));
            const QString byThumbnailer = dir.path(QStringLiteral("thumbnailer.png"));
            const QStringList sizeArgs = {QStringLiteral("-s"), QString::number(size)};
            const ToolRun tool =
                runTool(QStringList{QStringLiteral("thumbnail"), melody, byTool} + sizeArgs);
            ASSERT_EQ(tool.status, 0) << tool.err.toStdString();
            const ToolRun own = runThumbnailer(QStringList{melody, byThumbnailer} + sizeArgs);
            ASSERT_EQ(own.status, 0) << own.err.toStdString();
            EXPECT_TRUE(own.err.isEmpty()) << own.err.toStdString();
            EXPECT_EQ(readFile(byThumbnailer), readFile(byTool));
            EXPECT_EQ(QImage(byThumbnailer).size(), QSize(size, size));
        }
    }
}

TEST(Thumbnailer, RefusesWhatTheToolRefusesAndWritesNothing) {
    TempFolder dir;
    QByteArray big((1 << 20) + 1, 'A');
    big.replace(0, 3, bytes({27, 36, 68}));
    const std::vector<std::pair<const char *, QByteArray>> files = {
        {"short.tbn", QByteArray("13 bytes long")},
        {"rests.tbn", QByteArray("Rests") + bytes({27, 36, 68, 35, 36, 37, 38, 15})},
        {"big.tbn", big},
    };
    QStringList inputs = {dir.path(QStringLiteral("missing\x1b[31m.tbn")), dir.path(),
                          QStringLiteral("/dev/zero")};
    for (const auto &[name, content] : files) {
        inputs += dir.path(QString::fromLatin1(name));
        ASSERT_TRUE(writeFile(inputs.back(), content));
    }
    const QString out = dir.path(QStringLiteral("out.png"));
    for (const QString &input : inputs) {
        SCOPED_TRACE(input.toStdString());
        const QStringList args = {input, out, QStringLiteral("-s"), QStringLiteral("256")};
        const ToolRun own = runThumbnailer(args);
        EXPECT_EQ(own.status, 2);
        EXPECT_EQ(runTool(QStringList{QStringLiteral("thumbnail")} + args).status, own.status);
        EXPECT_TRUE(own.err.startsWith(QStringLiteral("tambolin-thumbnail: ")))
            << own.err.toStdString();
        EXPECT_FALSE(own.err.contains(QChar(0x1b))); // a file name cannot drive the terminal
        EXPECT_FALSE(QFile::exists(out));
    }

    int made = 0;
    const QString melody = buildMelody(dir, Chord, made);
    const QString s = QStringLiteral("-s");
    for (const QStringList &args :
         {QStringList{melody, out}, QStringList{melody, out, s, QStringLiteral("15")},
          QStringList{melody, out, s, QStringLiteral("2049")},
          QStringList{melody, out, s, QStringLiteral("64"), QStringLiteral("--size=64")},
          QStringList{melody, out, out, s, QStringLiteral("64")},
          QStringList{melody, out, s, QStringLiteral("64"), QStringLiteral("-platform")}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const ToolRun r = runThumbnailer(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("tambolin-thumbnail --help")));
        EXPECT_FALSE(QFile::exists(out));
    }
    // Nowhere to write: status 1, and nothing left beside the target.
    EXPECT_EQ(
        runThumbnailer({melody, dir.path(QStringLiteral("no/such/t.png")), s, QStringLiteral("64")})
            .status,
        1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(u".png").size(), 0);

    const ToolRun help = runThumbnailer({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tambolin-thumbnail FILE OUT.png")));
}

TEST(Thumbnailer, TheEntrysCommandLineRunsAProgramOfTheBuild) {
    QFile entry(QStringLiteral(TAMBOLIN_SOURCE_DIR "/data/org.tamberlo.Player.thumbnailer"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    QString tryExec;
    QStringList exec;
    for (const QByteArray &line : entry.readAll().split('\n')) {
        if (line.startsWith("TryExec="))
            tryExec = QString::fromUtf8(line.mid(8));
        else if (line.startsWith("Exec="))
            exec = QString::fromUtf8(line.mid(5)).split(u' ', Qt::SkipEmptyParts);
    }
    ASSERT_FALSE(exec.isEmpty());
    EXPECT_EQ(tryExec, exec.first());
    const QString program = kBin + u'/' + exec.takeFirst();
    ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();

    TempFolder dir;
    const QString out = dir.path(QStringLiteral("entry.png"));
    for (QString &arg : exec)
        arg = arg == u"%i"   ? kSakura
              : arg == u"%o" ? out
              : arg == u"%s" ? QStringLiteral("128")
                             : arg;
    const ToolRun r = runThumbnailer(exec, program);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(out).size(), QSize(128, 128));
}
