// Writing FileName: local paths, and URLs downloaded from servers the tests
// start on 127.0.0.1 through the download library.

#include "binetx/local_servers.h"
#include "control/automation/automation.h"
#include "control/title_label.h"
#include "panel_rig.h"
#include "platform/files/binetx_loader.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace tambolin::testing {
namespace {

const QString failed = QStringLiteral("のﾀﾞｳﾝﾛｰﾄﾞに失敗");

class FileNameWrite : public ControlTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_files.isValid() && m_temp.isValid());
        // The temporary folder is one of the test's own; the download lands
        // in the user's folder inside it.
        m_hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        m_savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        m_userFolder = m_temp.path() + QStringLiteral("/tamberlo-") + QString::number(geteuid());
        m_downloaded = m_userFolder + QStringLiteral("/~tambol.tbn");

        m_served = path(QStringLiteral("served/song.tbn"));
        ASSERT_TRUE(QDir(m_files.path()).mkdir(QStringLiteral("served")));
        ASSERT_TRUE(writeMelodyFile(m_served, QStringLiteral("FROM AFAR"), {10, 12, 12}));
        m_servedBytes = fileBytes(m_served);
        m_local = path(QStringLiteral("local.tbn"));
        ASSERT_TRUE(writeMelodyFile(m_local, QStringLiteral("AT HOME"), {4, 2}, 12));
        ASSERT_TRUE(m_http.listening());
        m_http.route("/song.tbn", HttpReply{200, m_servedBytes.toStdString()});
    }
    void TearDown() override {
        if (m_hadTmp)
            qputenv("TMPDIR", m_savedTmp);
        else
            qunsetenv("TMPDIR");
    }

    QString path(const QString &name) const { return m_files.path() + u'/' + name; }
    QString httpUrl(const QString &scheme, const char *file = "song.tbn") const {
        return scheme + QStringLiteral("127.0.0.1:%1/").arg(m_http.port()) +
               QString::fromLatin1(file);
    }
    static void write(PLAYCTRL &ctrl, QString value) { ctrl.setFileName(value); }

    // The control shows the melody served from afar, loaded from the temporary file.
    void expectDownloaded(PLAYCTRL &ctrl, bool playing = false) const {
        EXPECT_EQ(ctrl.FileName(), m_downloaded);
        EXPECT_EQ(fileBytes(m_downloaded), m_servedBytes);
        EXPECT_EQ(ctrl.MTitle(), QStringLiteral("FROM AFAR"));
        EXPECT_EQ(partCounts(), (std::vector<int>{10, 12, 12}));
        EXPECT_EQ(mod().maxprt, 2);
        EXPECT_EQ(ctrl.Label2(1)->text(), QStringLiteral("12"));
        // Play is enabled once loaded; while playing, stop is instead.
        EXPECT_EQ(ctrl.Command1(1)->isEnabled(), !playing);
        EXPECT_EQ(ctrl.Command1(2)->isEnabled(), playing);
        EXPECT_EQ(ctrl.Play(), playing ? True : False);
        EXPECT_EQ(ctrl.MousePointer(), 0);
    }
    // A failed download: the failure text, and the melody at home untouched.
    void expectFailed(PLAYCTRL &ctrl, const QString &url) const {
        EXPECT_EQ(ctrl.MTitle(), url + failed);
        EXPECT_EQ(ctrl.FileName(), m_local);
        EXPECT_EQ(partCounts(), (std::vector<int>{4, 2, 0}));
        EXPECT_EQ(ctrl.MousePointer(), 0);
        EXPECT_EQ(ctrl.Play(), False);
    }

    QTemporaryDir m_files;
    QTemporaryDir m_temp;
    bool m_hadTmp = false;
    QByteArray m_savedTmp;
    QString m_userFolder;
    QString m_downloaded;
    QString m_served;
    QByteArray m_servedBytes;
    QString m_local;
    LocalHttpServer m_http;
};

