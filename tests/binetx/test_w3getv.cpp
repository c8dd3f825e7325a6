// W3getv against servers started here: what arrives, what a failure leaves
// behind, and what it must never touch in a folder shared with others.

#include "binetx/binetx.h"
#include "local_servers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tambolin {
namespace {

using testing::ClosedPort;
using testing::HttpReply;
using testing::LocalFtpServer;
using testing::LocalHttpServer;

const QString targetName = QStringLiteral("~tambol.tbn");

// A melody-like payload: escape bytes, NULs and high bytes must survive.
std::string melodyBytes() {
    std::string s = "\x1b$B%a%m\x1b(B";
    for (int i = 0; i < 300; ++i)
        s.push_back(static_cast<char>((i * 37) & 0xFF));
    return s;
}

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

struct Outcome {
    std::int32_t result = -1;
    std::int32_t status = -1;
};

Outcome run(const QString &command) {
    QByteArray text = command.toLocal8Bit();
    Outcome o;
    o.status = 0;
    o.result = W3getv(text.data(), &o.status);
    return o;
}

// The command text the player sends: folder as given (ending in "/"), then
// the file name, then the URL.
QString commandFor(const QString &folder, const QString &url, const QString &name = targetName) {
    return QStringLiteral("-d ") + folder + QStringLiteral(" -o ") + name + QLatin1Char(' ') + url;
}

class NoProxy : public ::testing::Environment {
public:
    // A proxy in the environment must not carry the tests off this machine.
    void SetUp() override { qputenv("no_proxy", "*"); }
};
const auto *const noProxy = ::testing::AddGlobalTestEnvironment(new NoProxy);

class W3getvHttp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_server.listening());
        m_folder = m_dir.path() + QLatin1Char('/');
        m_target = m_dir.filePath(targetName);
    }
    QString url(const QString &path, const QString &scheme = QStringLiteral("http")) const {
        return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(m_server.port()).arg(path);
    }
    Outcome fetch(const QString &u) { return run(commandFor(m_folder, u)); }
    // Everything in the folder, hidden names too: a fresh file left behind shows here.
    QStringList entries() const {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
    LocalHttpServer m_server;
    QString m_folder;
    QString m_target;
};

TEST_F(W3getvHttp, WritesTheDownloadedBytesUnderTheGivenName) {
    const std::string body = melodyBytes();
    m_server.route("/songs/a.tbn", HttpReply{200, body});
    const Outcome o = fetch(url(QStringLiteral("/songs/a.tbn")));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.status, BINETX_OK);
    EXPECT_EQ(readAll(m_target), QByteArray::fromStdString(body));
    EXPECT_EQ(entries(), QStringList{targetName});
}

TEST_F(W3getvHttp, SchemeLetterCaseDoesNotMatter) {
    for (const char *scheme : {"HTTP", "Http", "hTtP", "http"}) {
        const std::string body = std::string("melody for ") + scheme;
        m_server.route("/m.tbn", HttpReply{200, body});
        const Outcome o = fetch(url(QStringLiteral("/m.tbn"), QString::fromLatin1(scheme)));
        EXPECT_EQ(o.result, 1) << scheme;
        EXPECT_EQ(readAll(m_target), QByteArray::fromStdString(body)) << scheme;
    }
}

TEST_F(W3getvHttp, FolderWithoutTrailingSlashAndWithBlanks) {
    m_server.route("/m.tbn", HttpReply{200, "abc"});
    const QString spaced = m_dir.filePath(QStringLiteral("my -o melodies"));
    ASSERT_TRUE(QDir().mkpath(spaced));
    EXPECT_EQ(run(commandFor(spaced, url(QStringLiteral("/m.tbn")))).result, 1);
    EXPECT_EQ(readAll(spaced + QLatin1Char('/') + targetName), QByteArray("abc"));

    EXPECT_EQ(run(commandFor(m_dir.path(), url(QStringLiteral("/m.tbn")))).result, 1);
    EXPECT_EQ(readAll(m_target), QByteArray("abc"));
}

