#include "platform/desktop/mime_apps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTextStream>

namespace tambolin {

namespace {

QStringList envDirs(const char *name, const QString &fallback) {
    const QString value = qEnvironmentVariable(name);
    QStringList dirs = (value.isEmpty() ? fallback : value).split(u':', Qt::SkipEmptyParts);
    return dirs;
}

QString envDir(const char *name, const QString &fallback) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QDir::homePath() + fallback : value;
}

// Where applications' desktop files live, most important first.
QStringList applicationDirs() {
    QStringList dirs{envDir("XDG_DATA_HOME", QStringLiteral("/.local/share"))};
    dirs += envDirs("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (QString &d : dirs)
        d += QStringLiteral("/applications");
    return dirs;
}

// The mimeapps.list files in the order they count.
QStringList listFiles() {
    QStringList desktops;
    for (const QString &d :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
        desktops << d.toLower() + QStringLiteral("-mimeapps.list");
    desktops << QStringLiteral("mimeapps.list");
    QStringList configDirs{envDir("XDG_CONFIG_HOME", QStringLiteral("/.config"))};
    configDirs += envDirs("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    QStringList files;
    for (const QString &dir : configDirs)
        for (const QString &name : desktops)
            files << dir + u'/' + name;
    for (const QString &dir : applicationDirs())
        for (const QString &name : desktops)
            files << dir + u'/' + name;
    return files;
}

// A desktop file id names a file below an applications folder, its dashes
// standing for subfolders ("kde-foo.desktop" may be kde/foo.desktop).
bool installed(const QString &id) {
    if (!id.endsWith(QLatin1String(".desktop")))
        return false;
    for (const QString &dir : applicationDirs()) {
        if (QFileInfo(dir + u'/' + id).isFile())
            return true;
        QString nested = id;
        for (qsizetype i = nested.indexOf(u'-'); i >= 0; i = nested.indexOf(u'-', i + 1)) {
            nested[i] = u'/';
            if (QFileInfo(dir + u'/' + nested).isFile())
                return true;
        }
    }
    return false;
}

// The entries of one group of a desktop-style key file, for key mimeType.
QStringList entries(const QString &file, const QString &group, const QString &mimeType) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&f);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + group + u']';
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed() == mimeType)
            return line.mid(eq + 1).split(u';', Qt::SkipEmptyParts);
    }
    return {};
}

QString handlerOf(const QString &mimeType) {
    const QStringList files = listFiles();
    QStringList removed;
    for (const QString &file : files) {
        for (const QString &id : entries(file, QStringLiteral("Default Applications"), mimeType))
            if (installed(id))
                return id;
    }
    for (const QString &file : files) {
        removed += entries(file, QStringLiteral("Removed Associations"), mimeType);
        for (const QString &id : entries(file, QStringLiteral("Added Associations"), mimeType))
            if (!removed.contains(id) && installed(id))
                return id;
    }
    for (const QString &dir : applicationDirs()) {
        for (const QString &id : entries(dir + QStringLiteral("/mimeinfo.cache"),
                                         QStringLiteral("MIME Cache"), mimeType))
            if (!removed.contains(id) && installed(id))
                return id;
    }
    return {};
}

} // namespace

QString defaultApplicationFor(const QString &mimeType) {
    if (mimeType.isEmpty())
        return {};
    QString id = handlerOf(mimeType);
    if (!id.isEmpty())
        return id;
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    for (const QString &parent : type.allAncestors()) {
        id = handlerOf(parent);
        if (!id.isEmpty())
            return id;
    }
    return {};
}

QString mimeTypeOfPath(const QString &path) {
    return QMimeDatabase().mimeTypeForFile(path).name();
}

} // namespace tambolin