TEST_F(FileNameWrite, ALocalPathLoadsAndReadsBackUnchanged) {
    PLAYCTRL &ctrl = makeControl();
    write(ctrl, m_served);
    EXPECT_EQ(ctrl.FileName(), m_served);
    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("FROM AFAR"));
    EXPECT_EQ(mod().maxprt, 2);
    EXPECT_EQ(ctrl.Label2(1)->text(), QStringLiteral("12"));
    EXPECT_TRUE(ctrl.Command1(1)->isEnabled());
    EXPECT_EQ(m_http.requestCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(m_downloaded));
}

TEST_F(FileNameWrite, HostsWriteItThroughTheAutomationInterface) {
    PLAYCTRL &ctrl = makeControl();
    QVariantList byName{m_local};
    EXPECT_EQ(automation::Invoke(ctrl, QStringLiteral("filename"), automation::PropertyPut, byName)
                  .status,
              automation::Status::Ok);
    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("AT HOME"));
    QVariantList byId{httpUrl(QStringLiteral("http://"))};
    automation::Invoke(ctrl, 0x68030002, automation::PropertyPut, byId);
    QVariantList none;
    EXPECT_EQ(automation::Invoke(ctrl, 0x68030002, automation::PropertyGet, none).result,
              QVariant(m_downloaded));
    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("FROM AFAR"));
}

TEST_F(FileNameWrite, HttpInAnyLetterCaseIsDownloadedIntoTheTemporaryFile) {
    for (const char *scheme : {"http://", "HTTP://", "hTtP://"}) {
        SCOPED_TRACE(scheme);
        PLAYCTRL &ctrl = makeControl();
        write(ctrl, m_local);
        QFile::remove(m_downloaded);
        write(ctrl, httpUrl(QString::fromLatin1(scheme)));
        expectDownloaded(ctrl);
        destroyControl(ctrl);
    }
    EXPECT_EQ(m_http.requestCount(), 3);
}

TEST_F(FileNameWrite, FtpInAnyLetterCaseIsDownloadedIntoTheTemporaryFile) {
    LocalFtpServer ftp(path(QStringLiteral("served")));
    ASSERT_NE(ftp.port(), 0) << ftp.log().toStdString();
    for (const char *scheme : {"ftp://", "FTP://"}) {
        SCOPED_TRACE(scheme);
        PLAYCTRL &ctrl = makeControl();
        QFile::remove(m_downloaded);
        write(ctrl, QString::fromLatin1(scheme) +
                        QStringLiteral("127.0.0.1:%1/song.tbn").arg(ftp.port()));
        expectDownloaded(ctrl);
        destroyControl(ctrl);
    }
}

TEST_F(FileNameWrite, FailedDownloadsShowTheFailureTextAndChangeNothingElse) {
    ClosedPort closed;
    const QString refused = QStringLiteral("http://127.0.0.1:%1/song.tbn").arg(closed.port());
    for (const QString &url : {httpUrl(QStringLiteral("http://"), "missing.tbn"), refused}) {
        SCOPED_TRACE(url.toStdString());
        PLAYCTRL &ctrl = makeControl();
        write(ctrl, m_local);
        write(ctrl, url);
        expectFailed(ctrl, url);
        destroyControl(ctrl);
    }
}

TEST_F(FileNameWrite, WithoutTheDownloadLibraryEveryUrlFails) {
    BinetxLibrary missing(path(QStringLiteral("no-such-dir/libbinetx.so")));
    setCurrentBinetx(&missing);
    PLAYCTRL &ctrl = makeControl();
    write(ctrl, m_local);
    const QString url = httpUrl(QStringLiteral("HTTP://"));
    write(ctrl, url);
    setCurrentBinetx(nullptr);
    expectFailed(ctrl, url);
    EXPECT_EQ(m_http.requestCount(), 0);
}

