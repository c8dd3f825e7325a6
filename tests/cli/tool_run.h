#pragma once
// Runs the built `tambolin` tool and collects its exit status and output.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "support/temp_files.h"

namespace tambolin::testing {

struct ToolRun {
    int status = -1; // -1: did not start, crashed or timed out
    QString out;
    QString err;
};

inline QString toolPath() {
    return QStringLiteral(TAMBOLIN_BINARY_DIR "/bin/tambolin");
}

// Runs program (a built program of this project) with args.
inline ToolRun
runProgram(const QString &program, const QStringList &args, int timeoutMs = 60000,
           const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return {};
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    ToolRun r;
    r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

inline ToolRun runTool(const QStringList &args, int timeoutMs = 60000,
                       const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment()) {
    return runProgram(toolPath(), args, timeoutMs, env);
}

// A melody file in dir, made by the tool from the store's JSON form; made
// counts the files so that each gets its own name.
inline QString buildMelody(const TempFolder &dir, const QByteArray &json, int &made) {
    const QString store = dir.path(QStringLiteral("m.json"));
    const QString file = dir.path(QStringLiteral("m%1.tbn").arg(++made));
    const bool written = writeFile(store, json);
    const ToolRun r = runTool({QStringLiteral("build"), store, QStringLiteral("-o"), file});
    EXPECT_TRUE(written);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return file;
}

} // namespace tambolin::testing
