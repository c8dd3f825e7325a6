// Shared libraries named the short way, and display colours: on the
// offscreen platform's 32-bit screen, and on virtual X screens of 16 and 24
// bits (32 bits a pixel), each of which runs this program again.

#include "platform/desktop/handles.h"
#include "support/skip.h"
#include "util/cl_gl010c.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <gtest/gtest.h>

namespace tambolin {
namespace {

bool functionCheck(const char *library, const char *function) {
    CL_GL010C gl;
    QString lib = QString::fromUtf8(library);
    QString fn = QString::fromUtf8(function);
    return gl.RVN_DLLFunctionCheck(lib, fn) == True;
}

TEST(LibraryNames, BareNamesFindTheSystemsVersionedLibraries) {
    EXPECT_TRUE(functionCheck("m", "cos"));
    EXPECT_TRUE(functionCheck("c", "printf"));
    EXPECT_TRUE(functionCheck("libm", "cos"));
    EXPECT_FALSE(functionCheck("m", "no_such_function_here"));
    EXPECT_FALSE(functionCheck("no-such-library-at-all", "cos"));
    // Pattern characters are names, not patterns.
    EXPECT_FALSE(functionCheck("*", "cos"));
    EXPECT_FALSE(functionCheck("?", "cos"));
    EXPECT_FALSE(functionCheck("", "cos"));
}

// Checked on whatever screen the program runs on; TAMBOLIN_SCREEN_DEPTH
// says which depth the run was started for.
TEST(DisplayColours, CountFollowsTheScreensDepth) {
    QWidget form;
    form.resize(100, 50);
    form.show();
    Long hdc = handleOf(&form);
    const int depth = form.screen()->depth();
    const QByteArray asked = qgetenv("TAMBOLIN_SCREEN_DEPTH");
    if (!asked.isEmpty()) {
        EXPECT_EQ(depth, asked.toInt());
    }
    const Long colours = CL_GL010C().RVN_DisplayColor(hdc);
    if (depth == 16)
        EXPECT_EQ(colours, 65536);
    else if (depth == 24)
        EXPECT_EQ(colours, 16777216);
    else if (depth == 32)
        EXPECT_EQ(colours, 0) << "2^32 colours do not fit a Long";
    else
        ADD_FAILURE() << "unexpected depth " << depth;
}

TEST(DisplayColours, SixteenAndTwentyFourBitXScreens) {
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
        TAMBOLIN_SKIP_WITHOUT("xvfb-run is not installed");
    for (int depth : {16, 24}) {
        SCOPED_TRACE(depth);
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("TAMBOLIN_SCREEN_DEPTH"), QString::number(depth));
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QStringLiteral("xvfb-run"),
                  {QStringLiteral("-a"), QStringLiteral("-s"),
                   QStringLiteral("-screen 0 640x480x%1").arg(depth),
                   QCoreApplication::applicationFilePath(),
                   QStringLiteral("--gtest_filter=DisplayColours.CountFollowsTheScreensDepth")});
        ASSERT_TRUE(run.waitForFinished(60000));
        const QByteArray output = run.readAll();
        EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    }
}

} // namespace
} // namespace tambolin
