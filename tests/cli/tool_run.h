#pragma once
// Runs the built `tambolin` tool and collects its exit status and output.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace tambolin::testing {

struct ToolRun {
    int status = -1; // -1: did not start, crashed or timed out
    QString out;
    QString err;
};

inline QString toolPath() {
    return QStringLiteral(TAMBOLIN_BINARY_DIR "/bin/tambolin");
}

inline ToolRun runTool(const QStringList &args, int timeoutMs = 60000,
                       const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(toolPath(), args);
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

} // namespace tambolin::testing