TEST_F(W3getvHttp, FailuresKeepTheEarlierDownloadAndLeaveNothingNew) {
    writeFile(m_target, "earlier melody");
    ClosedPort closed;
    ASSERT_NE(closed.port(), 0);
    m_server.route("/broken", HttpReply{500, "oops"});

    struct Case {
        QString url;
        BinetxStatus status;
    };
    const Case cases[] = {
        {url(QStringLiteral("/missing.tbn")), BINETX_TRANSFER_FAILED},
        {url(QStringLiteral("/broken")), BINETX_TRANSFER_FAILED},
        {QStringLiteral("http://127.0.0.1:%1/a.tbn").arg(closed.port()), BINETX_TRANSFER_FAILED},
        {QStringLiteral("HTTP://127.0.0.1:%1/a.tbn").arg(closed.port()), BINETX_TRANSFER_FAILED},
    };
    for (const Case &c : cases) {
        const Outcome o = fetch(c.url);
        EXPECT_NE(o.result, 1) << c.url.toStdString();
        EXPECT_EQ(o.status, c.status) << c.url.toStdString();
        EXPECT_EQ(readAll(m_target), QByteArray("earlier melody")) << c.url.toStdString();
        EXPECT_EQ(entries(), QStringList{targetName}) << c.url.toStdString();
    }
}

TEST_F(W3getvHttp, SizeIsCappedAtOneMebibyte) {
    const std::string exact(static_cast<std::size_t>(binetxMaxBytes), 'x');
    const std::string over = exact + "y";
    m_server.route("/exact", HttpReply{200, exact});
    m_server.route("/over", HttpReply{200, over});
    m_server.route("/over-unannounced", HttpReply{200, over, false});
    m_server.route("/huge-unannounced", HttpReply{200, std::string(3 * 1024 * 1024, 'z'), false});

    const Outcome fits = fetch(url(QStringLiteral("/exact")));
    EXPECT_EQ(fits.result, 1);
    EXPECT_EQ(QFileInfo(m_target).size(), binetxMaxBytes);
    ASSERT_TRUE(QFile::remove(m_target));

    for (const char *path : {"/over", "/over-unannounced", "/huge-unannounced"}) {
        const Outcome o = fetch(url(QString::fromLatin1(path)));
        EXPECT_NE(o.result, 1) << path;
        EXPECT_EQ(o.status, BINETX_TOO_LARGE) << path;
        EXPECT_TRUE(entries().isEmpty()) << path << ": " << entries().join(' ').toStdString();
    }
}

TEST_F(W3getvHttp, StalledTransferTimesOutAndLeavesNoPartialFile) {
    const TransferTimeouts saved = transferTimeouts();
    TransferTimeouts quick;
    quick.connect = std::chrono::milliseconds(2000);
    quick.stall = std::chrono::seconds(1);
    quick.total = std::chrono::seconds(20);
    setTransferTimeouts(quick);

    m_server.route("/slow", HttpReply{200, std::string(4000, 's'), true, true});
    QElapsedTimer clock;
    clock.start();
    const Outcome o = fetch(url(QStringLiteral("/slow")));
    const qint64 elapsed = clock.elapsed();
    setTransferTimeouts(saved);

    EXPECT_NE(o.result, 1);
    EXPECT_EQ(o.status, BINETX_TRANSFER_FAILED);
    // The transfer library averages speed over a few seconds, so the burst
    // before the stall delays the time-out by that much; the total is 20 s.
    EXPECT_LT(elapsed, 15000);
    EXPECT_TRUE(entries().isEmpty()) << entries().join(' ').toStdString();
}

TEST_F(W3getvHttp, PlantedLinksAreReplacedNeverWrittenThrough) {
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString victim = elsewhere.filePath(QStringLiteral("victim.txt"));
    writeFile(victim, "precious");
    const QString absent = elsewhere.filePath(QStringLiteral("would-be-created"));
    m_server.route("/m.tbn", HttpReply{200, "downloaded"});

    for (const QString &linkTarget : {victim, absent}) {
        QFile::remove(m_target);
        ASSERT_TRUE(QFile::link(linkTarget, m_target));
        const Outcome o = fetch(url(QStringLiteral("/m.tbn")));
        EXPECT_EQ(o.result, 1);
        const QFileInfo info(m_target);
        EXPECT_FALSE(info.isSymLink()) << linkTarget.toStdString();
        EXPECT_EQ(readAll(m_target), QByteArray("downloaded"));
    }
    EXPECT_EQ(readAll(victim), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo::exists(absent));

    // A failed download leaves a planted link as it found it.
    QFile::remove(m_target);
    ASSERT_TRUE(QFile::link(victim, m_target));
    EXPECT_NE(fetch(url(QStringLiteral("/nothing"))).result, 1);
    EXPECT_TRUE(QFileInfo(m_target).isSymLink());
    EXPECT_EQ(readAll(victim), QByteArray("precious"));
}

