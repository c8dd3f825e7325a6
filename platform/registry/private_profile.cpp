#include "platform/registry/private_profile.h"

#include "platform/registry/codepage932.h"
#include "platform/registry/private_profile_document.h"
#include "platform/registry/registry_files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace tambolin {

namespace {

void copyText(const QByteArray &text, char *out, DWORD size, DWORD &written) {
    const auto n = static_cast<DWORD>(std::min<qsizetype>(text.size(), size - 1));
    std::memcpy(out, text.constData(), n);
    out[n] = '\0';
    written = n;
}

// NUL-ended names and a final NUL; cut to fit with two closing NULs.
DWORD copyList(const QList<QByteArray> &names, char *out, DWORD size) {
    if (size < 2) {
        if (size == 1)
            out[0] = '\0';
        return 0;
    }
    DWORD pos = 0;
    for (const QByteArray &name : names) {
        const auto len = static_cast<DWORD>(name.size());
        if (pos + len + 1 > size - 1) {
            const DWORD room = pos < size - 2 ? size - 2 - pos : 0;
            std::memcpy(out + pos, name.constData(), room);
            out[size - 2] = '\0';
            out[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(out + pos, name.constData(), len);
        pos += len;
        out[pos++] = '\0';
    }
    out[pos] = '\0';
    if (pos == 0)
        out[1] = '\0'; // an empty list still ends in two NULs
    return pos;
}

QByteArray withoutQuotes(const QByteArray &value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

QByteArray withoutTrailingBlanks(QByteArray text) {
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

bool hasLineBreak(const char *text) {
    return text && (std::strchr(text, '\n') || std::strchr(text, '\r'));
}

bool acceptable(const char *section, const char *key, const char *value) {
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return false;
    // The "]" written after the name must read as its end: none inside, and
    // no lead byte at the end that would take it as its second byte.
    const QByteArray header = QByteArray(section) + ']';
    if (cp932::indexOfChar(header, ']') != header.size() - 1)
        return false;
    if (key) {
        if (std::strchr(key, '='))
            return false;
        const char *first = key + std::strspn(key, " \t");
        if (*first == '[' || *first == ';')
            return false;
    }
    return true;
}

// Writers of one file exclude each other through a lock file of ours, named
// after the file's path, so no stray files appear next to the profile.
QString lockPathFor(const QString &path) {
    const QFileInfo info(path);
    const QString canonical = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha1).toHex();
    return tamberloConfigDir(QStringLiteral("locks/")) + QString::fromLatin1(hash) +
           QStringLiteral(".lock");
}

} // namespace

QString profileFolder() {
    return tamberloConfigDir(QStringLiteral("profiles"));
}

QString profilePath(const char *lpFileName) {
    if (!lpFileName || !*lpFileName)
        return {};
    const QString name = QFile::decodeName(lpFileName);
    if (!name.contains(QLatin1Char('/')))
        return profileFolder() + QLatin1Char('/') + name;
    return name;
}

DWORD GetPrivateProfileStringA(const char *lpAppName, const char *lpKeyName, const char *lpDefault,
                               char *lpReturnedString, DWORD nSize, const char *lpFileName) {
    if (!lpReturnedString || nSize == 0)
        return 0;
    QByteArray bytes;
    const QString path = profilePath(lpFileName);
    if (!path.isEmpty())
        readWholeFile(path, bytes); // missing or unreadable: an empty profile
    const ProfileDocument doc(bytes);

    if (!lpAppName)
        return copyList(doc.sectionNames(), lpReturnedString, nSize);
    if (!lpKeyName)
        return copyList(doc.keyNames(lpAppName), lpReturnedString, nSize);
    const auto value = doc.value(lpAppName, lpKeyName);
    const QByteArray text =
        value ? withoutQuotes(*value) : withoutTrailingBlanks(lpDefault ? lpDefault : "");
    DWORD written = 0;
    copyText(text, lpReturnedString, nSize, written);
    return written;
}

BOOL WritePrivateProfileStringA(const char *lpAppName, const char *lpKeyName, const char *lpString,
                                const char *lpFileName) {
    const QString path = profilePath(lpFileName);
    if (!lpAppName || path.isEmpty() || !acceptable(lpAppName, lpKeyName, lpString))
        return 0;
    const QFileInfo info(path);
    if (info.absolutePath() == QDir::cleanPath(profileFolder()) && !QDir().mkpath(profileFolder()))
        return 0;
    if (!QDir().mkpath(tamberloConfigDir(QStringLiteral("locks"))))
        return 0;
    const FileLock lock(lockPathFor(path));
    if (!lock.isLocked())
        return 0;

    QByteArray bytes;
    if (readWholeFile(path, bytes) == FileRead::Unreadable)
        return 0; // writing would lose what we could not read
    ProfileDocument doc(bytes);
    if (!lpKeyName)
        doc.removeSection(lpAppName);
    else if (!lpString)
        doc.removeKey(lpAppName, lpKeyName);
    else
        doc.setValue(lpAppName, lpKeyName, lpString);
    if (doc.bytes() == bytes)
        return 1; // nothing to change, nothing to write
    return writeFileAtomically(path, doc.bytes()) ? 1 : 0;
}

} // namespace tambolin
