// Titles, file names and arguments that try to rewrite the tool's output.

#include "cli/tool_run.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace tambolin::testing;

namespace {

const QStringList placeholders = {QStringLiteral("%1"), QStringLiteral("%2"), QStringLiteral("%3"),
                                  QStringLiteral("%4"), QStringLiteral("%5"), QStringLiteral("%6"),
                                  QStringLiteral("%7"), QStringLiteral("%8"), QStringLiteral("%9"),
                                  QStringLiteral("%L1")};

QByteArray storeWithTitle(const QString &title) {
    QJsonObject root;
    root[QStringLiteral("title")] = title;
    root[QStringLiteral("tempo")] = 1;
    const QByteArray parts = "[[[2, 5], [3, 7]], [[1, 9]], []]";
    QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Compact);
    json.chop(1);
    return json + ", \"parts\": " + parts + "}";
}

TEST(HostileText, PlaceholdersInTitlesPassThroughDumpAndInfoUnchanged) {
    TempFolder dir;
    int made = 0;
    for (const QString &p : placeholders) {
        SCOPED_TRACE(p.toStdString());
        const QString title = u'A' + p + u'B';
        const QString file = buildMelody(dir, storeWithTitle(title), made);

        const ToolRun dump = runTool({QStringLiteral("dump"), file});
        ASSERT_EQ(dump.status, 0) << dump.err.toStdString();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(dump.out.toUtf8(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << dump.out.toStdString();
        EXPECT_EQ(doc[QStringLiteral("title")].toString(), title);
        EXPECT_EQ(doc[QStringLiteral("tempo")].toInt(), 1);
        EXPECT_EQ(doc[QStringLiteral("parts")].toArray().size(), 3);

        const ToolRun info = runTool({QStringLiteral("info"), file});
        ASSERT_EQ(info.status, 0) << info.err.toStdString();
        EXPECT_TRUE(info.out.contains(QStringLiteral("Title:   ") + title + u'\n'))
            << info.out.toStdString();
        EXPECT_TRUE(info.out.contains(QStringLiteral("Tempo:   1\n"))) << info.out.toStdString();
    }
}

TEST(HostileText, PlaceholdersInFileNamesReachMessagesUnchanged) {
    TempFolder dir;
    for (const QString &p : placeholders) {
        SCOPED_TRACE(p.toStdString());
        // A file too short to be a melody: its name and size in one message.
        const QString shortFile = dir.path(QStringLiteral("s") + p + QStringLiteral(".tbn"));
        ASSERT_TRUE(writeFile(shortFile, "abc"));
        const QString missing = dir.path(QStringLiteral("n") + p + QStringLiteral(".tbn"));
        for (const char *command : {"dump", "info", "play", "trace"}) {
            const ToolRun r = runTool({QString::fromLatin1(command), shortFile});
            EXPECT_EQ(r.status, 2) << command;
            EXPECT_TRUE(r.err.contains(shortFile + QStringLiteral(": 3 bytes is too short")))
                << command << ": " << r.err.toStdString();
            const ToolRun m = runTool({QString::fromLatin1(command), missing});
            EXPECT_TRUE(m.err.contains(missing + QStringLiteral(": no such file")))
                << command << ": " << m.err.toStdString();
        }
        const QString store = dir.path(QStringLiteral("j") + p + QStringLiteral(".json"));
        ASSERT_TRUE(writeFile(store, "{\"tempo\": 1, \"parts\": [], \"x\": 1}"));
        const ToolRun build =
            runTool({QStringLiteral("build"), store, QStringLiteral("-o"), dir.path("o.tbn")});
        EXPECT_EQ(build.status, 2);
        EXPECT_TRUE(build.err.contains(store + QStringLiteral(": unknown key")))
            << build.err.toStdString();
        const QString out = dir.path(QStringLiteral("o") + p + QStringLiteral(".mid"));
        for (const char *command : {"export", "render"}) {
            const ToolRun r =
                runTool({QString::fromLatin1(command), shortFile, QStringLiteral("-o"), out});
            EXPECT_EQ(r.status, 2) << command;
            EXPECT_TRUE(r.err.contains(shortFile + QStringLiteral(": 3 bytes is too short")))
                << command << ": " << r.err.toStdString();
        }
        const ToolRun loops = runTool({QStringLiteral("export"), shortFile, QStringLiteral("-o"),
                                       out, QStringLiteral("--loops"), p});
        EXPECT_TRUE(loops.err.contains(u'\'' + p + u'\'')) << loops.err.toStdString();
    }
}

TEST(HostileText, PlaceholdersInMethodNamesAndArgumentsReachMessagesUnchanged) {
    for (const QString &p : placeholders) {
        SCOPED_TRACE(p.toStdString());
        const ToolRun byId = runTool({QStringLiteral("call"), u'#' + p});
        EXPECT_EQ(byId.status, 2);
        EXPECT_TRUE(byId.err.contains(QStringLiteral("unknown method #") + p + u':'))
            << byId.err.toStdString();
        const ToolRun byName = runTool({QStringLiteral("call"), QStringLiteral("RVN_") + p});
        EXPECT_TRUE(byName.err.contains(QStringLiteral("unknown method RVN_") + p))
            << byName.err.toStdString();
        const ToolRun text =
            runTool({QStringLiteral("call"), QStringLiteral("RVN_CharCut"), u'x' + p + u'y', p});
        EXPECT_EQ(text.status, 0) << text.err.toStdString();
        EXPECT_TRUE(text.out.contains(QStringLiteral("\"result\": \"x\"")))
            << text.out.toStdString();
        EXPECT_TRUE(text.out.contains(u'"' + p + u'"')) << text.out.toStdString();
    }
}

TEST(HostileText, ControlCharactersInTitlesAndNamesAreShownEscaped) {
    TempFolder dir;
    int made = 0;
    const QString title = QStringLiteral("A\x1B[2J\x07\nFile: x");
    const QString file = buildMelody(dir, storeWithTitle(title), made);
    const ToolRun info = runTool({QStringLiteral("info"), file});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    EXPECT_FALSE(info.out.contains(QChar(0x1B)));
    EXPECT_FALSE(info.out.contains(QChar(0x07)));
    EXPECT_TRUE(info.out.contains(QStringLiteral("Title:   A\\x1B[2J\\x07\\x0AFile: x\n")))
        << info.out.toStdString();
    EXPECT_EQ(info.out.count(u'\n'), 7) << info.out.toStdString(); // no line of its own

    const QString named = dir.path(QStringLiteral("\x1B[31mred\u202E.tbn"));
    const ToolRun missing = runTool({QStringLiteral("info"), named});
    EXPECT_FALSE(missing.err.contains(QChar(0x1B)));
    EXPECT_FALSE(missing.err.contains(QChar(0x202E)));
    EXPECT_TRUE(missing.err.contains(QStringLiteral("\\x1B[31mred\\u202E.tbn")))
        << missing.err.toStdString();
}

} // namespace
