#include "host/tamberlo/locations.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>

namespace tambolin::tamberlo {

namespace {

bool isDownloadScheme(const QString &scheme) {
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp");
}

// "scheme:..." with a scheme of two letters or more: one letter would be a
// drive, and a path may well hold a colon later on.
bool looksLikeAddress(const QString &text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = text.at(i);
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('+') &&
            c != QLatin1Char('-') && c != QLatin1Char('.'))
            return false;
    }
    return text.at(0).isLetter();
}

} // namespace

bool isDownload(const QString &location) {
    if (!looksLikeAddress(location))
        return false;
    return isDownloadScheme(QUrl(location).scheme().toLower());
}

std::optional<QString> locationFromUrl(const QUrl &url) {
    if (!url.isValid() || url.isEmpty())
        return std::nullopt;
    if (url.isLocalFile()) {
        const QString path = url.toLocalFile();
        if (path.isEmpty())
            return std::nullopt;
        return QDir::cleanPath(path);
    }
    const QString scheme = url.scheme().toLower();
    if (!isDownloadScheme(scheme) || url.host().isEmpty())
        return std::nullopt;
    QUrl normal = url;
    normal.setScheme(scheme);
    return normal.toString(QUrl::FullyEncoded);
}

std::optional<QString> locationFromArgument(const QString &argument, const QString &workingDir) {
    if (argument.isEmpty())
        return std::nullopt;
    const QString path = QDir::cleanPath(QDir(workingDir).absoluteFilePath(argument));
    // A file named like "notes:2.tbn" is still a file.
    if (looksLikeAddress(argument) && !QFileInfo::exists(path))
        return locationFromUrl(QUrl(argument, QUrl::TolerantMode));
    return path;
}

QStringList locationsFromHandOver(const QStringList &handed) {
    QStringList found;
    for (const QString &text : handed) {
        if (found.size() >= kMaxHandedOver)
            break;
        if (!text.startsWith(QLatin1Char('/')) && !looksLikeAddress(text))
            continue;
        if (auto location = locationFromArgument(text, QDir::rootPath()))
            found << *location;
    }
    return found;
}

QString printable(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            out +=
                QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QStringList locationsFromMimeData(const QMimeData &data) {
    QStringList found;
    if (data.hasUrls()) {
        for (const QUrl &url : data.urls())
            if (auto location = locationFromUrl(url))
                found << *location;
    } else if (data.hasText()) {
        // A link dragged from a text field: one address per line.
        for (const QString &line : data.text().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString text = line.trimmed();
            if (looksLikeAddress(text))
                if (auto location = locationFromUrl(QUrl(text, QUrl::StrictMode)))
                    found << *location;
        }
    }
    return found;
}

} // namespace tambolin::tamberlo
