// What `tambolin build` refuses, what --as-is lets through, and where the
// tool's output files may go.

#include "cli/tool_run.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tambolin::testing;

namespace {

QString sample() {
    return QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/sakura.tbn");
}

ToolRun build(const TempFolder &dir, const QByteArray &json, const QString &out,
              const QStringList &more = {}) {
    const QString store = dir.path(QStringLiteral("in.json"));
    EXPECT_TRUE(writeFile(store, json));
    return runTool(QStringList{QStringLiteral("build"), store, QStringLiteral("-o"), out} + more);
}

TEST(BuildRefusals, ValuesTheWriterCannotStoreAreRefusedUnlessAsIs) {
    struct Case {
        const char *json;
        const char *message;
    };
    const Case cases[] = {
        {R"({"tempo": 4, "parts": [[[2, 5]]]})", "tempo 4 is not a tempo code"},
        {R"({"tempo": -1, "parts": [[[2, 5]]]})", "tempo -1 is not a tempo code"},
        {R"({"parts": [[[2, 5]], [[2, 5], [2, 50]]]})", "part 2, note 2: pitch 50 cannot"},
        {R"({"parts": [[[2, -3]]]})", "part 1, note 1: pitch -3 cannot"},
        {R"({"parts": [[[2, 36]]]})", "part 1, note 1: pitch 36 cannot"},
        {R"({"parts": [[], [], [[2, 5], [2, 5], [7, 5]]]})", "part 3, note 3: length code 7"},
        {R"({"parts": [[[44, 0]]]})", "part 1, note 1: length code 44"},
        {"{\"title\": \"a\\u001b$Db\", \"parts\": [[[2, 5]]]}", "ESC \"$D\""},
    };
    TempFolder dir;
    const QString out = dir.path(QStringLiteral("out.tbn"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.json);
        const ToolRun refused = build(dir, c.json, out);
        EXPECT_EQ(refused.status, 2);
        EXPECT_TRUE(refused.err.contains(QString::fromUtf8(c.message)))
            << refused.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));

        const ToolRun asIs = build(dir, c.json, out, {QStringLiteral("--as-is")});
        EXPECT_EQ(asIs.status, 0) << asIs.err.toStdString();
        EXPECT_TRUE(asIs.err.isEmpty()) << asIs.err.toStdString();
        EXPECT_TRUE(QFile::exists(out));
        QFile::remove(out);
    }
    // What the writer can store goes through, triplets up to pitch 42 included.
    const ToolRun fine = build(
        dir,
        R"({"tempo": 3, "parts": [[[0, 0], [4, 35], [34, 9]], [[21, 42], [22, 40], [23, 36]]]})",
        out);
    EXPECT_EQ(fine.status, 0) << fine.err.toStdString();
    // The writer's own message about a broken triplet group, as before.
    QFile::remove(out);
    const ToolRun triplet = build(dir, R"({"parts": [[[21, 5], [2, 5]]]})", out);
    EXPECT_EQ(triplet.status, 0);
    EXPECT_TRUE(triplet.err.contains(QStringLiteral("3連符"))) << triplet.err.toStdString();
}

TEST(BuildRefusals, DuplicateKeysAreRefusedInBothModes) {
    TempFolder dir;
    const QString out = dir.path(QStringLiteral("out.tbn"));
    for (const QByteArray &json :
         {QByteArray(R"({"tempo": 1, "parts": [], "tempo": 2})"),
          QByteArray(R"({"title": "a", "parts": [], "\u0074itle": "b"})")}) {
        for (const QStringList &mode : {QStringList{}, QStringList{QStringLiteral("--as-is")}}) {
            const ToolRun r = build(dir, json, out, mode);
            EXPECT_EQ(r.status, 2) << json.constData();
            EXPECT_TRUE(r.err.contains(QStringLiteral("given twice"))) << r.err.toStdString();
            EXPECT_FALSE(QFile::exists(out));
        }
    }
    // The same key in different objects is no duplicate.
    const ToolRun nested = build(dir, R"({"title": "title", "parts": [[[2, 5]], []]})", out);
    EXPECT_EQ(nested.status, 0) << nested.err.toStdString();
}