TEST_F(FileNameWrite, OtherSchemesAndShortValuesAreLocalNames) {
    PLAYCTRL &ctrl = makeControl();
    for (const QString &value :
         {httpUrl(QStringLiteral("https://")), QStringLiteral("ftp:/"), QStringLiteral("http:/")}) {
        SCOPED_TRACE(value.toStdString());
        write(ctrl, m_local);
        write(ctrl, value);
        EXPECT_EQ(ctrl.FileName(), value);
        EXPECT_EQ(partCounts(), (std::vector<int>{0, 0, 0})); // nothing could be read
        EXPECT_TRUE(ctrl.Command1(1)->isEnabled());
    }
    EXPECT_EQ(m_http.requestCount(), 0);
}

TEST_F(FileNameWrite, ADownloadWhilePlayingStartsTheNewMelody) {
    PLAYCTRL &ctrl = makeControl();
    write(ctrl, m_local);
    setPlay(ctrl, true);
    runTo(500);
    ASSERT_EQ(ctrl.Play(), True);
    clearSent();

    write(ctrl, httpUrl(QStringLiteral("http://")));
    expectDownloaded(ctrl, true);
    // The new melody starts from its first note.
    runTo(now() + 50);
    const std::vector<DWORD> words = this->words();
    EXPECT_NE(std::find(words.begin(), words.end(), noteOn(0)), words.end());
}

TEST_F(FileNameWrite, AFailedDownloadWhilePlayingLeavesPlaybackStopped) {
    PLAYCTRL &ctrl = makeControl();
    write(ctrl, m_local);
    setPlay(ctrl, true);
    runTo(500);
    ASSERT_EQ(ctrl.Play(), True);

    const QString url = httpUrl(QStringLiteral("http://"), "missing.tbn");
    write(ctrl, url);
    expectFailed(ctrl, url);
    clearSent();
    runTo(now() + 1000);
    EXPECT_TRUE(words().empty()); // nothing plays on
}

TEST_F(FileNameWrite, AnythingPlantedAtTheTemporaryNameIsReplacedNotWrittenThrough) {
    const QString victim = path(QStringLiteral("victim.txt"));
    QFile victimFile(victim);
    ASSERT_TRUE(victimFile.open(QIODevice::WriteOnly));
    victimFile.write("keep me");
    victimFile.close();
    ASSERT_TRUE(QDir().mkdir(m_userFolder));
    ASSERT_TRUE(QFile::link(victim, m_downloaded));

    PLAYCTRL &ctrl = makeControl();
    write(ctrl, httpUrl(QStringLiteral("http://")));
    EXPECT_EQ(fileBytes(victim), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo(m_downloaded).isSymLink());
    expectDownloaded(ctrl);
}

