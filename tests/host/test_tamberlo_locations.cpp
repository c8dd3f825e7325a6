// What tamberlo accepts to open: arguments, dropped data and the desktop's
// recent files list.

#include "host/tamberlo/locations.h"
#include "host/tamberlo/recent_melodies.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace tambolin::tamberlo;

namespace {

TEST(TamberloLocations, ArgumentsBecomeAbsolutePathsOrAddresses) {
    const QString here = QStringLiteral("/home/user/melodies");
    EXPECT_EQ(locationFromArgument(QStringLiteral("a.tbn"), here),
              QStringLiteral("/home/user/melodies/a.tbn"));
    EXPECT_EQ(locationFromArgument(QStringLiteral("../b.tbn"), here),
              QStringLiteral("/home/user/b.tbn"));
    EXPECT_EQ(locationFromArgument(QStringLiteral("/x/./c.tbn"), here), QStringLiteral("/x/c.tbn"));
    // What a file manager hands over with %U.
    EXPECT_EQ(locationFromArgument(QStringLiteral("file:///x/%E6%A1%9C%20y.tbn"), here),
              QStringLiteral("/x/桜 y.tbn"));
    EXPECT_EQ(locationFromArgument(QStringLiteral("HTTP://Example.org/m.tbn"), here),
              QStringLiteral("http://example.org/m.tbn"));
    EXPECT_EQ(locationFromArgument(QStringLiteral("https://example.org/a%20b.tbn?x=1"), here),
              QStringLiteral("https://example.org/a%20b.tbn?x=1"));
    EXPECT_EQ(locationFromArgument(QStringLiteral("ftp://example.org/m.tbn"), here),
              QStringLiteral("ftp://example.org/m.tbn"));
}

TEST(TamberloLocations, AddressesThePlayerCannotOpenAreRefused) {
    const QString here = QStringLiteral("/nonexistent-folder");
    for (const char *text : {"", "mailto:someone@example.org", "smb://server/share/a.tbn",
                             "javascript:alert(1)", "http://", "data:audio/x-tbn;base64,AAAA"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(locationFromArgument(QString::fromLatin1(text), here).has_value());
    }
}

TEST(TamberloLocations, AFileNamedLikeAnAddressIsStillAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("notes:2.tbn")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(locationFromArgument(QStringLiteral("notes:2.tbn"), dir.path()), file.fileName());
}

TEST(TamberloLocations, DroppedDataGivesFilesAndDownloadsOnly) {
    QMimeData urls;
    urls.setUrls({QUrl::fromLocalFile(QStringLiteral("/m/a.tbn")),
                  QUrl(QStringLiteral("mailto:x@example.org")),
                  QUrl(QStringLiteral("http://example.org/b.tbn"))});
    EXPECT_EQ(
        locationsFromMimeData(urls),
        (QStringList{QStringLiteral("/m/a.tbn"), QStringLiteral("http://example.org/b.tbn")}));

    QMimeData text;
    text.setText(QStringLiteral("ftp://example.org/c.tbn\nnot an address\n"));
    EXPECT_EQ(locationsFromMimeData(text), QStringList{QStringLiteral("ftp://example.org/c.tbn")});

    QMimeData nothing;
    nothing.setText(QStringLiteral("just some words"));
    EXPECT_TRUE(locationsFromMimeData(nothing).isEmpty());

    EXPECT_TRUE(isDownload(QStringLiteral("https://example.org/a.tbn")));
    EXPECT_FALSE(isDownload(QStringLiteral("/m/http://a.tbn")));
}

TEST(TamberloLocations, AHandOverTakesAbsoluteLocationsOnlyAndNotTooMany) {
    EXPECT_EQ(
        locationsFromHandOver({QStringLiteral("/m/a.tbn"), QStringLiteral("relative.tbn"),
                               QStringLiteral("/m/../b.tbn"), QStringLiteral("smb://server/c.tbn"),
                               QStringLiteral("https://example.org/d.tbn")}),
        (QStringList{QStringLiteral("/m/a.tbn"), QStringLiteral("/b.tbn"),
                     QStringLiteral("https://example.org/d.tbn")}));
    QStringList many;
    for (int i = 0; i < 5000; ++i)
        many << QStringLiteral("/m/%1.tbn").arg(i);
    const QStringList taken = locationsFromHandOver(many);
    EXPECT_EQ(taken.size(), kMaxHandedOver);
    EXPECT_EQ(taken.first(), QStringLiteral("/m/0.tbn"));
}

TEST(TamberloLocations, TerminalTextShowsControlCharactersEscaped) {
    EXPECT_EQ(printable(QStringLiteral("a\x1b[2Jb\tc\u009bd桜")),
              QStringLiteral("a\\x1b[2Jb\\x09c\\x9bd桜"));
}

// ---- the recent files menu's list

class TamberloRecentList : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString melody(const QString &name) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }
    QString list(const QByteArray &body) {
        const QString path = m_dir.filePath(QStringLiteral("recently-used.xbel"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("<?xml version=\"1.0\"?>\n<xbel version=\"1.0\">\n" + body);
        return path;
    }
    static QByteArray bookmark(const QString &path, const char *visited) {
        return "<bookmark href=\"" + QUrl::fromLocalFile(path).toEncoded() + "\" visited=\"" +
               visited + "\"/>\n";
    }
    QTemporaryDir m_dir;
};

TEST_F(TamberloRecentList, ExistingMelodiesNewestFirst) {
    const QString older = melody(QStringLiteral("older.tbn"));
    const QString newer = melody(QStringLiteral("newer.TBN"));
    const QString text = melody(QStringLiteral("notes.txt"));
    const QString xbel =
        list(bookmark(older, "2024-01-01T10:00:00Z") + bookmark(text, "2026-01-01T10:00:00Z") +
             bookmark(newer, "2025-06-01T10:00:00Z") +
             bookmark(m_dir.filePath(QStringLiteral("gone.tbn")), "2026-02-01T10:00:00Z") +
             "<bookmark href=\"https://example.org/web.tbn\" visited=\"2026-03-01T00:00:00Z\"/>"
             "</xbel>\n");
    EXPECT_EQ(recentMelodies(xbel), (QStringList{newer, older}));
    EXPECT_EQ(recentMelodies(xbel, 1), QStringList{newer});
}

TEST_F(TamberloRecentList, ABrokenOrMissingListGivesWhatCouldBeRead) {
    const QString kept = melody(QStringLiteral("kept.tbn"));
    // Cut off in the middle, as a crashed writer might leave it.
    const QString xbel = list(bookmark(kept, "2025-01-01T00:00:00Z") + "<bookmark href=\"fi");
    EXPECT_EQ(recentMelodies(xbel), QStringList{kept});
    EXPECT_TRUE(recentMelodies(m_dir.filePath(QStringLiteral("none.xbel"))).isEmpty());
}

} // namespace