TEST(BuildRefusals, InputIsReadOnlyUpToItsCap) {
    TempFolder dir;
    const QString out = dir.path(QStringLiteral("out.tbn"));
    const ToolRun zero =
        runTool({QStringLiteral("build"), QStringLiteral("/dev/zero"), QStringLiteral("-o"), out});
    EXPECT_EQ(zero.status, 2);
    EXPECT_TRUE(zero.err.contains(QStringLiteral("too large"))) << zero.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

TEST(OutputFiles, OnlyNewAndRegularFilesAreWritten) {
    TempFolder dir;
    const QByteArray json = R"({"parts": [[[2, 5]]]})";
    const QString fifo = dir.path(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString target = dir.path(QStringLiteral("target.tbn"));
    ASSERT_TRUE(writeFile(target, "precious"));
    const QString link = dir.path(QStringLiteral("link.tbn"));
    ASSERT_TRUE(QFile::link(target, link));
    const QString folder = dir.path(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folder));

    for (const QString &out : {fifo, link, folder, QStringLiteral("/dev/null")}) {
        SCOPED_TRACE(out.toStdString());
        const ToolRun b = build(dir, json, out);
        EXPECT_EQ(b.status, 2);
        EXPECT_TRUE(b.err.contains(QStringLiteral("must be a new or a regular file")))
            << b.err.toStdString();
        // A folder is where export and render put files named after their input.
        for (const char *command : {"export", "render"}) {
            if (out == folder)
                continue;
            const ToolRun r =
                runTool({QString::fromLatin1(command), sample(), QStringLiteral("-o"), out});
            EXPECT_EQ(r.status, 2) << command;
            EXPECT_TRUE(r.err.contains(QStringLiteral("must be a new or a regular file")))
                << command << ": " << r.err.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(fifo).isSymLink() == false && !QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(target), QByteArray("precious"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(build(dir, json, folder + QStringLiteral("/")).status, 2);
    EXPECT_TRUE(QDir(folder).isEmpty());

    // A regular file is replaced whole.
    const ToolRun replaced = build(dir, json, target);
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_NE(readFile(target), QByteArray("precious"));
}

TEST(OutputFiles, StalePartFilesOfAKilledWriteAreRemovedByTheNextWrite) {
    TempFolder dir;
    const QString out = dir.path(QStringLiteral("song.tbn"));
    const QString stale = dir.path(QStringLiteral(".song.tbn.k3x9a.part"));
    const QString fresh = dir.path(QStringLiteral(".song.tbn.q7b2.part"));
    const QString other = dir.path(QStringLiteral(".other.tbn.k3x9a.part"));
    for (const QString &f : {stale, fresh, other})
        ASSERT_TRUE(writeFile(f, "half"));
    const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
    for (const QString &f : {stale, other}) {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    const ToolRun r = build(dir, R"({"parts": [[[2, 5]]]})", out);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(fresh)); // perhaps a writer still at work
    EXPECT_TRUE(QFile::exists(other)); // another file's
    const QStringList left =
        QDir(dir.path()).entryList({QStringLiteral(".song.tbn.*")}, QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList{QStringLiteral(".song.tbn.q7b2.part")});
}

TEST(MelodyFiles, LargeFilesAreRefusedAsLargeNotMissing) {
    TempFolder dir;
    for (const qint64 size : {qint64(1) << 20 | 1, qint64(3) << 30}) {
        const QString file = dir.path(QStringLiteral("big%1.tbn").arg(size));
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_TRUE(f.resize(size)); // sparse: no disk space taken
        }
        for (const char *command : {"info", "dump"}) {
            const ToolRun r = runTool({QString::fromLatin1(command), file});
            EXPECT_EQ(r.status, 2);
            EXPECT_TRUE(
                r.err.contains(QString::number(size) + QStringLiteral(" bytes is too large")))
                << command << ": " << r.err.toStdString();
        }
    }
    // A file of exactly 1 MiB is still read.
    const QString limit = dir.path(QStringLiteral("limit.tbn"));
    QFile f(limit);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(1 << 20));
    f.close();
    EXPECT_EQ(runTool({QStringLiteral("info"), limit}).status, 0);
}

} // namespace
