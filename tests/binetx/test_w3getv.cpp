// W3getv against servers started here: what arrives, what a failure leaves
// behind, and what it must never touch in a folder shared with others.

#include "binetx/binetx.h"
#include "local_servers.h"

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

using testing::ClosedPort;
using testing::HttpReply;
using testing::LocalFtpServer;
using testing::LocalHttpServer;
using testing::LocalHttpsServer;

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
    const QString spaced = m_dir.filePath(QStringLiteral("my melodies -d x-o"));
    ASSERT_TRUE(QDir().mkpath(spaced));
    EXPECT_EQ(run(commandFor(spaced, url(QStringLiteral("/m.tbn")))).result, 1);
    EXPECT_EQ(readAll(spaced + QLatin1Char('/') + targetName), QByteArray("abc"));

    EXPECT_EQ(run(commandFor(m_dir.path(), url(QStringLiteral("/m.tbn")))).result, 1);
    EXPECT_EQ(readAll(m_target), QByteArray("abc"));
}

// A URL with blanks used to be read from the right as "... -o NAME URL", so
// its tail chose the file, and its head became part of the folder.
TEST_F(W3getvHttp, AUrlWithBlanksCannotMoveTheWrite) {
    m_server.route("/ok", HttpReply{200, "planted"});
    const QString given = m_dir.filePath(QStringLiteral("shared")) + QLatin1Char('/');
    // What the old reading took for the folder: "shared/ -o ~tambol.tbn http:"
    // then "/../../victim", which is m_dir/victim.
    ASSERT_TRUE(QDir().mkpath(given + QStringLiteral(" -o ~tambol.tbn http:")));
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("victim"))));
    const QString hostile =
        QStringLiteral("http://../../victim -o notes.txt ") + url(QStringLiteral("/ok"));

    const Outcome o = run(commandFor(given, hostile));
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.status, BINETX_BAD_COMMAND);
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("victim/notes.txt"))));
    EXPECT_FALSE(QFileInfo::exists(given + targetName));
    EXPECT_EQ(m_server.requestCount(), 0);

    // The same URL as one token, its blanks encoded, names no other file.
    QString encoded = hostile;
    encoded.replace(QLatin1Char(' '), QStringLiteral("%20"));
    EXPECT_NE(run(commandFor(given, encoded)).result, 1);
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("victim/notes.txt"))));
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

// Short limits for the duration of a test.
class QuickTimeouts final {
public:
    QuickTimeouts() : m_saved(transferTimeouts()) {
        TransferTimeouts quick;
        quick.connect = std::chrono::milliseconds(2000);
        quick.lowSpeedTime = std::chrono::seconds(1);
        quick.total = std::chrono::seconds(20);
        setTransferTimeouts(quick);
    }
    ~QuickTimeouts() { setTransferTimeouts(m_saved); }
    QuickTimeouts(const QuickTimeouts &) = delete;
    QuickTimeouts &operator=(const QuickTimeouts &) = delete;

private:
    TransferTimeouts m_saved;
};

TEST_F(W3getvHttp, StalledOrTricklingTransfersGiveUpAndLeaveNoPartialFile) {
    EXPECT_EQ(TransferTimeouts{}.lowSpeedBytes, 1024);
    EXPECT_EQ(TransferTimeouts{}.lowSpeedTime, std::chrono::seconds(15));
    QuickTimeouts quick;
    HttpReply stalled{200, std::string(4000, 's')};
    stalled.stall = true;
    HttpReply trickle{200, std::string(4000, 't')};
    trickle.trickleMs = 20; // 50 bytes a second: 80 s for the whole body
    m_server.route("/stalled", stalled);
    m_server.route("/trickle", trickle);
    for (const char *path : {"/stalled", "/trickle"}) {
        QElapsedTimer clock;
        clock.start();
        const Outcome o = fetch(url(QString::fromLatin1(path)));
        const qint64 elapsed = clock.elapsed();
        EXPECT_NE(o.result, 1) << path;
        EXPECT_EQ(o.status, BINETX_TRANSFER_FAILED) << path;
        // The transfer library averages speed over a few seconds, so a burst
        // delays the time-out by that much; the total is 20 s.
        EXPECT_LT(elapsed, 12000) << path;
        EXPECT_TRUE(entries().isEmpty()) << path << entries().join(' ').toStdString();
    }
}

