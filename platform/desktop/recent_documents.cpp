#include "platform/desktop/recent_documents.h"

#include "platform/desktop/mime_apps.h"
#include "platform/registry/registry_files.h"
#include "platform/runtime/last_error.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUrl>

namespace tambolin {

namespace {

const QString kBookmarkNs =
    QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString kMimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

QString now() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

QString appName() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Tamberlo Player") : name;
}

QDomDocument emptyList() {
    QDomDocument doc;
    doc.appendChild(doc.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement root = doc.createElement(QStringLiteral("xbel"));
    root.setAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    root.setAttribute(QStringLiteral("xmlns:bookmark"), kBookmarkNs);
    root.setAttribute(QStringLiteral("xmlns:mime"), kMimeNs);
    doc.appendChild(root);
    return doc;
}

bool save(const QDomDocument &doc) {
    const QString path = recentDocumentsFile();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return writeFileAtomically(path, doc.toByteArray(2));
}

QDomElement child(QDomElement parent, const QString &ns, const QString &name,
                  const QString &qname) {
    QDomElement e = parent.firstChildElement();
    for (; !e.isNull(); e = e.nextSiblingElement())
        if (e.localName() == name && e.namespaceURI() == ns)
            return e;
    e = parent.ownerDocument().createElementNS(ns, qname);
    parent.appendChild(e);
    return e;
}

QDomElement plainChild(QDomElement parent, const QString &name) {
    QDomElement e = parent.firstChildElement(name);
    if (e.isNull()) {
        e = parent.ownerDocument().createElement(name);
        parent.appendChild(e);
    }
    return e;
}

// Records that we used the bookmark's document now.
void touch(QDomElement bookmark, const QString &mimeType) {
    const QString stamp = now();
    if (!bookmark.hasAttribute(QStringLiteral("added")))
        bookmark.setAttribute(QStringLiteral("added"), stamp);
    bookmark.setAttribute(QStringLiteral("modified"), stamp);
    bookmark.setAttribute(QStringLiteral("visited"), stamp);
    QDomElement info = plainChild(bookmark, QStringLiteral("info"));
    QDomElement metadata = info.firstChildElement(QStringLiteral("metadata"));
    if (metadata.isNull()) {
        metadata = bookmark.ownerDocument().createElement(QStringLiteral("metadata"));
        metadata.setAttribute(QStringLiteral("owner"), QStringLiteral("http://freedesktop.org"));
        info.appendChild(metadata);
    }
    QDomElement mime =
        child(metadata, kMimeNs, QStringLiteral("mime-type"), QStringLiteral("mime:mime-type"));
    mime.setAttribute(QStringLiteral("type"), mimeType);
    QDomElement apps = child(metadata, kBookmarkNs, QStringLiteral("applications"),
                             QStringLiteral("bookmark:applications"));
    QDomElement app = apps.firstChildElement();
    for (; !app.isNull(); app = app.nextSiblingElement())
        if (app.localName() == QLatin1String("application") &&
            app.attribute(QStringLiteral("name")) == appName())
            break;
    if (app.isNull()) {
        app = bookmark.ownerDocument().createElementNS(kBookmarkNs,
                                                       QStringLiteral("bookmark:application"));
        app.setAttribute(QStringLiteral("name"), appName());
        const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        app.setAttribute(QStringLiteral("exec"), QStringLiteral("'%1 %u'").arg(program));
        apps.appendChild(app);
    }
    app.setAttribute(QStringLiteral("modified"), stamp);
    app.setAttribute(QStringLiteral("count"), app.attribute(QStringLiteral("count")).toInt() + 1);
}

} // namespace

QString recentDocumentsFile() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/recently-used.xbel");
}

bool addRecentDocument(const QString &path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    const QString file = recentDocumentsFile();
    QDir().mkpath(QFileInfo(file).absolutePath());
    QLockFile lock(file + QStringLiteral(".lock"));
    lock.tryLock(2000);
    QDomDocument doc;
    QFile in(file);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly) || !doc.setContent(&in, true) ||
            doc.documentElement().tagName() != QLatin1String("xbel")) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false; // someone else's list we do not understand: leave it
        }
    } else {
        doc = emptyList();
    }
    const QString href = QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded);
    QDomElement root = doc.documentElement();
    QDomElement bookmark = root.firstChildElement(QStringLiteral("bookmark"));
    for (; !bookmark.isNull(); bookmark = bookmark.nextSiblingElement(QStringLiteral("bookmark")))
        if (bookmark.attribute(QStringLiteral("href")) == href)
            break;
    if (bookmark.isNull()) {
        bookmark = doc.createElement(QStringLiteral("bookmark"));
        bookmark.setAttribute(QStringLiteral("href"), href);
        root.appendChild(bookmark);
    }
    touch(bookmark, mimeTypeOfPath(info.absoluteFilePath()));
    if (!save(doc)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

bool clearRecentDocuments() {
    const QString file = recentDocumentsFile();
    QDir().mkpath(QFileInfo(file).absolutePath());
    QLockFile lock(file + QStringLiteral(".lock"));
    lock.tryLock(2000);
    if (!save(emptyList())) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

void SHAddToRecentDocs(unsigned flags, const void *pv) noexcept {
    try {
        if (!pv) {
            clearRecentDocuments();
            return;
        }
        if (flags == SHARD_PATHA)
            addRecentDocument(QString::fromUtf8(static_cast<const char *>(pv)));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
}

} // namespace tambolin