// What another user of a shared temporary folder could do no longer matters.
TEST_F(FileNameWrite, DownloadsGoToAFolderOnlyTheUserReaches) {
    // The old download file, planted as a folder, used to block every load.
    ASSERT_TRUE(QDir(m_temp.path()).mkdir(QStringLiteral("~tambol.tbn")));
    PLAYCTRL &ctrl = makeControl();
    write(ctrl, httpUrl(QStringLiteral("http://")));
    expectDownloaded(ctrl);
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(m_userFolder).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(st.st_uid, geteuid());

    // The user's own folder opened up is closed again.
    ASSERT_EQ(::chmod(QFile::encodeName(m_userFolder).constData(), 0777), 0);
    QFile::remove(m_downloaded);
    write(ctrl, httpUrl(QStringLiteral("http://")));
    expectDownloaded(ctrl);
    ASSERT_EQ(::lstat(QFile::encodeName(m_userFolder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
}

TEST_F(FileNameWrite, AFolderPlantedUnderTheUsersNameIsNotUsed) {
    const QString elsewhere = path(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkdir(elsewhere));
    const QString url = httpUrl(QStringLiteral("http://"));
    {
        SCOPED_TRACE("a link to another folder");
        ASSERT_TRUE(QFile::link(elsewhere, m_userFolder));
        PLAYCTRL &ctrl = makeControl();
        write(ctrl, m_local);
        write(ctrl, url);
        expectFailed(ctrl, url);
        destroyControl(ctrl);
        ASSERT_TRUE(QFile::remove(m_userFolder));
    }
    if (geteuid() == 0) {
        SCOPED_TRACE("a folder of another user's");
        ASSERT_TRUE(QDir().mkdir(m_userFolder));
        ASSERT_EQ(::chown(QFile::encodeName(m_userFolder).constData(), 65534, 65534), 0);
        PLAYCTRL &ctrl = makeControl();
        write(ctrl, m_local);
        write(ctrl, url);
        expectFailed(ctrl, url);
    }
    EXPECT_TRUE(QDir(elsewhere).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_FALSE(QFileInfo::exists(m_downloaded));
    EXPECT_EQ(m_http.requestCount(), 0);
}

// A URL used to reach the download command text as written, so its blanks
// could give the library another file name and folder.
TEST_F(FileNameWrite, AUrlWithBlanksWritesOnlyTheDownloadFile) {
    m_http.route("/a%20b.tbn", HttpReply{200, m_servedBytes.toStdString()});
    PLAYCTRL &ctrl = makeControl();
    write(ctrl, httpUrl(QStringLiteral("http://"), "a b.tbn"));
    expectDownloaded(ctrl);

    write(ctrl, m_local);
    const QString hostile = httpUrl(QStringLiteral("http://"), "song.tbn -o notes.txt ") +
                            httpUrl(QStringLiteral("http://"));
    write(ctrl, hostile);
    expectFailed(ctrl, hostile); // the server has no such path
    EXPECT_EQ(QDir(m_userFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("~tambol.tbn")});
    EXPECT_FALSE(QFileInfo::exists(m_temp.path() + QStringLiteral("/notes.txt")));
}

// A server that sends a byte every 20 ms: the download takes a while.
class SlowFileNameWrite : public FileNameWrite {
protected:
    void SetUp() override {
        FileNameWrite::SetUp();
        HttpReply slow{200, m_servedBytes.toStdString()};
        slow.trickleMs = 20;
        m_http.route("/slow.tbn", slow);
        m_slowUrl = httpUrl(QStringLiteral("http://"), "slow.tbn");
    }
    // Runs action on the event loop once, some time into the download.
    void during(std::function<void()> action) {
        QTimer::singleShot(200, &m_context, std::move(action));
    }

    QObject m_context;
    QString m_slowUrl;
};

TEST_F(SlowFileNameWrite, TheWindowKeepsRunningWhileADownloadRuns) {
    PLAYCTRL &ctrl = makeControl();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);
    bool busyMeanwhile = false;
    during([&] { busyMeanwhile = ctrl.MousePointer() == 11; });
    write(ctrl, m_slowUrl);
    EXPECT_GE(ticks, 5); // the melody takes over a second to arrive
    EXPECT_TRUE(busyMeanwhile);
    expectDownloaded(ctrl); // loaded by the time the write returns
}

TEST_F(SlowFileNameWrite, ANewerWriteWinsOverADownloadStillRunning) {
    PLAYCTRL &ctrl = makeControl();
    during([&] { write(ctrl, m_local); });
    write(ctrl, m_slowUrl);
    EXPECT_EQ(ctrl.FileName(), m_local);
    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("AT HOME"));
    EXPECT_EQ(partCounts(), (std::vector<int>{4, 2, 0}));
    EXPECT_EQ(ctrl.MousePointer(), 0);
    EXPECT_FALSE(QFileInfo::exists(m_downloaded)); // given up, nothing left
}

TEST_F(SlowFileNameWrite, TheControlMayEndWhileItsDownloadRuns) {
    PLAYCTRL &ctrl = makeControl();
    during([&] { destroyControl(ctrl); });
    write(ctrl, m_slowUrl);
    EXPECT_TRUE(m_controls.empty());
    EXPECT_FALSE(QFileInfo::exists(m_downloaded));
    // The next control downloads as usual.
    PLAYCTRL &next = makeControl();
    write(next, httpUrl(QStringLiteral("http://")));
    expectDownloaded(next);
}

} // namespace
} // namespace tambolin::testing