TEST_F(W3getvHttp, RejectsCommandsItCannotCarryOut) {
    m_server.route("/m.tbn", HttpReply{200, "abc"});
    const QString good = url(QStringLiteral("/m.tbn"));
    struct Case {
        QString command;
        BinetxStatus status;
    };
    const Case cases[] = {
        {QString(), BINETX_BAD_COMMAND},
        {QStringLiteral("-d ") + m_folder + QLatin1Char(' ') + good, BINETX_BAD_COMMAND},
        {commandFor(m_folder, QStringLiteral("https://127.0.0.1:1/m.tbn")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, QStringLiteral("file:///etc/passwd")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, QStringLiteral("127.0.0.1/m.tbn")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good, QStringLiteral("../escaped.tbn")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good, QStringLiteral("..")), BINETX_BAD_COMMAND},
        {commandFor(QString(), good), BINETX_BAD_COMMAND},
        {commandFor(m_dir.filePath(QStringLiteral("no such folder")), good), BINETX_BAD_FOLDER},
    };
    for (const Case &c : cases) {
        const Outcome o = run(c.command);
        EXPECT_EQ(o.result, 0) << c.command.toStdString();
        EXPECT_EQ(o.status, c.status) << c.command.toStdString();
    }
    EXPECT_TRUE(entries().isEmpty()) << entries().join(' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("../escaped.tbn"))));
    EXPECT_EQ(m_server.requestCount(), 0);

    // A null command or status pointer is tolerated.
    EXPECT_EQ(W3getv(nullptr, nullptr), 0);
    QByteArray text = commandFor(m_folder, good).toLocal8Bit();
    EXPECT_EQ(W3getv(text.data(), nullptr), 1);
}

class W3getvFtp : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_served = new QTemporaryDir;
        writeFile(s_served->filePath(QStringLiteral("song.tbn")),
                  QByteArray::fromStdString(melodyBytes()));
        writeFile(s_served->filePath(QStringLiteral("big.tbn")),
                  QByteArray(static_cast<qsizetype>(binetxMaxBytes) + 1, 'b'));
        s_server = new LocalFtpServer(s_served->path());
    }
    static void TearDownTestSuite() {
        delete s_server;
        delete s_served;
        s_server = nullptr;
        s_served = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(s_server->port(), 0) << s_server->log().toStdString();
        ASSERT_TRUE(m_dir.isValid());
    }
    Outcome fetch(const QString &scheme, const QString &file) {
        const QString u =
            QStringLiteral("%1://127.0.0.1:%2/%3").arg(scheme).arg(s_server->port()).arg(file);
        return run(commandFor(m_dir.path() + QLatin1Char('/'), u));
    }
    QString target() const { return m_dir.filePath(targetName); }

    static inline QTemporaryDir *s_served = nullptr;
    static inline LocalFtpServer *s_server = nullptr;
    QTemporaryDir m_dir;
};

TEST_F(W3getvFtp, DownloadsWithEitherSchemeCase) {
    for (const char *scheme : {"ftp", "FTP", "Ftp"}) {
        QFile::remove(target());
        const Outcome o = fetch(QString::fromLatin1(scheme), QStringLiteral("song.tbn"));
        EXPECT_EQ(o.result, 1) << scheme;
        EXPECT_EQ(readAll(target()), QByteArray::fromStdString(melodyBytes())) << scheme;
    }
}

TEST_F(W3getvFtp, MissingAndOversizeFilesFailWithoutLeavingAFile) {
    const Outcome missing = fetch(QStringLiteral("ftp"), QStringLiteral("nope.tbn"));
    EXPECT_NE(missing.result, 1);
    EXPECT_EQ(missing.status, BINETX_TRANSFER_FAILED);

    const Outcome big = fetch(QStringLiteral("FTP"), QStringLiteral("big.tbn"));
    EXPECT_NE(big.result, 1);
    EXPECT_EQ(big.status, BINETX_TOO_LARGE);

    EXPECT_TRUE(QDir(m_dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
}

} // namespace
} // namespace tambolin
