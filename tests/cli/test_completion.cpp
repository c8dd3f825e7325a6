// The bash completion script, sourced in bash and asked as bash asks it:
// COMP_WORDS and COMP_CWORD in, COMPREPLY out.

#include "support/skip.h"
#include "support/temp_files.h"
#include "tool_run.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace tambolin::testing;

namespace {

const QString script = QStringLiteral(TAMBOLIN_SOURCE_DIR "/data/completion/tambolin");

class Completion : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("bash")).isEmpty())
            TAMBOLIN_SKIP_WITHOUT("no bash");
        for (const char *name : {"a.tbn", "b.TBN", "song.json", "pic.png", "font.sf2", "notes.txt"})
            ASSERT_TRUE(writeFile(m_dir.path(QString::fromLatin1(name)), "x"));
        ASSERT_TRUE(QDir().mkdir(m_dir.path(QStringLiteral("sub"))));
    }

    // The completions for the words, the last one being completed, sorted.
    QStringList complete(const QStringList &words) {
        QString quoted;
        for (const QString &w : words)
            quoted +=
                u'\'' + QString(w).replace(u'\'', QStringLiteral("'\\''")) + QStringLiteral("' ");
        const QString program = QStringLiteral("source \"$1\" || exit 3\n"
                                               "COMP_WORDS=(") +
                                quoted +
                                QStringLiteral(")\n"
                                               "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                                               "_tambolin\n"
                                               "printf '%s\\n' \"${COMPREPLY[@]}\" | sort\n");
        QProcess bash;
        bash.setWorkingDirectory(m_dir.path());
        bash.start(QStringLiteral("bash"), {"--norc", "-c", program, "bash", script});
        EXPECT_TRUE(bash.waitForFinished(20000));
        EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
        return QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    TempFolder m_dir;
};

TEST_F(Completion, OffersTheToolsOwnCommands) {
    const ToolRun help = runTool({QStringLiteral("--help")});
    QStringList listed;
    static const QRegularExpression line(QStringLiteral("^  ([a-z]+)  "),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(help.out); it.hasNext();)
        listed += it.next().captured(1);
    ASSERT_FALSE(listed.isEmpty());
    QStringList offered = complete({"tambolin", ""});
    for (const char *extra : {"help", "--help", "--version"})
        EXPECT_TRUE(offered.removeOne(QString::fromLatin1(extra))) << extra;
    listed.sort();
    EXPECT_EQ(offered, listed);
    EXPECT_EQ(complete({"tambolin", "ex"}), QStringList({"export"}));
    EXPECT_EQ(complete({"tambolin", "help", "re"}), QStringList({"register", "render"}));
    EXPECT_TRUE(complete({"tambolin", "nosuch", ""}).isEmpty());
}

TEST_F(Completion, OffersOnlyOptionsTheCommandKnows) {
    const QStringList listed = complete({"tambolin", ""});
    for (const QString &command : listed) {
        if (command.startsWith(u'-') || command == u"help")
            continue;
        const QString usage = runTool({command, QStringLiteral("--help")}).out;
        for (const QString &option : complete({"tambolin", command, "-"})) {
            if (option == u"--help" || option == u"--")
                continue;
            EXPECT_TRUE(usage.contains(option))
                << command.toStdString() << " " << option.toStdString();
            // And the tool takes it: an unknown option would be said so.
            const ToolRun r = runTool({command, option, "x", "--bogus"});
            EXPECT_FALSE(r.err.contains(QStringLiteral("unknown option ") + option + u'\n'))
                << command.toStdString() << " " << option.toStdString();
        }
    }
    EXPECT_EQ(complete({"tambolin", "render", "a.tbn", "--so"}), QStringList({"--soundfont"}));
    EXPECT_EQ(complete({"tambolin", "export", "--timing", ""}), QStringList({"due", "tick"}));
    EXPECT_TRUE(complete({"tambolin", "play", "--loops", ""}).isEmpty());
}

TEST_F(Completion, OffersFilesByWhatTheArgumentIs) {
    // A melody to read: .tbn files and folders to look in.
    for (const char *command : {"dump", "info", "show", "trace", "export", "render", "play"})
        EXPECT_EQ(complete({"tambolin", command, ""}), QStringList({"a.tbn", "sub"})) << command;
    EXPECT_EQ(complete({"tambolin", "info", "a"}), QStringList({"a.tbn"}));
    EXPECT_EQ(complete({"tambolin", "build", ""}), QStringList({"song.json", "sub"}));
    // An output may be any file or folder.
    EXPECT_EQ(
        complete({"tambolin", "export", "a.tbn", "-o", ""}),
        QStringList({"a.tbn", "b.TBN", "font.sf2", "notes.txt", "pic.png", "song.json", "sub"}));
    EXPECT_EQ(complete({"tambolin", "render", "--soundfont", ""}),
              QStringList({"font.sf2", "sub"}));
    // thumbnail: the melody, then its picture.
    EXPECT_EQ(complete({"tambolin", "thumbnail", "-s", "64", ""}), QStringList({"a.tbn", "sub"}));
    EXPECT_EQ(complete({"tambolin", "thumbnail", "a.tbn", ""}), QStringList({"pic.png", "sub"}));
    // After "--" a word starting with "-" is a file name too.
    EXPECT_EQ(complete({"tambolin", "info", "--", ""}), QStringList({"a.tbn", "sub"}));
}

} // namespace