TEST_F(W3getvHttp, AnotherThreadCancelsADownload) {
    HttpReply trickle{200, std::string(4000, 't')};
    trickle.trickleMs = 20;
    m_server.route("/trickle", trickle);
    QByteArray text = commandFor(m_folder, url(QStringLiteral("/trickle"))).toLocal8Bit();
    alignas(std::atomic_ref<std::int32_t>::required_alignment) std::int32_t cancel = 0;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::atomic_ref<std::int32_t>(cancel).store(1);
    });
    QElapsedTimer clock;
    clock.start();
    std::int32_t status = 0;
    const std::int32_t result = W3getvCancellable(text.data(), &status, &cancel);
    const qint64 elapsed = clock.elapsed();
    canceller.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(status, BINETX_CANCELLED);
    EXPECT_LT(elapsed, 3000);
    EXPECT_TRUE(entries().isEmpty()) << entries().join(' ').toStdString();

    // Cancelled before it starts: nothing is fetched.
    const int before = m_server.requestCount();
    EXPECT_EQ(W3getvCancellable(text.data(), &status, &cancel), 0);
    EXPECT_EQ(status, BINETX_CANCELLED);
    EXPECT_EQ(m_server.requestCount(), before);
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
        {commandFor(m_folder, QStringLiteral("gopher://127.0.0.1:1/m.tbn")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good + QStringLiteral(" ") + good), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good + QStringLiteral("\t")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good + QStringLiteral("\x01")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, QStringLiteral("file:///etc/passwd")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, QStringLiteral("127.0.0.1/m.tbn")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good, QStringLiteral("../escaped.tbn")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good, QStringLiteral("..")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good, QStringLiteral("..\\escaped.tbn")), BINETX_BAD_COMMAND},
        {commandFor(m_folder, good, QStringLiteral("a\x1b.tbn")), BINETX_BAD_COMMAND},
        {commandFor(m_folder + QStringLiteral(" -o x"), good), BINETX_BAD_COMMAND},
        {commandFor(m_folder + QStringLiteral("\n"), good), BINETX_BAD_COMMAND},
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

TEST_F(W3getvHttp, RedirectsGoToWebAndFtpServersOnly) {
    QTemporaryDir secret;
    ASSERT_TRUE(secret.isValid());
    writeFile(secret.filePath(QStringLiteral("s.txt")), "local secret");
    m_server.route("/m.tbn", HttpReply{200, "moved melody"});
    const auto redirect = [](const std::string &to) {
        HttpReply r{302, ""};
        r.location = to;
        return r;
    };
    m_server.route("/moved", redirect(url(QStringLiteral("/m.tbn")).toStdString()));
    m_server.route("/to-file",
                   redirect("file://" + secret.filePath(QStringLiteral("s.txt")).toStdString()));
    m_server.route("/to-dict", redirect("dict://127.0.0.1:1/d"));
    m_server.route("/to-gopher", redirect("gopher://127.0.0.1:1/g"));

    const Outcome moved = fetch(url(QStringLiteral("/moved")));
    EXPECT_EQ(moved.result, 1);
    EXPECT_EQ(readAll(m_target), QByteArray("moved melody"));
    ASSERT_TRUE(QFile::remove(m_target));
    for (const char *path : {"/to-file", "/to-dict", "/to-gopher"}) {
        const Outcome o = fetch(url(QString::fromLatin1(path)));
        EXPECT_NE(o.result, 1) << path;
        EXPECT_EQ(o.status, BINETX_TRANSFER_FAILED) << path;
        EXPECT_TRUE(entries().isEmpty()) << path;
    }
}

// Trusts the given certificates for the duration of a test.
class TrustedCertificates final {
public:
    explicit TrustedCertificates(const QString &pem) {
        setTrustedCertificates(QFile::encodeName(pem).toStdString());
    }
    ~TrustedCertificates() { setTrustedCertificates({}); }
    TrustedCertificates(const TrustedCertificates &) = delete;
    TrustedCertificates &operator=(const TrustedCertificates &) = delete;
};

TEST_F(W3getvHttp, SecureServersDirectlyAndAfterARedirect) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString served = work.filePath(QStringLiteral("served"));
    ASSERT_TRUE(QDir().mkpath(served));
    writeFile(served + QStringLiteral("/s.tbn"), QByteArray::fromStdString(melodyBytes()));
    LocalHttpsServer https(served);
    ASSERT_NE(https.port(), 0) << https.log().toStdString();
    const QString secure = QStringLiteral("https://127.0.0.1:%1/s.tbn").arg(https.port());
    HttpReply moved{302, ""};
    moved.location = secure.toStdString();
    m_server.route("/moved", moved);

    {
        TrustedCertificates trusted(https.certificate());
        for (const QString &u : {secure, url(QStringLiteral("/moved")),
                                 QStringLiteral("HTTPS://127.0.0.1:%1/s.tbn").arg(https.port())}) {
            QFile::remove(m_target);
            const Outcome o = fetch(u);
            EXPECT_EQ(o.result, 1) << u.toStdString() << " " << o.status;
            EXPECT_EQ(readAll(m_target), QByteArray::fromStdString(melodyBytes()))
                << u.toStdString();
        }
    }
    // A certificate nobody vouches for is refused.
    QFile::remove(m_target);
    EXPECT_EQ(fetch(secure).status, BINETX_TRANSFER_FAILED);
    EXPECT_TRUE(entries().isEmpty());
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
