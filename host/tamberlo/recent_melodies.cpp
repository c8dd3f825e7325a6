#include "host/tamberlo/recent_melodies.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>
#include <vector>

namespace tambolin::tamberlo {

namespace {

struct Entry {
    QString path;
    QDateTime used;
};

QDateTime stamp(const QXmlStreamAttributes &attributes) {
    for (const char *name : {"visited", "modified", "added"}) {
        const QDateTime when =
            QDateTime::fromString(attributes.value(QLatin1String(name)).toString(), Qt::ISODate);
        if (when.isValid())
            return when;
    }
    return {};
}

} // namespace

QStringList recentMelodies(const QString &xbelPath, int limit) {
    QFile file(xbelPath);
    if (file.size() > kRecentListMaxBytes || !file.open(QIODevice::ReadOnly))
        return {};
    std::vector<Entry> entries;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.name() != QLatin1String("bookmark"))
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QUrl url(attributes.value(QLatin1String("href")).toString(), QUrl::StrictMode);
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (!path.endsWith(QLatin1String(".tbn"), Qt::CaseInsensitive))
            continue;
        entries.push_back({path, stamp(attributes)});
    }
    // Whatever came before an error is still a fair list.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.used > b.used; });
    QStringList paths;
    for (const Entry &entry : entries) {
        if (paths.size() >= limit)
            break;
        if (!paths.contains(entry.path) && QFileInfo(entry.path).isFile())
            paths << entry.path;
    }
    return paths;
}

} // namespace tambolin::tamberlo
