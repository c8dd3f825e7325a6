// The command line every subcommand shares: --help, --, unknown options,
// the version, "-" for standard input and output, the warning for files
// that are no melody, and several files into a folder.

#include "support/temp_files.h"
#include "tool_run.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tambolin::testing;

// Failures show texts, not their code units.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// The tool's environment, with a private runtime folder of its own, so that
// standard error holds nothing but what the tool says.
QProcessEnvironment toolEnv(const TempFolder &dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString runtime = dir.path(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}

// The tool with input on standard input; the output kept as bytes.
struct ByteRun {
    int status = -1;
    QByteArray out;
    QString err;
};

ByteRun runWithInput(const QStringList &args, const QByteArray &input,
                     const QProcessEnvironment &env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(toolPath(), args);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    ByteRun r;
    r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = process.readAllStandardOutput();
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

// The command names `tambolin --help` lists.
QStringList listedCommands() {
    const ToolRun help = runTool({QStringLiteral("--help")});
    QStringList names;
    static const QRegularExpression line(QStringLiteral("^  ([a-z]+)  "),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(help.out); it.hasNext();)
        names += it.next().captured(1);
    return names;
}

class CommandLine : public ::testing::Test {
protected:
    ToolRun run(const QStringList &args) { return runTool(args, 60000, m_env); }
    ByteRun runWithInput(const QStringList &args, const QByteArray &input) {
        return ::runWithInput(args, input, m_env);
    }
    QString melody() {
        return buildMelody(
            m_dir, R"({"title": "Two notes up", "tempo": 0, "parts": [[[2, 12], [2, 14]]]})",
            m_made);
    }
    QString other() {
        return buildMelody(
            m_dir, R"({"title": "One note in part two", "tempo": 2, "parts": [[], [[3, 5]]]})",
            m_made);
    }
    TempFolder m_dir;
    QProcessEnvironment m_env = toolEnv(m_dir);
    int m_made = 0;
};

TEST_F(CommandLine, EveryCommandAnswersHelpAndRefusesUnknownOptionsAlike) {
    const QStringList names = listedCommands();
    ASSERT_GE(names.size(), 12) << names.join(u' ').toStdString();
    for (const QString &name : names) {
        const std::string which = name.toStdString();
        const ToolRun help = run({name, "--help"});
        EXPECT_EQ(help.status, 0) << which;
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tambolin ") + name) ||
                    help.out.startsWith(QStringLiteral("usage: tambolin ") + name))
            << which;
        EXPECT_TRUE(help.err.isEmpty()) << which;
        const ToolRun shortHelp = run({name, "-h"});
        EXPECT_EQ(shortHelp.status, 0) << which;
        EXPECT_EQ(shortHelp.out, help.out) << which;
        const ToolRun byHelp = run({"help", name});
        EXPECT_EQ(byHelp.status, 0) << which;
        EXPECT_EQ(byHelp.out, help.out) << which;

        const ToolRun bogus = run({name, "--bogus"});
        EXPECT_EQ(bogus.status, 2) << which;
        EXPECT_EQ(bogus.err,
                  QStringLiteral("tambolin ") + name + QStringLiteral(": unknown option --bogus\n"))
            << which;
        EXPECT_TRUE(bogus.out.isEmpty()) << which;
        // A value given with "=" is no part of the option's name.
        const ToolRun withValue = run({name, "--bogus=3"});
        EXPECT_EQ(withValue.err,
                  QStringLiteral("tambolin ") + name + QStringLiteral(": unknown option --bogus\n"))
            << which;
    }
    // A misspelt help is an unknown option, whatever else is wrong.
    const ToolRun misspelt = run({"info", m_dir.path("none.tbn"), "--hepl"});
    EXPECT_EQ(misspelt.status, 2);
    EXPECT_EQ(misspelt.err, QStringLiteral("tambolin info: unknown option --hepl\n"));
    // --help wins over bad values and missing files given with it.
    const ToolRun helpAmongOthers = run({"export", "x.tbn", "--loops", "0", "--help"});
    EXPECT_EQ(helpAmongOthers.status, 0);
    EXPECT_TRUE(helpAmongOthers.out.startsWith(QStringLiteral("Usage: tambolin export")));
}

TEST_F(CommandLine, DoubleDashEndsTheOptions) {
    const QString file = melody();
    const ToolRun plain = run({"info", file});
    ASSERT_EQ(plain.status, 0) << plain.err.toStdString();
    for (const QString &name : {QStringLiteral("info"), QStringLiteral("dump")}) {
        const ToolRun a = run({name, file});
        const ToolRun b = run({name, "--", file});
        EXPECT_EQ(b.status, 0) << b.err.toStdString();
        EXPECT_EQ(a.out, b.out);
    }
    EXPECT_EQ(run({"trace", "--ms", "100", "--", file}).out,
              run({"trace", file, "--ms", "100"}).out);
    // After "--" a name that looks like an option is a file name.
    const ToolRun dashed = run({"info", "--", "--help"});
    EXPECT_EQ(dashed.status, 2);
    EXPECT_TRUE(dashed.err.contains(QStringLiteral("--help: no such file")))
        << dashed.err.toStdString();
    EXPECT_TRUE(dashed.out.isEmpty());
    // Options after "--" are no options either.
    const ToolRun late = run({"trace", "--", file, "--ms"});
    EXPECT_EQ(late.status, 2);
    EXPECT_TRUE(late.err.contains(QStringLiteral("give one FILE"))) << late.err.toStdString();

    const QString out = m_dir.path("dashed.tbn");
    EXPECT_EQ(run({"build", "-o", out, "--", m_dir.path("m.json")}).status, 0);
    EXPECT_EQ(readFile(out), readFile(file));
    const QString viaDash = m_dir.path("dashed.mid");
    const QString plainMid = m_dir.path("plain.mid");
    EXPECT_EQ(run({"export", "-o", viaDash, "--", file}).status, 0);
    EXPECT_EQ(run({"export", file, "-o", plainMid}).status, 0);
    EXPECT_EQ(readFile(viaDash), readFile(plainMid));
    EXPECT_FALSE(readFile(viaDash).isEmpty());
    const QString picture = m_dir.path("dashed.png");
    EXPECT_EQ(run({"show", "--width", "200", "-o", picture, "--", file}).status, 0);
    EXPECT_TRUE(readFile(picture).startsWith("\x89PNG"));
    const QString thumb = m_dir.path("thumb.png");
    EXPECT_EQ(run({"thumbnail", "-s", "32", "--", file, thumb}).status, 0);
    EXPECT_TRUE(readFile(thumb).startsWith("\x89PNG"));
    EXPECT_EQ(run({"version", "--"}).status, 0);
    EXPECT_EQ(run({"devices", "--"}).status, 0);
    const ToolRun call = run({"call", "--", "RVN_StrSubst", "a-b", "-", "+"});
    EXPECT_EQ(call.status, 0) << call.err.toStdString();
    EXPECT_TRUE(call.out.startsWith(QStringLiteral("{\"result\": \"a+b\"")))
        << call.out.toStdString();
}

TEST_F(CommandLine, VersionAndHelpForOneCommand) {
    const ToolRun version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^tambolin [0-9]+(\\.[0-9]+)+\\n$"))
                    .match(version.out)
                    .hasMatch())
        << version.out.toStdString();
    EXPECT_EQ(run({"version"}).out, version.out);
    EXPECT_EQ(run({"version", "extra"}).status, 2);

    const ToolRun general = run({"help"});
    EXPECT_EQ(general.status, 0);
    EXPECT_EQ(general.out, run({"--help"}).out);
    const ToolRun play = run({"help", "play"});
    EXPECT_TRUE(play.out.startsWith(QStringLiteral("Usage: tambolin play FILE")));
    const ToolRun unknown = run({"help", "frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("frobnicate")));
    // A command name is escaped like any other text from outside.
    const ToolRun hostile = run({"help", "a\x1b[2Jb%1"});
    EXPECT_EQ(hostile.status, 2);
    EXPECT_TRUE(hostile.err.contains(QStringLiteral("a\\x1B[2Jb%1"))) << hostile.err.toStdString();
}

TEST_F(CommandLine, DashReadsStandardInputAndWritesStandardOutput) {
    const QString file = melody();
    const QByteArray bytes = readFile(file);
    for (const QString &name : {QStringLiteral("dump"), QStringLiteral("trace")}) {
        const ByteRun fromStdin = runWithInput({name, "-"}, bytes);
        EXPECT_EQ(fromStdin.status, 0) << fromStdin.err.toStdString();
        EXPECT_EQ(QString::fromUtf8(fromStdin.out), run({name, file}).out) << name.toStdString();
    }
    const ByteRun info = runWithInput({"info", "-"}, bytes);
    EXPECT_EQ(info.status, 0);
    EXPECT_TRUE(info.out.startsWith("File:    -\nTitle:   Two notes up\n"))
        << info.out.toStdString();

    // The same files whether named or piped, in and out.
    const QString mid = m_dir.path("named.mid");
    ASSERT_EQ(run({"export", file, "-o", mid}).status, 0);
    const ByteRun piped = runWithInput({"export", "-", "-o", "-"}, bytes);
    EXPECT_EQ(piped.status, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out, readFile(mid));
    const ByteRun built = runWithInput({"build", "-", "-o", "-"}, readFile(m_dir.path("m.json")));
    EXPECT_EQ(built.status, 0) << built.err.toStdString();
    EXPECT_EQ(built.out, bytes);
    // Nothing named "-" is left behind, and no private folder either.
    EXPECT_FALSE(QFile::exists(QDir::current().filePath("-")));

    // Standard input is bounded like a file: one byte over the cap is refused.
    const QByteArray huge(1024 * 1024 + 1, 'x');
    const ByteRun tooLarge = runWithInput({"dump", "-"}, huge);
    EXPECT_EQ(tooLarge.status, 2);
    EXPECT_TRUE(tooLarge.err.contains(QStringLiteral("-: more than 1048576 bytes")))
        << tooLarge.err.toStdString();
    EXPECT_TRUE(tooLarge.out.isEmpty());
    const ByteRun tooShort = runWithInput({"info", "-"}, "short");
    EXPECT_EQ(tooShort.status, 2);
    EXPECT_TRUE(tooShort.err.startsWith(QStringLiteral("tambolin info: -: 5 bytes is too short")))
        << tooShort.err.toStdString();
}

TEST_F(CommandLine, FilesWithoutAPartHeaderAreShownWithAWarning) {
    const QString text = m_dir.path("notes.txt");
    ASSERT_TRUE(writeFile(text, "Shopping list: eggs, milk, bread\n"));
    const auto warning = [&](const QString &name) {
        return QStringLiteral("tambolin ") + name + QStringLiteral(": ") + text +
               QStringLiteral(": no part header found; this is probably not a melody file\n");
    };
    for (const QString &name : {QStringLiteral("info"), QStringLiteral("dump")}) {
        const ToolRun r = run({name, text});
        EXPECT_EQ(r.status, 0) << name.toStdString();
        EXPECT_EQ(r.err, warning(name));
        EXPECT_TRUE(r.out.contains(QStringLiteral("Shopping list"))) << r.out.toStdString();
    }
    const ByteRun piped = runWithInput({"info", "-"}, "Shopping list: eggs, milk, bread\n");
    EXPECT_TRUE(piped.err.contains(QStringLiteral("tambolin info: -: no part header found")));
    // A melody has a header for each part that holds notes: no warning.
    const QString third =
        buildMelody(m_dir, R"({"title": "Third part only", "parts": [[], [], [[4, 7]]]})", m_made);
    for (const QString &file : {melody(), third}) {
        EXPECT_TRUE(run({"info", file}).err.isEmpty());
        EXPECT_TRUE(run({"dump", file}).err.isEmpty());
    }
}

TEST_F(CommandLine, SeveralFilesGoIntoAFolderUnderTheirOwnNames) {
    const QString first = melody();
    const QString second = other();
    const QString folder = m_dir.path("out");
    ASSERT_TRUE(QDir().mkdir(folder));
    const ToolRun both = run({"export", first, second, "-o", folder});
    EXPECT_EQ(both.status, 0) << both.err.toStdString();
    EXPECT_TRUE(both.err.isEmpty()) << both.err.toStdString(); // no progress off a terminal
    const QString single = m_dir.path("single.mid");
    ASSERT_EQ(run({"export", second, "-o", single}).status, 0);
    const QString firstOut =
        folder + u'/' + QFileInfo(first).completeBaseName() + QStringLiteral(".mid");
    const QString secondOut =
        folder + u'/' + QFileInfo(second).completeBaseName() + QStringLiteral(".mid");
    EXPECT_TRUE(QFile::exists(firstOut));
    EXPECT_EQ(readFile(secondOut), readFile(single));

    // One FILE and an existing folder: into the folder as well.
    const QString alone = m_dir.path("alone");
    ASSERT_TRUE(QDir().mkdir(alone));
    EXPECT_EQ(run({"export", second, "-o", alone}).status, 0);
    EXPECT_EQ(
        readFile(alone + u'/' + QFileInfo(second).completeBaseName() + QStringLiteral(".mid")),
        readFile(single));

    // A bad file is said and passed over; the status is the worst one.
    const QString later = m_dir.path("later");
    ASSERT_TRUE(QDir().mkdir(later));
    const ToolRun mixed = run({"export", first, m_dir.path("missing.tbn"), second, "-o", later});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_TRUE(mixed.err.contains(QStringLiteral("missing.tbn"))) << mixed.err.toStdString();
    EXPECT_EQ(QDir(later).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(
        readFile(later + u'/' + QFileInfo(second).completeBaseName() + QStringLiteral(".mid")),
        readFile(single));

    // Two inputs of one name would overwrite each other: the second is refused.
    const QString twin = m_dir.path("twin");
    ASSERT_TRUE(QDir().mkpath(twin));
    const QString sameName = twin + u'/' + QFileInfo(second).fileName();
    ASSERT_TRUE(QFile::copy(first, sameName));
    const QString clash = m_dir.path("clash");
    ASSERT_TRUE(QDir().mkdir(clash));
    const ToolRun twins = run({"export", second, sameName, "-o", clash});
    EXPECT_EQ(twins.status, 2);
    EXPECT_TRUE(twins.err.contains(QStringLiteral("earlier FILE"))) << twins.err.toStdString();
    EXPECT_EQ(
        readFile(clash + u'/' + QFileInfo(second).completeBaseName() + QStringLiteral(".mid")),
        readFile(single));

    // Several FILEs need a folder; standard input has no name to go by.
    const QString notFolder = m_dir.path("x.mid");
    const ToolRun noFolder = run({"export", first, second, "-o", notFolder});
    EXPECT_EQ(noFolder.status, 2);
    EXPECT_FALSE(QFile::exists(notFolder));
    const ByteRun stdinIn = runWithInput({"export", "-", first, "-o", clash}, readFile(first));
    EXPECT_EQ(stdinIn.status, 2);
    EXPECT_TRUE(stdinIn.err.contains(QStringLiteral("standard input")))
        << stdinIn.err.toStdString();

    // render names its outputs the same way (its arguments, before any sound).
    const ToolRun renderBad = run({"render", first, second, "-o", notFolder});
    EXPECT_EQ(renderBad.status, 2);
    EXPECT_TRUE(renderBad.err.contains(QStringLiteral("no folder"))) << renderBad.err.toStdString();
}

} // namespace
