#pragma once
// What the player is asked to open: command-line arguments, dropped URLs and
// addresses from the bus, turned into the one form the player loads from:
// an absolute local path, or an http://, https:// or ftp:// address.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QMimeData;

namespace tambolin::tamberlo {

// True for an address the player downloads rather than a local path.
bool isDownload(const QString &location);

// An argument as given on the command line, relative paths taken from
// workingDir; nullopt for an address of a scheme the player does not open
// (mailto:, smb://, ...) or an empty text.
std::optional<QString> locationFromArgument(const QString &argument, const QString &workingDir);

// A URL, as a drop or the desktop hands it over.
std::optional<QString> locationFromUrl(const QUrl &url);

// Locations handed over by another start: only absolute paths and
// addresses are taken, at most kMaxHandedOver of them.
inline constexpr int kMaxHandedOver = 100;
QStringList locationsFromHandOver(const QStringList &handed);

// A text fit for a terminal line: control characters as \xNN.
QString printable(const QString &text);

// The locations among dropped data; empty when it holds nothing to open.
QStringList locationsFromMimeData(const QMimeData &data);

} // namespace tambolin::tamberlo
