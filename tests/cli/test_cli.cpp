// Runs the built `tambolin` tool and checks what it prints, writes and exits with.

#include "support/temp_files.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tambolin::testing;

namespace {

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &args, const QByteArray &input = {}) {
    QProcess process;
    process.start(QStringLiteral(TAMBOLIN_BINARY_DIR "/bin/tambolin"), args);
    if (!process.waitForStarted(10000))
        return {};
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    ToolRun r;
    r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

QString example(const QString &name) {
    return QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/") + name;
}

class Cli : public ::testing::Test {
protected:
    TempFolder dir;
    QString path(const QString &name) { return dir.path(name); }
};

} // namespace

TEST_F(Cli, HelpAndUnknownCommands) {
    const ToolRun help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char *name : {"dump", "build", "info"})
        EXPECT_TRUE(help.out.contains(QLatin1String(name))) << name;
    const ToolRun dumpHelp = runTool({"dump", "--help"});
    EXPECT_EQ(dumpHelp.status, 0);
    EXPECT_TRUE(dumpHelp.out.startsWith(QStringLiteral("Usage: tambolin dump")));
    const ToolRun unknown = runTool({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("frobnicate")));
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_EQ(runTool({}).status, 2);
}

TEST_F(Cli, DumpPrintsTheStoreAsOneLineOfJson) {
    ASSERT_TRUE(
        writeFile(path("m.tbn"), bytes({65, 66, 27, 36, 68, 33, 40, 88, 89, 90, 91, 92, 93, 15})));
    const ToolRun r = runTool({"dump", path("m.tbn")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out,
        QStringLiteral("{\"title\": \"AB\", \"tempo\": 0, \"parts\": [[[4, 21], [3, 21], [2, 21], "
                       "[1, 21], [4, 22], [3, 22]], [], []]}\n"));
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(Cli, DumpEscapesTitleCharacters) {
    // A quote, a backslash, a tab, and a JIS pair with no Shift_JIS form (two NULs).
    QByteArray title = QByteArray("q\"b\\t\t") + bytes({27, 36, 66, 0x7F, 0x21, 27, 40, 66});
    ASSERT_TRUE(writeFile(path("m.tbn"), title + bytes({27, 36, 68, 54, 15})));
    const ToolRun r = runTool({"dump", path("m.tbn")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(
        QStringLiteral("{\"title\": \"q\\\"b\\\\t\\t\\u0000\\u0000\", \"tempo\": 1,")))
        << r.out.toStdString();
}

TEST_F(Cli, DumpRefusesFilesThatHoldNoMelody) {
    ASSERT_TRUE(writeFile(path("short.tbn"), QByteArray(13, 'A')));
    for (const QString &file : {path("short.tbn"), path("missing.tbn"), path("")}) {
        const ToolRun r = runTool({"dump", file});
        EXPECT_EQ(r.status, 2) << file.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(runTool({"dump"}).status, 2);
    EXPECT_EQ(runTool({"info", path("missing.tbn")}).status, 2);
}

TEST_F(Cli, BuildWritesTheMelodyFile) {
    ASSERT_TRUE(writeFile(path("s.json"),
                          R"({"title": "AB", "tempo": 1, "parts": [[[2, 5], [2, 20]], [], []]})"));
    const ToolRun r = runTool({"build", path("s.json"), "-o", path("s.tbn")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(readFile(path("s.tbn")),
              QByteArray("AB") + bytes({27, 36, 68, 33, 35, 74, 33, 36, 86, 15}));
}

TEST_F(Cli, BuildReadsStandardInputAndDefaults) {
    const ToolRun r =
        runTool({"build", "-", "--output", path("s.tbn")}, R"({"parts": [[[2, 12]]]})");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(readFile(path("s.tbn")), bytes({27, 36, 68, 54, 15}));
}

TEST_F(Cli, BuildReportsAnIncompleteTripletGroupButWrites) {
    ASSERT_TRUE(writeFile(
        path("t.json"),
        R"({"title": "", "tempo": 1, "parts": [[[21, 12], [21, 12], [2, 12]], [], []]})"));
    const ToolRun r = runTool({"build", path("t.json"), "-o", path("t.tbn")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.err,
        QStringLiteral(
            "旋律1の3音目の\r\n3連符が3つ続いていないため正常なﾌｧｲﾙ保存ができませんでした。\n"));
    EXPECT_EQ(readFile(path("t.tbn")), bytes({27, 36, 68, 33, 38, 55, 55, 54, 15}));
}

TEST_F(Cli, BuildRejectsBadStoresAndWritesNothing) {
    const QString twoHundredOne = QStringLiteral("{\"parts\": [[") +
                                  QStringList(201, QStringLiteral("[2, 12]")).join(u',') + "]]}";
    const QString bad[] = {
        QStringLiteral("{\"title\": \"A\", \"parts\": [[[2, 12]]"), // malformed
        QStringLiteral("[1, 2]"),                                   // not an object
        QStringLiteral("{\"tempo\": 40000, \"parts\": []}"),        // out of 16 bits
        QStringLiteral("{\"parts\": [[[2, -32769]]]}"),
        QStringLiteral("{\"parts\": [[[2.5, 12]]]}"),    // not an integer
        QStringLiteral("{\"parts\": [[[2, 12, 3]]]}"),   // not a pair
        QStringLiteral("{\"parts\": [[], [], [], []]}"), // four parts
        QStringLiteral("{\"title\": 5, \"parts\": []}"),
        QStringLiteral("{\"tempo\": 1}"),                // no parts
        QStringLiteral("{\"tmepo\": 1, \"parts\": []}"), // misspelt key
        twoHundredOne,
    };
    for (const QString &json : bad) {
        ASSERT_TRUE(writeFile(path("bad.json"), json.toUtf8()));
        const ToolRun r = runTool({"build", path("bad.json"), "-o", path("bad.tbn")});
        EXPECT_EQ(r.status, 2) << json.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(path("bad.tbn"))) << json.toStdString();
    }
    ASSERT_TRUE(writeFile(path("ok.json"), R"({"parts": []})"));
    EXPECT_EQ(runTool({"build", path("ok.json")}).status, 2); // no -o
    EXPECT_EQ(runTool({"build", "-o", path("x.tbn")}).status, 2);
    EXPECT_EQ(runTool({"build", path("missing.json"), "-o", path("x.tbn")}).status, 2);
    const ToolRun unwritable = runTool({"build", path("ok.json"), "-o", path("no/such/x.tbn")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_FALSE(unwritable.err.isEmpty());
}

TEST_F(Cli, ExamplesAreBuiltFromTheirStoresAndDumpBackToThem) {
    const QStringList stores =
        QDir(example(QString())).entryList({"*.json"}, QDir::Files, QDir::Name);
    ASSERT_GE(stores.size(), 3);
    ASSERT_TRUE(stores.contains(QStringLiteral("sakura.json")));
    for (const QString &store : stores) {
        const QString name = QFileInfo(store).completeBaseName();
        const ToolRun built = runTool({"build", example(store), "-o", path(name + ".tbn")});
        ASSERT_EQ(built.status, 0) << store.toStdString();
        EXPECT_EQ(readFile(path(name + ".tbn")), readFile(example(name + ".tbn")))
            << store.toStdString();
        const ToolRun dumped = runTool({"dump", example(name + ".tbn")});
        EXPECT_EQ(dumped.out.toUtf8(), readFile(example(store))) << store.toStdString();
    }
}

TEST_F(Cli, InfoDescribesTheMelodyForPeople) {
    const ToolRun r = runTool({"info", example("sakura.tbn")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Title:   夜桜\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Tempo:   1\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Part 1:  26 notes\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Part 3:  0 notes\n")));
    // A whole note at tempo 0 lasts 1600 x 0.99 ms.
    ASSERT_TRUE(writeFile(path("w.tbn"),
                          QByteArray("Test title") + bytes({27, 36, 68, 33, 40, 55, 34, 55, 15})));
    const ToolRun w = runTool({"info", path("w.tbn")});
    EXPECT_TRUE(w.out.contains(QStringLiteral("Length:  1.6 s\n"))) << w.out.toStdString();
}

TEST_F(Cli, InfoPrintsPercentSignsInTitlesAndNamesAsTheyAre) {
    const QString store = path(QStringLiteral("p.json"));
    const QString song = path(QStringLiteral("%1 %2.tbn"));
    ASSERT_TRUE(writeFile(store, R"({"title": "%1 %3 100%", "tempo": 2, "parts": [[[2, 5]]]})"));
    ASSERT_EQ(runTool({"build", store, "-o", song}).status, 0);
    const ToolRun r = runTool({"info", song});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("File:    ") + song + QStringLiteral("\n")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Title:   %1 %3 100%\nTempo:   2\n")))
        << r.out.toStdString();
}
