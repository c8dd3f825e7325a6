// tamberlo's own downloads (the https:// addresses the control's download
// library does not take), against a local server: kept in the player's own
// folder, refused when too large or failed.

#include "binetx/local_servers.h"
#include "host/tamberlo/downloader.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tambolin::tamberlo;
using tambolin::testing::HttpReply;
using tambolin::testing::LocalHttpServer;

namespace {

class TamberloDownload : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.listening()); }
    QUrl url(const char *path) const {
        return QUrl(
            QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.port()).arg(QLatin1String(path)));
    }
    // Waits for the transfer to end; the arguments of the signal it ended with.
    QList<QVariant> finish(QSignalSpy &fetched, QSignalSpy &failed) {
        QDeadlineTimer deadline(10000);
        while (fetched.isEmpty() && failed.isEmpty() && !deadline.hasExpired())
            fetched.wait(100);
        return fetched.isEmpty() ? (failed.isEmpty() ? QList<QVariant>() : failed.takeFirst())
                                 : fetched.takeFirst();
    }

    LocalHttpServer m_server;
    Downloader m_downloader;
    QSignalSpy m_fetched{&m_downloader, &Downloader::fetched};
    QSignalSpy m_failed{&m_downloader, &Downloader::failed};
};

TEST_F(TamberloDownload, AMelodyLandsInThePlayersOwnFolder) {
    m_server.route("/a.tbn", HttpReply{200, "first melody"});
    m_server.route("/b.tbn", HttpReply{200, "second", false});
    m_downloader.fetch(url("/a.tbn"));
    QList<QVariant> result = finish(m_fetched, m_failed);
    ASSERT_EQ(result.size(), 1) << "the download failed";
    const QString path = result.first().toString();
    EXPECT_TRUE(m_downloader.holds(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("first melody"));
    file.close();

    // The next download replaces it, even without a length given.
    m_downloader.fetch(url("/b.tbn"));
    result = finish(m_fetched, m_failed);
    ASSERT_EQ(result.size(), 1);
    QFile second(result.first().toString());
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.readAll(), QByteArray("second"));
    EXPECT_FALSE(m_downloader.holds(QStringLiteral("/tmp/elsewhere.tbn")));
}

TEST_F(TamberloDownload, FailuresAndOversizedRepliesAreReported) {
    m_server.route("/big.tbn", HttpReply{200, std::string(Downloader::kMaxBytes + 4096, 'x')});
    m_server.route("/big-unannounced.tbn",
                   HttpReply{200, std::string(Downloader::kMaxBytes + 4096, 'x'), false});
    for (const char *path : {"/missing.tbn", "/big.tbn", "/big-unannounced.tbn"}) {
        SCOPED_TRACE(path);
        m_downloader.fetch(url(path));
        const QList<QVariant> result = finish(m_fetched, m_failed);
        ASSERT_EQ(result.size(), 2) << "expected a failure";
        EXPECT_EQ(result.at(0).toUrl(), url(path));
        EXPECT_FALSE(result.at(1).toString().isEmpty());
    }
    EXPECT_TRUE(m_fetched.isEmpty());
}

} // namespace
