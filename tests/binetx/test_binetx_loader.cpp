// The player's side of the download library: found by name next to the
// player's own library, and a missing library or function is a failed
// download rather than a crash.

#include "binetx/binetx.h"
#include "local_servers.h"
#include "platform/files/binetx_loader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace tambolin {
namespace {

using testing::HttpReply;
using testing::LocalHttpServer;

QString commandFor(const QString &folder, const QString &url) {
    return QStringLiteral("-d ") + folder + QStringLiteral(" -o ~tambol.tbn ") + url;
}

// Restores the standard library when a test installed another.
class InstalledBinetx final {
public:
    explicit InstalledBinetx(BinetxLibrary &library) { setCurrentBinetx(&library); }
    ~InstalledBinetx() { setCurrentBinetx(nullptr); }
    InstalledBinetx(const InstalledBinetx &) = delete;
    InstalledBinetx &operator=(const InstalledBinetx &) = delete;
};

TEST(BinetxLoader, MissingLibraryOrFunctionIsAFailedDownload) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString command =
        commandFor(dir.path() + QLatin1Char('/'), QStringLiteral("http://127.0.0.1:1/a.tbn"));
    const QString withoutFunction = QStringLiteral(TAMBOLIN_BINARY_DIR "/lib/libTAMBOLIN.so");
    ASSERT_TRUE(QFileInfo::exists(withoutFunction));

    for (const QString &name : {QStringLiteral("binetx-not-installed"),
                                dir.filePath(QStringLiteral("libbinetx.so")), withoutFunction}) {
        BinetxLibrary library(name);
        InstalledBinetx installed(library);
        Long reserved = 0;
        // Twice: a failed load is tried again, and fails again.
        EXPECT_EQ(W3getv(command, reserved), 0) << name.toStdString();
        EXPECT_EQ(W3getv(command, reserved), 0) << name.toStdString();
        EXPECT_TRUE(library.loadedFrom().isEmpty()) << name.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST(BinetxLoader, FindsTheLibraryNextToThePlayerAndPassesTheCommandText) {
    qputenv("no_proxy", "*");
    LocalHttpServer server;
    ASSERT_TRUE(server.listening());
    server.route("/a.tbn", HttpReply{200, "melody"});
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Blanks and non-ASCII letters in the folder travel through the 8-bit text.
    const QString folder = dir.filePath(QStringLiteral("着メロ dl"));
    ASSERT_TRUE(QDir().mkpath(folder));

    Long reserved = 0;
    const QString url = QStringLiteral("HTTP://127.0.0.1:%1/a.tbn").arg(server.port());
    EXPECT_EQ(W3getv(commandFor(folder + QLatin1Char('/'), url), reserved), 1);
    EXPECT_EQ(reserved, 0);
    QFile file(folder + QStringLiteral("/~tambol.tbn"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("melody"));

    const QString expected =
        QFileInfo(QStringLiteral(TAMBOLIN_BINARY_DIR "/lib/libbinetx.so")).canonicalFilePath();
    EXPECT_EQ(QFileInfo(currentBinetx().loadedFrom()).canonicalFilePath(), expected);

    // A failure comes back as a result other than 1, with the reason in the
    // second argument.
    EXPECT_EQ(W3getv(commandFor(folder + QLatin1Char('/'), url + QStringLiteral("x")), reserved),
              0);
    EXPECT_NE(reserved, 0);
}

TEST(BinetxLoader, AnotherThreadCancelsThroughTheLoader) {
    qputenv("no_proxy", "*");
    LocalHttpServer server;
    ASSERT_TRUE(server.listening());
    HttpReply slow{200, std::string(2000, 's')};
    slow.trickleMs = 20;
    server.route("/slow.tbn", slow);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    alignas(std::atomic_ref<std::int32_t>::required_alignment) std::int32_t cancel = 0;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::atomic_ref<std::int32_t>(cancel).store(1);
    });
    QElapsedTimer clock;
    clock.start();
    Long reserved = 0;
    const Long result =
        W3getv(commandFor(dir.path() + QLatin1Char('/'),
                          QStringLiteral("http://127.0.0.1:%1/slow.tbn").arg(server.port())),
               reserved, &cancel);
    canceller.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(reserved, BINETX_CANCELLED);
    EXPECT_LT(clock.elapsed(), 3000); // the whole body would take 40 s
    EXPECT_TRUE(currentBinetx().canCancel());
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

} // namespace
} // namespace tambolin
